// Any bytes as an archive held in memory: the member lookup, nested archives included, must
// neither crash nor hang.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "stage/archive_lookup.h"
#include "stage/builtin_plugins.h"

namespace {

// The member paths books use: plain, in a folder, inside a nested archive, case changed.
constexpr std::array<std::string_view, 6> kPaths = {
    "FACE.BMP",           "img\\pal8.bmp",     "inner.lzh\\img\\Pal8.bmp",
    "inner.zip/face.bmp", "a\\b\\c\\d\\e.bmp", "\x95\x5C\\x.bmp"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu::stage;
    if (size == 0) {
        return 0;
    }
    static const PluginList plugins = [] {
        PluginList list;
        // A small member limit keeps archive bombs within the fuzzer's memory.
        list.AddToFront(std::make_unique<ArchivePlugin>(std::size_t{4} << 20));
        return list;
    }();
    const std::string_view path = kPaths[data[0] % kPaths.size()];
    const std::span<const std::uint8_t> archive(data + 1, size - 1);
    std::array<std::uint8_t, kSupportHeadBytes> head{};
    std::copy_n(archive.begin(), std::min(archive.size(), head.size()), head.begin());
    FindArchiveMember(plugins, "fuzz.lzh", talu::host::ArchiveSource::FromMemory(archive), head,
                      path);
    return 0;
}
