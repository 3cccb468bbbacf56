// Skip as the headless reader runs it: the stage it leaves, and the file of pages read.
#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/cli/headless_session.h"
#include "support/temp_folder.h"

namespace talu::cli {
namespace {

// The stage's pixels once the book has ended, read with or without a mode; empty when the book
// could not be played.
std::vector<std::uint16_t> FinalStage(const std::filesystem::path& book, app::ReadingMode mode,
                                      bool keepReadPages = true) {
    SessionOptions options;
    options.book = book;
    options.langMode = 1;
    options.skipUnread = true;
    options.keepReadPages = keepReadPages;
    std::string problem;
    auto session = HeadlessSession::Open(
        options, [](const std::string&) {}, problem);
    if (!session) {
        ADD_FAILURE() << problem;
        return {};
    }
    ReaderScript reader;
    reader.choose = [](const std::vector<int>& choosable) { return choosable.front(); };
    reader.mode = mode;
    const std::string reason = session->Play(reader, {}, problem);
    EXPECT_EQ(reason, "book-end") << problem;
    stage::Surface copy;
    EXPECT_TRUE(session->GetScreen().CopyOut(copy));
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < copy.Height(); ++y) {
        pixels.insert(pixels.end(), copy.Row(y), copy.Row(y) + copy.Width());
    }
    return pixels;
}

// Effects cut short by skip end where the slow ones end: the last stage is the same, pixel for
// pixel, as after a reading that clicked through every page.
TEST(Skip, ThroughEffectsLeavesTheSameStageAsANormalReading) {
    test::TempFolder dir;
    const auto book = dir.Write(
        "book.talu",
        "<BACKGROUND COLOR=\"#204080\" EFFECT=\"EF_FADEIN\">One.<P>"
        "<BACKGROUND COLOR=\"#C06000\" EFFECT=\"EF_BLIND_FROM_LEFT\"><KICK TIME=\"40\">Two.<P>"
        "<A HREF=\"#on\" ALT=\"On\"><A NAME=\"on\">"
        "<BACKGROUND COLOR=\"#00A040\" EFFECT=\"EF_FROM_TOP\">Three,<BR>and on.<P>");
    const std::vector<std::uint16_t> read = FinalStage(book, app::ReadingMode::kNone);
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(FinalStage(book, app::ReadingMode::kSkip), read);
    EXPECT_EQ(FinalStage(book, app::ReadingMode::kAuto), read);
}

// A reading keeps its pages read beside the book; one that must not (explore's) leaves no file.
TEST(Skip, PagesReadAreKeptOnlyWhenAsked) {
    test::TempFolder dir;
    const auto book = dir.Write("book.talu", "One.<P>Two.<P>");
    FinalStage(book, app::ReadingMode::kNone, false);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "book.read"));
    FinalStage(book, app::ReadingMode::kNone, true);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "book.read"));
}

}  // namespace
}  // namespace talu::cli
