#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "frontend/cli/tag_descriptions.h"
#include "frontend/cli/tags_command.h"
#include "script/keywords.h"
#include "script/sjis_text.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::cli {
namespace {

/// The words a page writes as keywords, in lower case as the keyword table has them.
std::set<std::string> KeywordsOnPage(const std::string& html) {
    static const std::regex keyword("<code class=\"kw\">([^<]*)</code>");
    std::set<std::string> words;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), keyword);
         it != std::sregex_iterator(); ++it) {
        words.insert(script::ToLowerAscii((*it)[1].str()));
    }
    return words;
}

std::string WithinKick(std::string text, const std::string& lines) {
    const std::string kick = "\ntag kick\n";
    return text.insert(text.find(kick) + kick.size(), lines);
}

std::string WithoutBlock(std::string text, const std::string& start) {
    const std::size_t from = text.find("\n" + start + "\n");
    const std::size_t to = text.find("\n\n", from + 1);
    return text.erase(from, to - from);
}

struct Outcome {
    int status = 0;
    std::string err;
    bool wrote = false;
};

Outcome Write(const std::string& descriptions) {
    test::TempFolder folder;
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.status = WriteTagReference(folder.Path().string(), descriptions, out, err);
    outcome.err = err.str();
    outcome.wrote = std::filesystem::exists(folder.Path() / "ja" / "index.html");
    return outcome;
}

// Both languages' pages name exactly the words of the player's keyword table: every word the
// player reads (tags, closing forms, spellings, attributes, values) and nothing else.
TEST(TagReference, BothPagesListExactlyThePlayersKeywords) {
    std::set<std::string> table;
    for (const script::KeywordEntry& entry : script::KeywordTable()) {
        table.insert(std::string(entry.word));
    }
    test::TempFolder folder;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(WriteTagReference(folder.Path().string(), BuiltInTagDescriptions(), out, err), 0)
        << err.str();
    for (const char* language : {"ja", "en"}) {
        const std::string page = test::ReadText(folder.Path() / language / "index.html");
        EXPECT_EQ(KeywordsOnPage(page), table) << language;
        EXPECT_NE(page.find("&lt;BACKGROUND SRC=&quot;img\\room.bmp&quot;"), std::string::npos)
            << "examples are written as text";
    }
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "index.html"));
}

// A description that names a word the player does not read, or leaves one of its tags or words
// out, stops the reference with the line at fault, and no page is written.
TEST(TagReference, RefusesWordsThePlayerDoesNotReadAndWordsLeftOut) {
    const std::string builtIn(BuiltInTagDescriptions());
    const struct {
        std::string descriptions;
        std::string problem;
    } cases[] = {
        {builtIn + "\ntag ghost\nen No such tag.\n", "ghost is not a tag the player reads"},
        {builtIn + "\ntag fade\n", "fade is not a tag the player reads"},
        {builtIn + "\ntag kick\n", "kick is described twice"},
        {WithinKick(builtIn, "attr ghost\n"), "ghost is not an attribute the player reads"},
        {WithinKick(builtIn, "attr time\nvalues pass ghost\n"), "ghost is no word the player"},
        {WithoutBlock(builtIn, "tag kick"), "no description for the tag kick"},
        {WithoutBlock(builtIn, "reserved cover status place mask both front infinity"),
         "the player reads infinity but no tag, value or reserved word places it"},
        {"values pass\n" + builtIn, "1: this line belongs to no tag or attribute: values"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Write(c.descriptions);
        EXPECT_EQ(outcome.status, 1) << c.problem;
        EXPECT_NE(outcome.err.find(c.problem), std::string::npos) << outcome.err;
        EXPECT_FALSE(outcome.wrote) << c.problem;
    }
}

TEST(TagReference, AFolderThatCannotBeWrittenIsReported) {
    test::TempFolder folder;
    const std::filesystem::path blocked = folder.Write("file", "not a folder");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(WriteTagReference(blocked.string(), BuiltInTagDescriptions(), out, err), 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace talu::cli
