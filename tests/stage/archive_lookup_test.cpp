// Paths that run through archives: "data.lzh\img\face.bmp", nested archives, member names
// compared ignoring case, and the order in which archive extractors are asked.
#include "stage/archive_lookup.h"

#include <gtest/gtest.h>

#include <map>

#include "picture_test_support.h"
#include "script/book_file.h"
#include "stage/archive_member_source.h"

namespace talu::stage {
namespace {

using testing::InsideTestData;
using testing::ReadFile;

const std::filesystem::path kData = TALU_TESTDATA;

class ArchiveLookup : public ::testing::Test {
  protected:
    void SetUp() override { plugins_.Scan(); }

    std::optional<OpenedFile> Open(std::string_view path) {
        return OpenPossiblyArchived(path, InsideTestData("archives"), plugins_);
    }

    PluginList plugins_;
};

TEST_F(ArchiveLookup, OpensPlainFilesWhole) {
    auto opened = Open(InsideTestData("bmpsuite\\g") + "rgb24.bmp");
    ASSERT_TRUE(opened);
    EXPECT_FALSE(opened->member);
    EXPECT_EQ(opened->bytes, ReadFile(kData / "bmpsuite/g/rgb24.bmp"));
}

TEST_F(ArchiveLookup, FindsMembersIgnoringCase) {
    for (const char* path : {"pictures.lzh\\img\\pal8.bmp", "PICTURES.LZH\\IMG\\PAL8.BMP",
                             "pictures.zip/Img/Pal8.BMP", "pictures.zip\\img\\pal8.bmp"}) {
        auto opened = Open(path);
        ASSERT_TRUE(opened) << path;
        ASSERT_TRUE(opened->member) << path;
        EXPECT_EQ(opened->member->path, "IMG\\Pal8.bmp");
        EXPECT_EQ(opened->bytes, ReadFile(kData / "bmpsuite/g/pal8.bmp")) << path;
    }
}

TEST_F(ArchiveLookup, FindsMembersThroughAbsolutePaths) {
    auto opened = Open(InsideTestData("archives") + "pictures.lzh\\face.bmp");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->bytes, ReadFile(kData / "bmpsuite/g/rgb24.bmp"));
}

TEST_F(ArchiveLookup, DescendsIntoArchivesInsideArchives) {
    auto inner = Open("nested.lzh\\inner.lzh\\img\\pal8.bmp");
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->bytes, ReadFile(kData / "bmpsuite/g/pal8.bmp"));
    auto top = Open("nested.lzh\\top.bmp");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->bytes, ReadFile(kData / "bmpsuite/g/rgb24.bmp"));
    auto innerArchive = Open("nested.lzh\\inner.lzh");
    ASSERT_TRUE(innerArchive);
    EXPECT_EQ(innerArchive->bytes, ReadFile(kData / "archives/pictures.lzh"));
}

TEST_F(ArchiveLookup, FailsForPathsNoArchiveHolds) {
    for (const char* path : {"pictures.lzh\\missing.bmp", "pictures.lzh\\face.bmpx",
                             "pictures.lzh\\face", "pictures.lzh\\img", "missing.lzh\\face.bmp",
                             "nested.lzh\\inner.lzh\\top.bmp", "nested.lzh\\top.bmp\\x"}) {
        EXPECT_FALSE(Open(path)) << path;
    }
}

// The first file along the path is the archive; a file that is no archive ends the search.
TEST_F(ArchiveLookup, TreatsTheFirstFileOnThePathAsTheArchive) {
    EXPECT_FALSE(Open(InsideTestData("bmpsuite\\g") + "rgb24.bmp\\face.bmp"));
}

TEST_F(ArchiveLookup, WithoutArchiveExtractorsOnlyPlainFilesOpen) {
    PluginList empty;
    EXPECT_FALSE(OpenPossiblyArchived("pictures.lzh\\face.bmp", InsideTestData("archives"), empty));
    EXPECT_TRUE(OpenPossiblyArchived("pictures.lzh", InsideTestData("archives"), empty));
}

TEST(MatchMemberPrefix, ComparesAsciiIgnoringCaseAndSeparatorsAlike) {
    EXPECT_EQ(MatchMemberPrefix("img\\face.bmp", "IMG\\FACE.BMP"), 12u);
    EXPECT_EQ(MatchMemberPrefix("img/face.bmp\\x", "IMG\\FACE.BMP"), 12u);
    EXPECT_FALSE(MatchMemberPrefix("img\\face", "IMG\\FACE.BMP"));
    EXPECT_FALSE(MatchMemberPrefix("img_face.bmp", "IMG\\FACE.BMP"));
}

TEST(MatchMemberPrefix, ComparesDoubleByteCharactersWhole) {
    // 0x95 0x5C is one character whose trail byte is a backslash; 0x83 0x41 and 0x83 0x61 differ
    // although their trail bytes fold to the same ASCII letter.
    EXPECT_EQ(MatchMemberPrefix("\x95\x5C.bmp", "\x95\x5C.bmp"), 6u);
    EXPECT_FALSE(MatchMemberPrefix("\x95/.bmp", "\x95\x5C.bmp"));
    EXPECT_FALSE(MatchMemberPrefix("\x83\x61.bmp", "\x83\x41.bmp"));
}

// An archive extractor serving fixed members from memory, for ordering tests.
class FakeArchivePlugin : public Plugin {
  public:
    FakeArchivePlugin(std::string name, std::map<std::string, std::string> members)
        : name_(std::move(name)), members_(std::move(members)) {}

    PluginKind GetKind() const override { return PluginKind::kArchiveExtractor; }
    const std::string& FileName() const override { return name_; }
    bool IsSupported(std::string_view, std::span<const uint8_t> head) const override {
        return head.size() >= 4 && std::equal(head.begin(), head.begin() + 4, "FAKE");
    }
    std::optional<std::vector<host::ArchiveEntry>> GetArchiveInfo(
        const host::ArchiveSource&) const override {
        std::vector<host::ArchiveEntry> entries;
        int index = 0;
        for (const auto& [path, bytes] : members_) {
            entries.push_back({path, index++, static_cast<int64_t>(bytes.size()), 0});
        }
        return entries;
    }
    std::optional<std::vector<uint8_t>> GetFile(const host::ArchiveSource&,
                                                const host::ArchiveEntry& member) const override {
        const std::string& bytes = members_.at(member.path);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

  private:
    std::string name_;
    std::map<std::string, std::string> members_;
};

TEST(ArchiveExtractorOrder, AsksTheNextExtractorWhenOneLacksTheMember) {
    PluginList plugins;
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXSECOND.SPI", std::map<std::string, std::string>{{"A.BMP", "second"}}));
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXFIRST.SPI", std::map<std::string, std::string>{{"B.BMP", "first"}}));
    const std::vector<uint8_t> archive = {'F', 'A', 'K', 'E'};
    const auto source = host::ArchiveSource::FromMemory(archive);
    auto found = FindArchiveMember(plugins, "x.fak", source, archive, "a.bmp");
    ASSERT_TRUE(found);
    EXPECT_EQ(std::string(found->bytes.begin(), found->bytes.end()), "second");
}

TEST(ArchiveExtractorOrder, MoveToFrontDecidesWhichExtractorAnswers) {
    PluginList plugins;
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXSECOND.SPI", std::map<std::string, std::string>{{"A.BMP", "second"}}));
    plugins.AddToFront(std::make_unique<FakeArchivePlugin>(
        "AXFIRST.SPI", std::map<std::string, std::string>{{"A.BMP", "first"}}));
    const std::vector<uint8_t> archive = {'F', 'A', 'K', 'E'};
    const auto source = host::ArchiveSource::FromMemory(archive);
    auto found = FindArchiveMember(plugins, "x.fak", source, archive, "A.BMP");
    ASSERT_TRUE(found);
    EXPECT_EQ(std::string(found->bytes.begin(), found->bytes.end()), "first");

    EXPECT_TRUE(plugins.MoveToFront("AXSECOND.SPI"));
    EXPECT_FALSE(plugins.MoveToFront("axsecond.spi"));
    found = FindArchiveMember(plugins, "x.fak", source, archive, "A.BMP");
    ASSERT_TRUE(found);
    EXPECT_EQ(std::string(found->bytes.begin(), found->bytes.end()), "second");
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

}  // namespace
}  // namespace talu::stage
