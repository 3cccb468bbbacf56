// Any bytes as a book: reading, tag parsing and item delivery must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/book.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/string_table.h"
#include "script/variable_expansion.h"

namespace {

class DiscardedBoxes : public talu::script::MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu::script;
    if (size == 0) {
        return 0;
    }
    // The first byte picks the line rules, the rest is the book.
    const auto kind = (data[0] & 1) != 0 ? BookFile::Kind::MemoryBlock : BookFile::Kind::PlainFile;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    DiscardedBoxes boxes;
    Diagnostics diagnostics(boxes, data[0] >> 6);
    StringTable variables;
    variables.Set("a", "{b}");
    variables.Set("b", "[{a}]x");
    variables.Set("c", "{c}");
    Book book({&diagnostics, nullptr, nullptr, "Z:\\player\\"});
    book.SetVariableTable(&variables);
    BookFile file("Z:\\talu-fuzz-missing\\book.talu", std::move(bytes), kind);
    book.Open(file);

    TagRecord record;
    std::string value;
    while (book.FetchTag(record)) {
        ExpandVariables(record, variables);
        int command = 0;
        record.GetCommand(command);
        if (command == kw::kEvent && !record.IsClosing()) {
            book.SkipEventBlock();
        } else if (command == kw::kA && record.GetAttribute(kw::kHref, value) && !value.empty() &&
                   value[0] == '#') {
            // Jumping back could loop forever; only jump to labels ahead of the reader.
            auto label = book.FindLabel(value.substr(1));
            if (label && *label >= static_cast<std::size_t>(book.CurrentIndex())) {
                book.Jump(value);
            }
        }
    }
    return 0;
}
