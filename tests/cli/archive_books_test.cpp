// talu-cli given an archive: the book inside plays and is checked from the archive (its jumps
// too), several books are listed and --book chooses one.
#include <gtest/gtest.h>

#include <sstream>

#include "frontend/cli/check_command.h"
#include "frontend/cli/run_command.h"
#include "support/archive_bytes.h"
#include "support/temp_folder.h"

namespace talu::cli {
namespace {

class ArchiveBooks : public ::testing::Test {
  protected:
    int Run(std::vector<std::string_view> args) {
        out_.str("");
        err_.str("");
        RunOptions options;
        std::string problem;
        EXPECT_TRUE(ParseRunArguments(args, options, problem)) << problem;
        return RunBook(options, out_, err_);
    }
    bool Traced(const std::string& line) const {
        return out_.str().find(line + '\n') != std::string::npos;
    }

    test::TempFolder dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ArchiveBooks, TheOneBookPlaysAndIsCheckedWithItsJumpsInsideTheArchive) {
    const std::string zip =
        dir_.Write("game.zip",
                   test::StoredZip({{"game/game.talu", "start<P><A HREF=\"chap/next.talu#here\">"},
                                    {"game/chap/next.talu",
                                     "skipped<P><A NAME=\"here\">reached<P><A HREF=\"gone\">"}}))
            .string();
    EXPECT_EQ(Run({zip}), 0) << err_.str();
    EXPECT_TRUE(Traced("text start") && Traced("text reached") && !Traced("text skipped"))
        << out_.str();
    out_.str("");
    EXPECT_EQ(RunCheck({zip, ""}, out_, err_), 1);
    EXPECT_EQ(out_.str(), "chap/next.talu:1: Link target file \"gone\" cannot be opened.\n");
}

TEST_F(ArchiveBooks, SeveralBooksAreListedAndBookChoosesOne) {
    const std::string zip =
        dir_.Write("two.zip", test::StoredZip({{"first.talu", "one"}, {"second.talu", "two"}}))
            .string();
    EXPECT_EQ(Run({zip}), 1);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "talu-cli: the archive '" + zip +
                              "' holds several books; choose one with --book NAME:\n"
                              "  first.talu\n  second.talu\n");
    EXPECT_EQ(Run({zip, "--book", "SECOND.talu"}), 0);
    EXPECT_TRUE(Traced("text two")) << out_.str();
    EXPECT_EQ(Run({zip, "--book", "third.talu"}), 1);
    EXPECT_NE(err_.str().find("holds no book 'third.talu'; its books are:\n  first.talu\n"),
              std::string::npos)
        << err_.str();
}

}  // namespace
}  // namespace talu::cli
