#include "stage/plugin_list.h"

#include <algorithm>

#include "stage/builtin_plugins.h"

namespace talu::stage {

void PluginList::Scan() {
    AddToFront(std::make_unique<ArchivePlugin>());
    AddToFront(std::make_unique<ImageDecoderPlugin>());
}

void PluginList::AddToFront(std::unique_ptr<Plugin> plugin) {
    plugins_.insert(plugins_.begin(), std::move(plugin));
}

bool PluginList::MoveToFront(std::string_view fileName) {
    auto it = std::find_if(plugins_.begin(), plugins_.end(), [&](const auto& plugin) {
        return plugin->GetKind() == PluginKind::kArchiveExtractor && plugin->FileName() == fileName;
    });
    if (it == plugins_.end()) {
        return false;
    }
    std::rotate(plugins_.begin(), it, it + 1);
    return true;
}

const Plugin* PluginList::ImageDecoderFor(std::string_view name) const {
    for (const auto& plugin : plugins_) {
        if (plugin->GetKind() == PluginKind::kImageDecoder && plugin->IsSupported(name, {})) {
            return plugin.get();
        }
    }
    return nullptr;
}

}  // namespace talu::stage
