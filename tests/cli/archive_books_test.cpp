// talu-cli run, explore and check given an archive: the book inside is played and checked from
// the archive, several books are listed with --book to choose, none is said plainly.
#include <gtest/gtest.h>

#include <sstream>

#include "frontend/cli/check_command.h"
#include "frontend/cli/explore_command.h"
#include "frontend/cli/run_command.h"
#include "support/archive_bytes.h"
#include "support/temp_folder.h"

namespace talu::cli {
namespace {

class ArchiveBooks : public ::testing::Test {
  protected:
    /// talu-cli COMMAND ARGS...: the exit status, with out_ and err_ filled.
    int Cli(std::string_view command, std::vector<std::string_view> args) {
        out_.str("");
        err_.str("");
        std::string problem;
        if (command == "run") {
            RunOptions options;
            EXPECT_TRUE(ParseRunArguments(args, options, problem)) << problem;
            return RunBook(options, out_, err_);
        }
        if (command == "explore") {
            ExploreOptions options;
            EXPECT_TRUE(ParseExploreArguments(args, options, problem)) << problem;
            return ExploreBook(options, out_, err_);
        }
        CheckOptions options{std::string(args.at(0)), args.size() > 2 ? std::string(args[2]) : ""};
        return RunCheck(options, out_, err_);
    }
    std::string Zip(const std::string& name, const test::ArchiveMembers& members) {
        return dir_.Write(name, test::StoredZip(members)).string();
    }

    test::TempFolder dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ArchiveBooks, TheOneBookPlaysWithItsJumpsAndIsCheckedInsideTheArchive) {
    const std::string zip =
        Zip("game.zip", {{"game/game.talu", "start<P><A HREF=\"chap/next.talu#here\">go</A>"},
                         {"game/chap/next.talu",
                          "skipped<P><A NAME=\"here\">reached<P><A HREF=\"gone.talu\">x</A>"}});
    for (std::string_view command : {"run", "explore"}) {
        SCOPED_TRACE(command);
        Cli(command, {zip});
        EXPECT_EQ(err_.str(), "");
    }
    Cli("run", {zip});
    const std::string trace = out_.str();
    EXPECT_NE(trace.find("text start\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("text reached\n"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("text skipped\n"), std::string::npos) << trace;

    EXPECT_EQ(Cli("check", {zip}), 1);
    EXPECT_EQ(out_.str(),
              "game.talu:1: Unknown tag \"</A>\"; the player skips it.\n"
              "chap/next.talu:1: Link target file \"gone.talu\" cannot be opened.\n"
              "chap/next.talu:1: Unknown tag \"</A>\"; the player skips it.\n");
}

TEST_F(ArchiveBooks, SeveralBooksAreListedAndBookChoosesOne) {
    const std::string zip = Zip("two.zip", {{"first.talu", "one"}, {"second.talu", "two"}});
    for (std::string_view command : {"run", "explore", "check"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(Cli(command, {zip}), 1);
        EXPECT_EQ(out_.str(), "");
        EXPECT_EQ(err_.str(), "talu-cli: the archive '" + zip +
                                  "' holds several books; choose one with --book NAME:\n"
                                  "  first.talu\n  second.talu\n");
    }
    EXPECT_EQ(Cli("run", {zip, "--book", "SECOND.talu"}), 0);
    EXPECT_NE(out_.str().find("text two\n"), std::string::npos) << out_.str();
    EXPECT_EQ(Cli("check", {zip, "--book", "first.talu"}), 0) << err_.str();
    EXPECT_EQ(Cli("run", {zip, "--book", "third.talu"}), 1);
    EXPECT_NE(err_.str().find("holds no book 'third.talu'; its books are:\n  first.talu\n"),
              std::string::npos)
        << err_.str();
    const std::string book = dir_.Write("plain.talu", "x").string();
    EXPECT_EQ(Cli("run", {book, "--book", "x.talu"}), 1);
    EXPECT_NE(err_.str().find("--book chooses a book inside an archive"), std::string::npos);
}

TEST_F(ArchiveBooks, AnArchiveWithoutABookOrUnreadableSaysSo) {
    const std::string none = Zip("none.zip", {{"../up.talu", "x"}, {"a/b/deep.talu", "x"}});
    EXPECT_EQ(Cli("run", {none}), 1);
    EXPECT_EQ(err_.str(), "talu-cli: the archive '" + none +
                              "' holds no book (no .talu file at its top or in its one top "
                              "folder)\n");
    const std::string broken = dir_.Write("broken.lzh", "xx-lh0-broken").string();
    EXPECT_EQ(Cli("check", {broken}), 1);
    EXPECT_EQ(err_.str(), "talu-cli: the archive '" + broken + "' cannot be read\n");
}

}  // namespace
}  // namespace talu::cli
