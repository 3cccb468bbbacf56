// Reads the reader's keys and buttons from hand-edited or damaged settings: line 2n of the input
// is the KEYS entry of the n-th action, line 2n+1 its PAD entry ("-": none stored). Whatever is
// read must never give one key or button two actions, and must write and read back the same.
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ini_settings_store.h"
#include "app/input_bindings.h"

namespace {

using talu::app::InputBindings;
using talu::app::ReaderActionInfo;

void CheckOwners(const InputBindings& bindings) {
    for (const ReaderActionInfo& info : talu::app::ReaderActions()) {
        for (const std::string& key : bindings.Keys(info.action)) {
            if (bindings.ActionForKey(key) != info.action) {
                std::abort();
            }
        }
        for (const std::string& button : bindings.Buttons(info.action)) {
            if (bindings.ActionForButton(button) != info.action) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    talu::app::IniSettingsStore store;
    std::size_t line = 0;
    const auto actions = talu::app::ReaderActions();
    while (!text.empty() && line < actions.size() * 2) {
        const std::size_t end = text.find('\n');
        const std::string_view entry = text.substr(0, end);
        if (entry != "-") {
            store.WriteString(line % 2 == 0 ? "KEYS" : "PAD", actions[line / 2].key, entry);
        }
        ++line;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    InputBindings bindings;
    bindings.Read(store);
    CheckOwners(bindings);
    talu::app::IniSettingsStore written;
    bindings.Write(written);
    InputBindings again;
    again.Read(written);
    if (!(again == bindings)) {
        std::abort();
    }
    return 0;
}
