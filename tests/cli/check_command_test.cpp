// talu-cli check on small books: what it finds, where it says it is, and what it leaves alone.
// tests/books/check/broken.talu covers every kind of finding end to end.
#include "frontend/cli/check_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/archive_bytes.h"
#include "support/temp_folder.h"

namespace talu::cli {
namespace {

class CheckCommand : public ::testing::Test {
  protected:
    /// Checks book.talu of the folder; the report goes to out_, the summary to err_.
    int Check() {
        out_.str("");
        err_.str("");
        return RunCheck({(dir_.Path() / "book.talu").string(), {}}, out_, err_);
    }

    talu::test::TempFolder dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(CheckCommand, ACleanBookPrintsNothing) {
    dir_.Write("Img/Sky.bmp", "x");
    dir_.Write("Img/face.png", "x");
    dir_.Write("parts/one.talu", "<A NAME=\"one\">");
    dir_.Write("next.talu", "<A NAME=\"there\">");
    dir_.Write("cd/Track02.flac", "x");  // the ripped CD track
    dir_.Write("book.talu",
               "<ALIAS SRC=\"sky\" DEST=\"img\\sky.BMP\">\n"
               "<INCLUDE SRC=\"parts\\one.talu\">\n"
               "<BACKGROUND SRC=\"sky\"><BACKGROUND COLOR=\"#000000\">\n"
               "<PLUGIN SRC=\"png\" NAME=\"anything.spi\">\n"
               "<ENTER NAME=\"m\"><ACT NAME=\"m\" SRC=\"img\\{mood}.png\" ALPHA=\"50\">\n"
               "<ACT NAME=\"m\" SRC=\"IMG\\FACE.PNG\">\n"
               "<ICON><BGM SRC=\"track02.cda\"><BGM><CURSOR>\n"
               "<EVENT ANSWER=\"x\"><EVENT ANSWER=\"y\"></EVENT></EVENT>\n"
               "<CURTAIN></CURTAIN><<name>>text\n"
               "<A HREF=\"#one\" ALT=\"a\"><A HREF=\"next.talu#there\" ALT=\"b\">"
               "<A HREF=\"{where}\" ALT=\"c\">\n"
               "<END>");
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(CheckCommand, PicturesAreReadAsThePlayerReadsThem) {
    std::filesystem::copy_file(std::filesystem::path(TALU_TESTDATA) / "archives/pictures.zip",
                               dir_.Path() / "pictures.zip");
    for (const char* name : {"a.xyz", "noext", "b.gif", "c.tga"}) {
        dir_.Write(name, "x");
    }
    dir_.Write("book.talu",
               "<BACKGROUND SRC=\"pictures.zip\\img\\pal8.bmp\">\n"
               "<BACKGROUND SRC=\"pictures.zip\\img\\none.bmp\">\n"
               "<BACKGROUND SRC=\"c.tga\">\n"
               "<PLUGIN SRC=\"xyz\" NAME=\"some.spi\"><PLUGIN SRC=\"tga\" NAME=\"tga.spi\">\n"
               "<BACKGROUND SRC=\"a.xyz\"><BACKGROUND SRC=\"noext\"><BACKGROUND SRC=\"c.tga\">\n"
               "<PLUGIN SRC=\"{kind}\" NAME=\"x.spi\">\n"
               "<BACKGROUND SRC=\"b.gif\">");
    EXPECT_EQ(Check(), 1);
    EXPECT_EQ(out_.str(),
              "book.talu:2: Picture \"pictures.zip\\img\\none.bmp\" cannot be found.\n"
              "book.talu:3: Picture \"c.tga\": no PLUGIN tag binds the extension TGA.\n"
              "book.talu:5: Picture \"a.xyz\": no reader for XYZ pictures on this system.\n"
              "book.talu:5: Picture \"noext\" has no extension; the player cannot tell its "
              "format.\n");
    EXPECT_EQ(err_.str(), "talu-cli: 4 problems in 1 file\n");
}

// FOLDER, archive includes and the folder of a file reached by a jump, as the player has them.
TEST_F(CheckCommand, PathsResolveAsInThePlayer) {
    dir_.Write("chars/girl.bmp", "x");
    dir_.Write("sub/night.bmp", "x");
    dir_.Write("sub/chars/boy.bmp", "x");
    dir_.Write("scripts.zip", talu::test::StoredZip(
                                  {{"chap.inc", "<BACKGROUND SRC=\"night.bmp\" FOLDER=\"sub\">"}}));
    dir_.Write("sub/chap2.talu",
               "<A NAME=\"start\"><BACKGROUND SRC=\"night.bmp\">\n"
               "<ACT NAME=\"g\" SRC=\"boy.bmp\" FOLDER=\"chars\">\n"
               "<ACT NAME=\"g\" SRC=\"girl.bmp\" FOLDER=\"chars\">");
    dir_.Write("book.talu",
               "<INCLUDE SRC=\"scripts.zip\\chap.inc\">\n"
               "<ENTER NAME=\"g\"><ACT NAME=\"g\" SRC=\"girl.bmp\" FOLDER=\"chars\">\n"
               "<A HREF=\"sub\\chap2.talu#start\">");
    EXPECT_EQ(Check(), 1);
    EXPECT_EQ(out_.str(), "sub/chap2.talu:3: Picture \"chars\\girl.bmp\" cannot be found.\n");
}

TEST_F(CheckCommand, SnapNeverWritesOverTheBooksOwnFiles) {
    dir_.Write("parts/chap.inc", "<SNAP SRC=\"chap.inc\" FOLDER=\"parts\">");
    dir_.Write("book.talu",
               "<INCLUDE SRC=\"parts\\chap.inc\">\n"
               "<SNAP SRC=\"BOOK.TALU\"><SNAP SRC=\"book.01.memo\"><SNAP SRC=\"save.bmk\">\n"
               "<SNAP SRC=\"shot.bmp\"><SNAP SRC=\"book.jpg\" MODE=\"JPEG\">");
    EXPECT_EQ(Check(), 1);
    const std::string refused = ", a book file, bookmark or memo; the player refuses it.\n";
    EXPECT_EQ(out_.str(), "book.talu:2: SNAP would write over \"BOOK.TALU\"" + refused +
                              "book.talu:2: SNAP would write over \"book.01.memo\"" + refused +
                              "book.talu:2: SNAP would write over \"save.bmk\"" + refused +
                              "parts/chap.inc:1: SNAP would write over \"parts\\chap.inc\"" +
                              refused);
}

TEST_F(CheckCommand, FilesInTheOrderReachedFindingsInReadingOrder) {
    dir_.Write("part.talu", "<BACKGROUND SRC=\"none.bmp\"><NOSUCH>");
    dir_.Write("z.talu", "<NOSUCH>");
    dir_.Write("a.talu", "<NOSUCH>");
    dir_.Write("book.talu",
               "<A HREF=\"z.talu\"><A HREF=\"a.talu\"><A HREF=\"z.talu\">\n"
               "<INCLUDE SRC=\"part.talu\"><INCLUDE SRC=\"part.talu\"><NOSUCH>");
    EXPECT_EQ(Check(), 1);
    EXPECT_EQ(out_.str(),
              "book.talu:2: Unknown tag \"<NOSUCH>\"; the player skips it.\n"
              "part.talu:1: Picture \"none.bmp\" cannot be found.\n"
              "part.talu:1: Unknown tag \"<NOSUCH>\"; the player skips it.\n"
              "z.talu:1: Unknown tag \"<NOSUCH>\"; the player skips it.\n"
              "a.talu:1: Unknown tag \"<NOSUCH>\"; the player skips it.\n");
    EXPECT_EQ(err_.str(), "talu-cli: 5 problems in 4 files\n");
}

}  // namespace
}  // namespace talu::cli
