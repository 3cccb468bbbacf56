#include "app/backlog_file.h"
#include "app/slot_file.h"
#include "bookmark_fixture.h"
#include "support/archive_bytes.h"

namespace talu::app {
namespace {

using namespace test_bookmarks;

TEST_F(BookmarkManagerTest, RoundTripThroughEveryBlockAndMemo) {
    Open("<TITLE ALT=\"tale\"><SUNGLASS COLOR=\"SEPIA\">one<P>two<P>three<P>");
    music = rig.dir.Inside("m.mid");
    ASSERT_EQ(Run(), interp::step::kPageWait);  // save point after "one"
    auto& vars = interpreter->Variables();
    // Set at the save point, then changed: the slot keeps the save point's values.
    vars.Variables().Set("plain", std::string(kA) + "\ttab");
    vars.Variables().SetRecorded("recorded", "new");  // did not exist: left out
    vars.Bookmarks().SetRecorded("met", "1");         // likewise
    vars.BookMemo().Put("seen", "yes");
    vars.BookmarkMemo().Put("note", std::string(kA));
    interpreter->SetBookmarkComment("first " + std::string(kA));
    ASSERT_TRUE(manager.Save(*interpreter, 3));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(manager.CurrentSlot(), 3);

    const std::string slot = Slot(3);
    EXPECT_NE(slot.find("###START_LIST###\r\ntale.talu\t4\r\n03/04 05:06\tfirst \x82\xA0\r\n"),
              std::string::npos);
    EXPECT_NE(slot.find("plain\t\x82\xA0\ttab\r\n"), std::string::npos);
    EXPECT_EQ(slot.find("recorded"), std::string::npos);
    EXPECT_EQ(slot.find("met"), std::string::npos);
    EXPECT_NE(slot.find("tale.talu\r\ntale.talu\t4\r\n###END_LIST###"), std::string::npos);
    EXPECT_NE(slot.find("<TITLE ALT=\"tale\">\r\n"), std::string::npos);
    EXPECT_NE(slot.find("<SUNGLASS COLOR=\"SEPIA\">\r\n"), std::string::npos);
    EXPECT_NE(slot.find("<BGM SRC=\"" + music + "\" LOOP=\"2\">\r\n###END_LIST###\r\n"),
              std::string::npos);
    EXPECT_EQ(test::ReadText(Host("tale.03.memo")),
              "###START_LIST###\r\nnote\t\x82\xA0\r\n###END_LIST###\r\n");
    EXPECT_EQ(test::ReadText(Host("tale.memo")),
              "###START_LIST###\r\nseen\tyes\r\n###END_LIST###\r\n");

    vars.Variables().Set("plain", "later");
    ASSERT_EQ(Run(), interp::step::kPageWait);  // after "two"
    ASSERT_TRUE(Load(3));
    EXPECT_EQ(Var("plain"), std::string(kA) + "\ttab");
    EXPECT_EQ(Var("recorded"), "<none>");
    EXPECT_EQ(interpreter->Title(), "tale");
    EXPECT_EQ(interpreter->Controller().Filter(), script::kFilterSepia);
    EXPECT_EQ(executed.back(), "6:6");  // BGM reported for the music player
    std::string note;
    EXPECT_TRUE(interpreter->Variables().BookmarkMemo().Lookup("note", note));
    EXPECT_EQ(note, kA);
    EXPECT_EQ(interpreter->Book().CurrentIndex(), 4);
    ASSERT_EQ(Run(), interp::step::kPageWait);
    EXPECT_EQ(interpreter->Book().CurrentIndex(), 6);  // "two" and its P: the saved place
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BookmarkManagerTest, SaveBeforeTheFirstSavePointAndInAutomaticBooks) {
    Open("one<BOOKMARK MODE=\"AUTO\">two<BOOKMARK>three<W>");
    EXPECT_FALSE(manager.Save(*interpreter, 1));
    EXPECT_EQ(boxes, std::vector<std::string>{"Unable to save,yet."});
    EXPECT_FALSE(fs::exists(Host("tale.01.bmk")));
    EXPECT_EQ(Run(), interp::step::kAutoBookmark);
    boxes.clear();
    EXPECT_FALSE(manager.Save(*interpreter, 1));
    EXPECT_EQ(boxes, std::vector<std::string>{"This game is auto save. Player can't save."});
    Run();  // the plain BOOKMARK saves the current slot by itself
    EXPECT_NE(Slot(1).find("tale.talu\t4\r\n"), std::string::npos);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(BookmarkManagerTest, FileNamesComeFromTheBookFilesOwnExtension) {
    Open("one<P>", "my.stories/tale.talu");
    Run();
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    EXPECT_TRUE(fs::exists(Host("my.stories/tale.01.bmk")));
    EXPECT_TRUE(fs::exists(Host("my.stories/tale.01.memo")));
    EXPECT_FALSE(fs::exists(Host("my.01.bmk")));
    // A book just opened binds slot 1's memo.
    EXPECT_EQ(interpreter->Variables().BookmarkMemo().Path(),
              rig.dir.Inside("my.stories/tale.01.memo"));
}

TEST_F(BookmarkManagerTest, AnInitializedSlotStartsTheBookFromItsFirstItem) {
    Open("one<P>two<P>");
    ASSERT_TRUE(manager.Initialize(4));
    EXPECT_EQ(Slot(4),
              "###START_LIST###\r\ntale.talu\r\n03/04 05:06\tNEW BOOKMARK\r\n###END_LIST###\r\n"
              "###START_LIST###\r\n###END_LIST###\r\n###START_LIST###\r\n###END_LIST###\r\n"
              "###START_LIST###\r\n###END_LIST###\r\n"
              "###START_LIST###\r\ntale.talu\r\ntale.talu\t-1\r\n###END_LIST###\r\n"
              "###START_LIST###\r\n###END_LIST###\r\n");
    Run();
    ASSERT_TRUE(Load(4));
    EXPECT_EQ(interpreter->Book().CurrentIndex(), 0);
    EXPECT_EQ(manager.CurrentSlot(), 4);
    const auto list = manager.SlotList();
    EXPECT_EQ(list[3].ListLine(), " 03/04 05:06 - NEW BOOKMARK");
    EXPECT_EQ(list[0].ListLine(), " ?? ??:?? - NO DATA");
}

TEST_F(BookmarkManagerTest, TopPageKeepsTheCommentAndBookmarkTableAndMovesToTheTop) {
    Open("<BOOKMARK ANSWER=\"met\">one<P><BOOKMARK MODE=\"TOPPAGE\">two<P>");
    Run();
    interpreter->SetBookmarkComment("kept");
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    ASSERT_TRUE(fs::exists(Host("tale.01.png")));
    time = LocalTime{12, 31, 23, 59};
    interpreter->Variables().Variables().Set("gone", "1");
    Run();
    const std::string slot = Slot(1);
    EXPECT_NE(slot.find("tale.talu\t-1"), std::string::npos);
    EXPECT_FALSE(fs::exists(Host("tale.01.png")));  // the top of the book has no picture
    EXPECT_NE(slot.find("12/31 23:59\tkept\r\n"), std::string::npos);
    EXPECT_NE(slot.find("###START_LIST###\r\nmet\t1\r\n###END_LIST###"), std::string::npos);
    EXPECT_EQ(slot.find("gone"), std::string::npos);
    ASSERT_TRUE(Load(1));
    EXPECT_EQ(interpreter->Book().CurrentIndex(), 0);
    EXPECT_TRUE(interpreter->Variables().IsSet("met"));
}

TEST_F(BookmarkManagerTest, HostileSlotFilesAreRefusedBeforeAnythingChanges) {
    rig.dir.Write("other.talu", "x");
    Open("one<P>two<P>");
    Run();
    ASSERT_TRUE(manager.Save(*interpreter, 5));
    const std::string good = Slot(5);
    const std::size_t stateStart = good.rfind("###START_LIST###\r\n") + 18;
    const std::size_t position = good.find("tale.talu\r\ntale.talu\t");
    // Damage the reading of the file refuses (slot_file_test has every kind), and places that
    // only the open book can tell wrong.
    const std::string cases[] = {
        std::string(good).insert(stateStart, "<COMMAND SRC=\"calc\">\r\n"),
        std::string(good).replace(position, good.find("\r\n###END", position) - position,
                                  "tale.talu\r\ntale.talu\t99"),   // past the end
        std::string(good).replace(position, 9, "gone.talu"),       // no such book
        std::string(good).replace(position + 11, 9, "gone.talu"),  // no such file to read
    };
    interpreter->Variables().Variables().Set("now", "1");
    interp::Interpreter* running = interpreter.get();
    for (const std::string& bytes : cases) {
        rig.dir.Write("tale.05.bmk", bytes);
        boxes.clear();
        EXPECT_FALSE(manager.ReadForLoad(5, interpreter->Book()));
        EXPECT_EQ(boxes, std::vector<std::string>{"Load fail."});
        EXPECT_EQ(Slot(5), bytes);
    }
    EXPECT_EQ(interpreter.get(), running);
    EXPECT_EQ(Var("now"), "1");
    boxes.clear();
    EXPECT_FALSE(manager.ReadForLoad(6, interpreter->Book()));
    EXPECT_EQ(boxes, std::vector<std::string>{"Unable to load from bookmark  No.6."});
}

TEST_F(BookmarkManagerTest, EachSlotKeepsThePictureOfItsPlace) {
    Open("one<P>two<P>three<P>");
    grey = 10;
    Run();      // the save point's picture
    grey = 20;  // the screen moves on; the slot shows the place it returns to
    ASSERT_TRUE(manager.Save(*interpreter, 3));
    const std::string atSavePoint = PictureFile(10);
    ASSERT_NE(atSavePoint, PictureFile(20));
    EXPECT_EQ(test::ReadText(Host("tale.03.png")), atSavePoint);
    EXPECT_EQ(manager.SlotPicturePath(3), rig.dir.Inside("tale.03.png"));
    // Loaded and saved again before a save point: the loaded place's picture goes along.
    ASSERT_TRUE(Load(3));
    ASSERT_TRUE(manager.Save(*interpreter, 4));
    EXPECT_EQ(test::ReadText(Host("tale.04.png")), atSavePoint);
    // A slot that starts at the top has none.
    ASSERT_TRUE(manager.Initialize(3));
    EXPECT_FALSE(fs::exists(Host("tale.03.png")));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(BookmarkManagerTest, APictureThatCannotBeWrittenNeitherFailsNorTouchesTheSave) {
    Open("one<P>two<P>");
    Run();
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    ASSERT_TRUE(fs::exists(Host("tale.01.png")));
    // No picture to take: the old one goes rather than show another place.
    grey = 0;
    Run();
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    EXPECT_FALSE(fs::exists(Host("tale.01.png")));
    // A folder where the picture goes: the slot is saved all the same.
    fs::create_directories(Host("tale.02.png") / "inside");
    grey = 30;
    Run();
    ASSERT_TRUE(manager.Save(*interpreter, 2));
    EXPECT_TRUE(fs::is_directory(Host("tale.02.png") / "inside"));
    EXPECT_NE(Slot(2).find("tale.talu\t4\r\n"), std::string::npos);
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(Load(2));
}

TEST_F(BookmarkManagerTest, ControlCharactersOfACommentBecomeBlanks) {
    Open("one<P>");
    Run();
    interpreter->SetBookmarkComment("by\tthe\r\nriver");
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    EXPECT_NE(Slot(1).find("03/04 05:06\tby the  river\r\n"), std::string::npos);
    EXPECT_EQ(manager.SlotList()[0].comment, "by the  river");
}

TEST_F(BookmarkManagerTest, ABookInsideAnArchiveKeepsItsSlotsInTheSpareFolderAndLoadsThem) {
    // The book's folder is a file, so its slots go to the spare folder, and loading reads the
    // saved place from the archive as the book itself was read.
    rig.dir.Write("stories.zip", test::StoredZip({{"tale.talu", "one<P>two<P>three<P>"}}));
    interpreter = Make();
    ASSERT_TRUE(interpreter->Open(rig.dir.Inside("stories.zip/tale.talu")));
    manager.Reset(interpreter->Book().Path());
    const std::string spare = rig.dir.Inside("spare/deep") + "\\";
    EXPECT_EQ(manager.SlotPath(3), spare + "tale.03.bmk");
    EXPECT_EQ(manager.SlotMemoPath(3), spare + "tale.03.memo");
    EXPECT_EQ(manager.BookMemoPath(), spare + "tale.memo");
    ASSERT_EQ(Run(), interp::step::kPageWait);   // after "one"
    ASSERT_TRUE(manager.Save(*interpreter, 3));  // the spare folder is made on the way
    EXPECT_TRUE(fs::exists(Host("spare/deep/tale.03.bmk")));
    EXPECT_TRUE(manager.SlotList()[2].hasData);
    ASSERT_EQ(Run(), interp::step::kPageWait);  // after "two"
    ASSERT_TRUE(Load(3));
    ASSERT_EQ(Run(), interp::step::kPageWait);
    EXPECT_EQ(interpreter->Book().CurrentIndex(), 4);  // "two" and its P again
    EXPECT_TRUE(boxes.empty());
    // A book in a folder that takes files keeps them beside it, spare folder or not.
    Open("one<P>");
    EXPECT_EQ(manager.SlotPath(1), rig.dir.Inside("tale.01.bmk"));
}

}  // namespace
}  // namespace talu::app

namespace talu::app {
namespace {

using namespace test_bookmarks;

TEST_F(BookmarkManagerTest, ASlotKeepsItsBacklogBesideAnUnchangedBookmark) {
    Open("one<P>two<P>");
    ASSERT_EQ(Run(), interp::step::kPageWait);
    ASSERT_TRUE(manager.Save(*interpreter, 2));
    const std::string withoutBacklog = Slot(2);
    EXPECT_TRUE(ReadBacklogFile(manager.SlotLogPath(2)).empty());
    backlog = {{"one", "Left"}, {"two\nlines", ""}};
    ASSERT_TRUE(manager.Save(*interpreter, 2));
    EXPECT_EQ(Slot(2), withoutBacklog);  // the bookmark itself is what it always was
    EXPECT_EQ(ReadBacklogFile(manager.SlotLogPath(2)), backlog);
    // A log that cannot be written (a folder in its way) leaves no stale log and no failure.
    rig.dir.Write("tale.03.log/inside", "x");
    EXPECT_TRUE(manager.Save(*interpreter, 3));
    EXPECT_TRUE(ReadBacklogFile(manager.SlotLogPath(3)).empty());
    // Initialize and TOPPAGE start from the top: no page read yet.
    ASSERT_TRUE(manager.Initialize(2));
    EXPECT_FALSE(fs::exists(Host("tale.02.log")));
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace talu::app
