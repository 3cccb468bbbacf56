// Paths that run through archives: "data.lzh\img\face.bmp", nested archives, member names
// compared ignoring case, and the order in which archive extractors are asked; the PLUGIN tag
// that binds extensions and puts an extractor first.
#include "stage/archive_lookup.h"

#include <gtest/gtest.h>

#include "picture_test_support.h"
#include "script/book_file.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "stage/archive_index.h"
#include "stage/archive_member_source.h"
#include "stage/plugin_tag.h"
#include "support/temp_folder.h"

namespace talu::stage {
namespace {

namespace kw = script::kw;
using test::ReadBytes;
using testing::FakeArchivePlugin;
using testing::InsideTestData;

const std::filesystem::path kData = TALU_TESTDATA;

class ArchiveLookup : public ::testing::Test {
  protected:
    void SetUp() override { plugins_.Scan(); }

    std::optional<OpenedFile> Open(std::string_view path) {
        return OpenPossiblyArchived(path, InsideTestData("archives"), plugins_);
    }

    PluginList plugins_;
};

TEST_F(ArchiveLookup, OpensPlainFilesAndMembersAtAnyDepthIgnoringCase) {
    const std::string rgb24 = "bmpsuite/g/rgb24.bmp";
    const std::string pal8 = "bmpsuite/g/pal8.bmp";
    const struct {
        std::string path, file;
        const char* member;  // null for a plain file, "" when the name is not checked
    } cases[] = {
        {InsideTestData("bmpsuite\\g") + "rgb24.bmp", rgb24, nullptr},
        {"pictures.lzh\\img\\pal8.bmp", pal8, "IMG\\Pal8.bmp"},
        {"PICTURES.LZH\\IMG\\PAL8.BMP", pal8, "IMG\\Pal8.bmp"},
        {"pictures.zip/Img/Pal8.BMP", pal8, "IMG\\Pal8.bmp"},
        {"pictures.zip\\img\\pal8.bmp", pal8, "IMG\\Pal8.bmp"},
        {InsideTestData("archives") + "pictures.lzh\\face.bmp", rgb24, ""},
        {"nested.lzh\\inner.lzh\\img\\pal8.bmp", pal8, ""},
        {"nested.lzh\\top.bmp", rgb24, ""},
        {"nested.lzh\\inner.lzh", "archives/pictures.lzh", ""},
    };
    for (const auto& c : cases) {
        const auto opened = Open(c.path);
        ASSERT_TRUE(opened) << c.path;
        EXPECT_EQ(opened->bytes, ReadBytes(kData / c.file)) << c.path;
        ASSERT_EQ(opened->member.has_value(), c.member != nullptr) << c.path;
        if (c.member && *c.member) {
            EXPECT_EQ(opened->member->path, c.member);
        }
    }
}

// The first file along the path is the archive; a file that is no archive ends the search.
TEST_F(ArchiveLookup, FailsForPathsNoArchiveHolds) {
    const std::string plain = InsideTestData("bmpsuite\\g") + "rgb24.bmp\\face.bmp";
    for (std::string_view path : std::initializer_list<std::string_view>{
             "pictures.lzh\\missing.bmp", "pictures.lzh\\face.bmpx", "pictures.lzh\\face",
             "pictures.lzh\\img", "missing.lzh\\face.bmp", "nested.lzh\\inner.lzh\\top.bmp",
             "nested.lzh\\top.bmp\\x", plain}) {
        EXPECT_FALSE(Open(path)) << path;
    }
    PluginList none;  // without archive extractors only plain files open
    EXPECT_FALSE(OpenPossiblyArchived("pictures.lzh\\face.bmp", InsideTestData("archives"), none));
    EXPECT_TRUE(OpenPossiblyArchived("pictures.lzh", InsideTestData("archives"), none));
}

TEST(ArchiveIndex, FindsNamesIgnoringAsciiCaseSeparatorsAlikeAndDoubleBytesWhole) {
    // 0x95 0x5C is one character whose trail byte is a backslash; 0x83 0x41 and 0x83 0x61 differ
    // although their trail bytes fold to the same ASCII letter.
    const ArchiveIndex index({{"IMG\\FACE.BMP", 0},
                              {"\x95\x5C.bmp", 1},
                              {"\x83\x41.bmp", 2},
                              {"in.lzh", 3},
                              {"IN.LZH\\x", 4},
                              {"In.Lzh", 5},
                              {"", 6}});
    const struct {
        const char* path;
        int member;  // -1: none
        std::size_t matched;
    } cases[] = {
        {"img\\face.bmp", 0, 12}, {"img/face.bmp\\x", 0, 12},
        {"img\\face", -1, 0},     {"img_face.bmp", -1, 0},
        {"\x95\x5C.bmp", 1, 6},   {"\x95/.bmp", -1, 0},
        {"\x83\x61.bmp", -1, 0},  {"in.lzh\\x", 3, 6},
        {"IN.LZH", 3, 6},         {"", -1, 0},
    };
    for (const auto& c : cases) {
        const auto found = index.Find(c.path);
        ASSERT_EQ(found.has_value(), c.member >= 0) << c.path;
        if (found) {
            EXPECT_EQ(found->member->index, c.member) << c.path;
            EXPECT_EQ(found->matched, c.matched) << c.path;
        }
    }
}

// Listing a large archive takes long: it is listed once, and again only when the file changes.
TEST(ArchiveIndex, ListsAnArchiveFileOnceUntilItChanges) {
    int listings = 0;
    PluginList plugins;
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXCOUNT.SPI", std::map<std::string, std::string>{{"A.BMP", "a"}}, &listings));
    test::TempFolder folder;
    folder.Write("pack.fak", "FAKE");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(OpenPossiblyArchived("pack.fak\\a.bmp", folder.InsideFolder(), plugins));
        EXPECT_FALSE(OpenPossiblyArchived("pack.fak\\b.bmp", folder.InsideFolder(), plugins));
    }
    EXPECT_EQ(listings, 1);
    folder.Write("pack.fak", "FAKE, larger");
    EXPECT_TRUE(OpenPossiblyArchived("pack.fak\\a.bmp", folder.InsideFolder(), plugins));
    EXPECT_EQ(listings, 2);
}

TEST(ArchiveExtractorOrder, FrontExtractorAnswersAndTheNextIsAskedWhenItLacksTheMember) {
    PluginList plugins;
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXSECOND.SPI", std::map<std::string, std::string>{{"A.BMP", "second"}, {"B.BMP", "b"}}));
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXFIRST.SPI", std::map<std::string, std::string>{{"A.BMP", "first"}}));
    const std::vector<uint8_t> archive = {'F', 'A', 'K', 'E'};
    const auto source = host::ArchiveSource::FromMemory(archive);
    auto member = [&](std::string_view path) {
        auto found = FindArchiveMember(plugins, "x.fak", source, archive, path);
        return found ? std::string(found->bytes.begin(), found->bytes.end()) : "(none)";
    };
    EXPECT_EQ(member("b.bmp"), "b");
    EXPECT_EQ(member("A.BMP"), "first");
    EXPECT_TRUE(plugins.MoveToFront("AXSECOND.SPI"));
    EXPECT_FALSE(plugins.MoveToFront("axsecond.spi"));
    EXPECT_EQ(member("A.BMP"), "second");
}

TEST(PluginArchiveSource, ReadsBooksFromArchivesOnly) {
    PluginList plugins;
    plugins.Scan();
    PluginArchiveSource archives(plugins);
    auto member = archives.ReadMember("pictures.zip\\face.bmp", InsideTestData("archives"));
    ASSERT_TRUE(member);
    EXPECT_EQ(member->size(), 24630u);
    EXPECT_FALSE(archives.ReadMember("pictures.zip", InsideTestData("archives")));
    EXPECT_FALSE(archives.ReadMember("pictures.zip\\none.talu", InsideTestData("archives")));

    auto file = script::BookFile::Open("pictures.lzh\\img\\pal8.bmp", InsideTestData("archives"),
                                       &archives);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->HostPath().empty());
}

class PluginTag : public ::testing::Test {
  protected:
    void Run(std::initializer_list<std::pair<int, std::string_view>> attributes) {
        script::TagRecord record;
        record.SetCommand(kw::kPlugin);
        for (const auto& [id, value] : attributes) {
            record.AddAttribute(id, value);
        }
        BindExtension(record, PluginTagContext{extensions_, plugins_, &diagnostics_, " PLUGIN"});
    }

    ExtensionMap extensions_;
    PluginList plugins_;
    testing::RecordingBoxes boxes_;
    script::Diagnostics diagnostics_{boxes_, script::kLangEnglish};
};

TEST_F(PluginTag, BindsTheUpperCasedExtensionToTheUpperCasedNameLaterTagsReplacing) {
    Run({{kw::kSrc, "png"}, {kw::kName, "ifPng.spi"}});
    EXPECT_EQ(extensions_.Find("PNG"), "IFPNG.SPI");
    EXPECT_FALSE(extensions_.Find("png"));
    Run({{kw::kSrc, "Png"}, {kw::kName, "IFPNG2.SPI"}});
    EXPECT_EQ(extensions_.Find("PNG"), "IFPNG2.SPI");
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PluginTag, ReportsMissingAttributesAndGoesOn) {
    Run({{kw::kName, "IFPNG.SPI"}});
    Run({{kw::kSrc, "GIF"}});
    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[0], "Syntax Error. PLUGIN\n\nSRC attribute is not found.");
    EXPECT_EQ(boxes_.boxes[1], "Syntax Error. PLUGIN\n\nNAME attribute is not found.");
    EXPECT_EQ(extensions_.Find(""), "IFPNG.SPI");
    EXPECT_EQ(extensions_.Find("GIF"), "");
}

// Only archive extractor names starting with "AX" move to the front.
TEST_F(PluginTag, PutsTheNamedArchiveExtractorFirst) {
    for (const char* name : {"LHA.SPI", "AXLHA.SPI", "AXZIP.SPI"}) {
        plugins_.AddToFront(std::make_unique<testing::FakeArchivePlugin>(name));
    }
    Run({{kw::kSrc, "lzh"}, {kw::kName, "lha.spi"}});
    EXPECT_EQ(plugins_.Plugins().front()->FileName(), "AXZIP.SPI");
    Run({{kw::kSrc, "lzh"}, {kw::kName, "axlha.spi"}});
    EXPECT_EQ(plugins_.Plugins().front()->FileName(), "AXLHA.SPI");
    EXPECT_EQ(extensions_.Find("LZH"), "AXLHA.SPI");
}

}  // namespace
}  // namespace talu::stage
