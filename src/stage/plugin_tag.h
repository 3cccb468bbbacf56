#pragma once

#include <string_view>

#include "script/diagnostics.h"
#include "script/tag_record.h"
#include "stage/extension_map.h"
#include "stage/plugin_list.h"

namespace talu::stage {

/// What the PLUGIN tag changes and where it reports.
struct PluginTagContext {
    ExtensionMap& extensions;
    PluginList& plugins;
    /// Where errors 2 and 3 go; may be null.
    script::Diagnostics* diagnostics = nullptr;
    /// The tag's item text, shown in error boxes.
    std::string_view itemText;
};

/// The PLUGIN tag: binds the extension SRC to the library NAME (both upper-cased) and, for an
/// archive library ("AX..."), asks that archive extractor first from now on. A missing SRC or
/// NAME is reported (errors 2 and 3) and the tag goes on with an empty text.
void BindExtension(const script::TagRecord& record, const PluginTagContext& context);

}  // namespace talu::stage
