// Loading slots that name places outside the open book: another book, files the player writes,
// files outside the book's folder. (A book folder moved since the save: run/movedfolder.)
#include <algorithm>
#include <string>
#include <vector>

#include "bookmark_fixture.h"
#include "stage/picture_test_support.h"

namespace talu::app {
namespace {

using namespace test_bookmarks;

std::string Picture() {
    const auto bytes =
        stage::testing::MakeBmp(stage::testing::Bmp24(4, 3, [](int, int) { return 0x336699u; }));
    return std::string(bytes.begin(), bytes.end());
}

/// The book lives in book/ with a secret beside that folder; slot 5 holds page one.
class SlotLoad : public BookmarkManagerTest {
  protected:
    std::string SlotIn(const std::string& folder, int n) {
        return test::ReadText(Host(folder + "/tale.0" + std::to_string(n) + ".bmk"));
    }
    std::string good;
    void SetUp() override {
        rig.dir.Write("secret.talu", "secret<P>secret<P>");
        rig.dir.Write("secret.bmp", Picture());
        rig.dir.Write("book/other.talu", "other<P>other<P>");
        rig.dir.Write("book/parts/two.talu", "two<P>two<P>");
        Open("one<P>two<P>three<P>", "book/tale.talu");
        Run();
        ASSERT_TRUE(manager.Save(*interpreter, 5));
        good = Slot5();
        Run();
    }
    std::string Slot5() { return SlotIn("book", 5); }
    /// Slot 5 with its position block's two lines replaced.
    std::string WithPosition(const std::string& book, const std::string& file) {
        std::string bytes = good;
        const std::size_t at = bytes.find("tale.talu\r\ntale.talu\t");
        const std::size_t end = bytes.find("\r\n###END", at);
        return bytes.replace(at, end - at, book + "\r\n" + file + "\t2");
    }
    /// Slot 5 with lines in place of its state block.
    std::string WithState(const std::string& lines) {
        std::string bytes = good;
        const std::size_t start = bytes.rfind("###START_LIST###\r\n") + 18;
        return bytes.replace(start, bytes.rfind("###END_LIST###") - start, lines);
    }
    bool Refused(const std::string& bytes) {
        rig.dir.Write("book/tale.05.bmk", bytes);
        boxes.clear();
        return !manager.ReadForLoad(5, interpreter->Book()) &&
               boxes == std::vector<std::string>{"Load fail."};
    }
};

TEST_F(SlotLoad, ASlotOfAnotherBookIsForeign) {
    EXPECT_TRUE(Refused(WithPosition("other.talu", "other.talu")));
    EXPECT_TRUE(Refused(WithPosition("other.talu", "tale.talu")));
    // The book's own name in another case is still the book (slots from Windows).
    boxes.clear();
    rig.dir.Write("book/tale.05.bmk", WithPosition("TALE.TALU", "tale.talu"));
    ASSERT_TRUE(Load(5)) << testing::PrintToString(boxes);
    ASSERT_TRUE(manager.Save(*interpreter, 6));
    EXPECT_EQ(manager.BookPath(), rig.dir.Inside("book/tale.talu"));
    EXPECT_TRUE(fs::exists(Host("book/tale.06.bmk")));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SlotLoad, APositionNamesOnlyABookFileInsideTheFolder) {
    const std::string outside = rig.dir.Inside("secret.talu");
    rig.dir.Write("book/tale.05.log", "A page.<P>");  // a slot's backlog reads like a book
    for (const std::string& file :
         {std::string("tale.05.bmk"), std::string("tale.memo"), std::string("tale.05.png"),
          std::string("tale.05.log"), std::string("Z:\\etc\\passwd"),
          std::string("..\\..\\..\\etc\\passwd"), std::string("/etc/passwd"),
          std::string("..\\secret.talu"), outside, std::string("parts\\..\\..\\secret.talu")}) {
        EXPECT_TRUE(Refused(WithPosition("tale.talu", file))) << file;
    }
    // A file below the folder, named relative or absolute, is a place of the book.
    boxes.clear();
    for (const std::string& file :
         {std::string("parts\\two.talu"), rig.dir.Inside("book/parts/two.talu")}) {
        rig.dir.Write("book/tale.05.bmk", WithPosition("tale.talu", file));
        ASSERT_TRUE(Load(5)) << file << testing::PrintToString(boxes);
        EXPECT_EQ(interpreter->Book().Path(), rig.dir.Inside("book/parts/two.talu"));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SlotLoad, StateFilesAreReadOnlyInsideTheBookFolder) {
    rig.dir.Write("book/img/inside.bmp", Picture());
    const std::string secret = rig.dir.Inside("secret.bmp");
    const std::string song = rig.dir.Inside("song.mid");
    rig.dir.Write(
        "book/tale.05.bmk",
        WithState("<BACKGROUND SRC=\"..\\secret.bmp\">\r\n<CURSOR SRC=\"/etc/passwd\">\r\n"
                  "<ICON SRC=\"Z:\\etc\\passwd\" TIME=\"1\" MODE=\"P\" >\r\n<WINDOW SRC=\"" +
                  secret +
                  "\" >\r\n<ENTER NAME=\"a\" ALIGN=\"LEFT\" VALIGN=\"TOP\">\r\n"
                  "<ACT NAME=\"a\" SRC=\"img\\inside.bmp\" ALPHA=\"..\\secret.bmp\" >\r\n"
                  "<BGM SRC=\"" +
                  song + "\">\r\n"));
    ASSERT_TRUE(Load(5));
    // Every tag naming a file outside is left out with error 0 and the name.
    const std::vector<std::string> named = {"..\\secret.bmp",
                                            "/etc/passwd",
                                            "Z:\\etc\\passwd",
                                            secret,
                                            "..\\secret.bmp" /* ACT's mask */,
                                            song};
    ASSERT_EQ(boxes.size(), named.size()) << testing::PrintToString(boxes);
    for (std::size_t i = 0; i < named.size(); ++i) {
        EXPECT_NE(boxes[i].find("I can't open file \"" + named[i] + "\""), std::string::npos)
            << boxes[i];
    }
    EXPECT_EQ(executed, std::vector<std::string>{"12:1"});  // ENTER alone ran
    // Inside the folder they run, a FOLDER attribute or not: the name now stands whole.
    boxes.clear();
    executed.clear();
    rig.dir.Write("book/tale.05.bmk",
                  WithState("<BACKGROUND SRC=\"img\\inside.bmp\" FOLDER=\"Z:\\etc\">\r\n"
                            "<ENTER NAME=\"b\" ALIGN=\"LEFT\" VALIGN=\"TOP\">\r\n"
                            "<ACT NAME=\"b\" SRC=\"img\\inside.bmp\" >\r\n"));
    ASSERT_TRUE(Load(5));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(boxes);
    EXPECT_EQ(executed.size(), 3u);
    EXPECT_TRUE(rig.boxes.shown.empty()) << testing::PrintToString(rig.boxes.shown);
}

}  // namespace
}  // namespace talu::app
