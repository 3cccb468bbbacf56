#include "stage/plugin_tag.h"

#include "script/keywords.h"
#include "script/messages.h"
#include "script/sjis_text.h"

namespace talu::stage {
namespace {

std::string UpperAttribute(const script::TagRecord& record, int id, int missingError,
                           const PluginTagContext& context) {
    std::optional<std::string_view> value = record.FindAttribute(id);
    if (!value) {
        if (context.diagnostics != nullptr) {
            context.diagnostics->ReportScriptError(context.itemText, missingError, "");
        }
        return {};
    }
    return script::ToUpperAscii(*value);
}

}  // namespace

void BindExtension(const script::TagRecord& record, const PluginTagContext& context) {
    std::string extension =
        UpperAttribute(record, script::kw::kSrc, script::err::kPluginNoSrc, context);
    std::string library =
        UpperAttribute(record, script::kw::kName, script::err::kPluginNoName, context);
    if (library.size() >= 3 && library.starts_with("AX")) {
        context.plugins.MoveToFront(library);
    }
    context.extensions.Bind(std::move(extension), std::move(library));
}

}  // namespace talu::stage
