// Saves random states into a bookmark slot and loads them back: tables, memos, the comment and a
// title the book sets, as the reader's Save and Load do. A save that is refused must leave the
// old slot as it was; a save that succeeds must load, and give back the same values.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/bookmark_manager.h"
#include "script/keywords.h"
#include "script/tag_parser.h"
#include "support/interpreter_rig.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

struct Rig {
    talu::test::InterpreterRig rig;
    talu::interp::ClickFlags clicks{};
    talu::app::BookmarkManager manager{
        talu::app::BookmarkServices{[](const std::string&) {},
                                    [] { return 1; },
                                    [] { return talu::app::LocalTime{}; },
                                    [](std::vector<std::string>&) {},
                                    {},
                                    {}}};
    std::unique_ptr<talu::interp::Interpreter> interpreter;

    std::unique_ptr<talu::interp::Interpreter> Make() {
        return std::make_unique<talu::interp::Interpreter>(rig.Services(clicks));
    }
    std::string SlotBytes() {
        std::ifstream in(rig.dir.Path() / "tale.03.bmk", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

Entries Sorted(Entries entries) {
    std::sort(entries.begin(), entries.end());
    return entries;
}

void Fill(FuzzedDataProvider& data, talu::script::StringTable& table) {
    for (int n = data.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        const std::string key = data.ConsumeRandomLengthString(24);
        table.Set(key, data.ConsumeRandomLengthString(64));
    }
}

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static Rig* r = [] {
        auto* rig = new Rig;
        rig->rig.dir.Write("tale.talu", "one<P>two<P>");
        return rig;
    }();
    FuzzedDataProvider data(bytes, size);
    r->interpreter = r->Make();
    Check(r->interpreter->Open(r->rig.dir.Inside("tale.talu")));
    r->manager.Reset(r->interpreter->Book().Path());
    talu::script::TagRecord record;
    while (r->interpreter->Step(record) == talu::interp::step::kGoOn) {
    }
    auto& vars = r->interpreter->Variables();
    Fill(data, vars.Variables());
    Fill(data, vars.Bookmarks());
    Fill(data, vars.BookMemo().Table());
    Fill(data, vars.BookmarkMemo().Table());
    Fill(data, r->interpreter->Book().Substitutions());
    r->interpreter->SetBookmarkComment(data.ConsumeRandomLengthString(40));
    if (data.ConsumeBool()) {
        record.Clear();
        const std::string title = "<TITLE ALT=\"" + data.ConsumeRandomLengthString(40) + "\">";
        if (talu::script::ParseItem(title, record)) {
            r->interpreter->ExecuteTag(talu::script::kw::kTitle, record);
        }
    }
    r->manager.SavePoint(*r->interpreter);
    const Entries variables = Sorted(vars.Variables().SavedEntries());
    const Entries bookmarks = Sorted(vars.Bookmarks().SavedEntries());
    const Entries memo = Sorted(vars.BookmarkMemo().Table().SavedEntries());
    const Entries bookMemo = Sorted(vars.BookMemo().Table().SavedEntries());
    const std::string title = r->interpreter->Title();
    const std::string before = r->SlotBytes();
    if (!r->manager.Save(*r->interpreter, 3)) {
        Check(r->SlotBytes() == before);
        return 0;
    }
    auto slot = r->manager.ReadForLoad(3, r->interpreter->Book());
    Check(slot.has_value());
    r->rig.stage.Create();
    r->interpreter = r->Make();
    Check(r->manager.Restore(*r->interpreter, *slot, 3, {}));
    auto& back = r->interpreter->Variables();
    Check(Sorted(back.Variables().SavedEntries()) == variables);
    Check(Sorted(back.Bookmarks().SavedEntries()) == bookmarks);
    Check(Sorted(back.BookmarkMemo().Table().SavedEntries()) == memo);
    Check(Sorted(back.BookMemo().Table().SavedEntries()) == bookMemo);
    Check(r->interpreter->Title() == title);
    return 0;
}
