// The place kept beside a slot: a load into an edited book resumes at the same text, and a place
// that is not the slot's own changes nothing. The question when that text is gone, and its two
// answers, are the books run/lostplace and run/lostcancel.
#include <filesystem>
#include <string>
#include <vector>

#include "app/slot_place.h"
#include "bookmark_fixture.h"

namespace talu::app {
namespace {

using namespace test_bookmarks;

constexpr std::string_view kBook = "one<P>two<P>three<P>four<P>five<P>six<P>";
// Two lines above page one and a word changed on page two.
constexpr std::string_view kFixed = "zero<P>\nnought<P>\none<P>TWO<P>three<P>four<P>five<P>six<P>";

/// Slot 1 saved after page four: its place is page five.
class SlotPlaceTest : public BookmarkManagerTest {
  protected:
    int saved = 0;
    void SetUp() override {
        Open(kBook);
        for (int page = 0; page < 4; ++page) {
            Run();
        }
        saved = interpreter->Book().CurrentIndex();
        ASSERT_TRUE(manager.Save(*interpreter, 1));
        Run();
    }
    std::string PlaceFile() { return test::ReadText(Host("tale.01.place")); }
    /// Loads slot 1 and reads on to the next page: its text, or "<refused>".
    std::string LoadedPage() {
        boxes.clear();
        placeNews.clear();
        if (!Load(1)) {
            return "<refused>";
        }
        Run();
        return interpreter->Window().PageText();
    }
};

TEST_F(SlotPlaceTest, TheSavedPlaceLoadsAgainAndFollowsAnEditedBook) {
    // What is written reads back as the place of the saved index.
    const std::optional<SlotPlace> place = ParseSlotPlace(PlaceFile());
    ASSERT_TRUE(place);
    EXPECT_EQ(*place, MakeSlotPlace(interpreter->Book().Items(), saved, Slot(1)));
    EXPECT_EQ(FormatSlotPlace(*place), PlaceFile());
    // The book unchanged: as without a place.
    EXPECT_EQ(LoadedPage(), "five");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(placeNews.empty());
    EXPECT_EQ(interpreter->Book().CurrentIndex(), saved + 2);

    rig.dir.Write("tale.talu", kFixed);
    EXPECT_EQ(LoadedPage(), "five");
    ASSERT_EQ(placeNews.size(), 1u);
    EXPECT_EQ(placeNews[0], "moved " + std::to_string(saved) + " " + std::to_string(saved + 4));
    EXPECT_EQ(boxes, std::vector<std::string>{
                         "The book has changed; the bookmark was moved to the same text."});
    // Saved again, the slot keeps the new place, and the next load is as today.
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    EXPECT_EQ(LoadedPage(), "six");
    EXPECT_TRUE(placeNews.empty());
}

TEST_F(SlotPlaceTest, AHostilePlaceLoadsAsNoPlace) {
    const std::string good = PlaceFile();
    // Slot 2, a page later, has a place of its own.
    Run();
    ASSERT_TRUE(manager.Save(*interpreter, 2));
    const std::string another = test::ReadText(Host("tale.02.place"));
    rig.dir.Write("tale.talu", kFixed);
    fs::remove(Host("tale.01.place"));
    const std::string without = LoadedPage();
    ASSERT_EQ(without, "three");  // the saved index in the fixed book
    std::string hugeText;
    while (hugeText.size() < (1u << 20)) {
        hugeText += good;
    }
    std::string upper = good;
    upper[upper.find("slot ") + 5] = 'F';
    std::string wide = good;
    wide.replace(wide.find("around ") + 7, 1, "9");
    for (const std::string& bytes :
         {good.substr(0, good.size() / 2), good.substr(0, good.size() - 1), hugeText, another,
          std::string("\x00\xFF garbage\n", 11), upper, wide, good + "\n", std::string()}) {
        rig.dir.Write("tale.01.place", bytes);
        EXPECT_EQ(LoadedPage(), without) << bytes.substr(0, 80);
        EXPECT_TRUE(placeNews.empty());
        EXPECT_TRUE(boxes.empty());
    }
    // A link to the good place is never followed; a folder in its name is left alone.
    fs::remove(Host("tale.01.place"));
    rig.dir.Write("good.place", good);
    fs::create_symlink(Host("good.place"), Host("tale.01.place"));
    EXPECT_EQ(LoadedPage(), without);
    fs::remove(Host("tale.01.place"));
    fs::create_directory(Host("tale.01.place"));
    EXPECT_EQ(LoadedPage(), without);
    EXPECT_TRUE(placeNews.empty());
}

TEST_F(SlotPlaceTest, AFreshSlotHasNoPlace) {
    ASSERT_TRUE(manager.Initialize(1));
    EXPECT_FALSE(fs::exists(Host("tale.01.place")));
    // A place in a folder's way does not keep a slot from being saved.
    fs::create_directory(Host("tale.01.place"));
    ASSERT_TRUE(manager.Save(*interpreter, 1));
    EXPECT_TRUE(fs::is_directory(Host("tale.01.place")));
}

}  // namespace
}  // namespace talu::app
