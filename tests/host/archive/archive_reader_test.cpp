// Reading the book's archives: listing, extraction from files and from memory, and refusal of
// damaged or oversized input.
#include "host/archive/archive_reader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "support/archive_bytes.h"
#include "support/file_contents.h"

namespace talu::host {
namespace {

const std::filesystem::path kData = TALU_TESTDATA;

const ArchiveEntry* Find(const std::vector<ArchiveEntry>& entries, const std::string& path) {
    for (const ArchiveEntry& entry : entries) {
        if (entry.path == path) {
            return &entry;
        }
    }
    return nullptr;
}

/// The bytes of the member at path, read with the given size limit.
std::optional<std::vector<std::uint8_t>> Member(const ArchiveSource& source,
                                                const std::string& path,
                                                std::size_t limit = 1 << 20) {
    auto entries = ListArchive(source);
    const ArchiveEntry* entry = entries ? Find(*entries, path) : nullptr;
    EXPECT_NE(entry, nullptr) << path;
    return entry ? ReadArchiveEntry(source, entry->index, limit) : std::nullopt;
}

class ArchiveFormats : public testing::TestWithParam<const char*> {};

TEST_P(ArchiveFormats, ListsFilesWithBackslashPathsAndExtractsThemFromFilesAndMemory) {
    const auto file = ArchiveSource::FromFile(kData / "archives" / GetParam());
    auto entries = ListArchive(file);
    ASSERT_TRUE(entries);
    ASSERT_NE(Find(*entries, "FACE.BMP"), nullptr);
    ASSERT_NE(Find(*entries, "IMG\\Pal8.bmp"), nullptr);
    EXPECT_EQ(Find(*entries, "FACE.BMP")->size, 24630);
    EXPECT_EQ(Find(*entries, "IMG\\Pal8.bmp")->size, 9254);
    for (const ArchiveEntry& entry : *entries) {
        EXPECT_NE(entry.path.back(), '\\') << "folders are not listed";
    }
    const std::vector<std::uint8_t> bytes = test::ReadBytes(kData / "archives" / GetParam());
    const std::vector<std::uint8_t> face = test::ReadBytes(kData / "bmpsuite/g/rgb24.bmp");
    EXPECT_EQ(Member(file, "FACE.BMP"), face);
    EXPECT_EQ(Member(ArchiveSource::FromMemory(bytes), "FACE.BMP"), face);
    EXPECT_EQ(Member(file, "IMG\\Pal8.bmp"), test::ReadBytes(kData / "bmpsuite/g/pal8.bmp"));
    EXPECT_EQ(Member(file, "FACE.BMP", 24629), std::nullopt);  // larger than the limit
    EXPECT_EQ(Member(file, "FACE.BMP", 24630), face);
}

// LHA members of a file are read straight from their headers (zip members by position); a header
// that is not the member's (the file changed since it was listed) sends the read back to the
// member's position.
TEST_P(ArchiveFormats, ReadsMembersFromTheirHeadersAndByPositionWhenTheHeaderIsWrong) {
    const auto file = ArchiveSource::FromFile(kData / "archives" / GetParam());
    auto entries = ListArchive(file);
    ASSERT_TRUE(entries);
    ASSERT_GE(entries->size(), 2u);
    for (const ArchiveEntry& entry : *entries) {
        EXPECT_EQ(entry.headerOffset >= 0, std::string(GetParam()).ends_with(".lzh")) << entry.path;
        EXPECT_EQ(ReadArchiveMember(file, entry, 1 << 20),
                  ReadArchiveEntry(file, entry.index, 1 << 20))
            << entry.path;
    }
    ArchiveEntry moved = (*entries)[1];
    moved.headerOffset = (*entries)[0].headerOffset;
    EXPECT_EQ(ReadArchiveMember(file, moved, 1 << 20),
              ReadArchiveEntry(file, moved.index, 1 << 20));
    const ArchiveEntry* face = Find(*entries, "FACE.BMP");
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(ReadArchiveMember(file, *face, 24629), std::nullopt);  // larger than the limit
}

TEST_P(ArchiveFormats, TruncatedArchiveNeverYieldsItsLostMember) {
    std::vector<std::uint8_t> bytes = test::ReadBytes(kData / "archives" / GetParam());
    auto entries = ListArchive(ArchiveSource::FromMemory(bytes));
    ASSERT_TRUE(entries);
    const ArchiveEntry last = entries->back();
    bytes.resize(bytes.size() - 4000);
    const auto source = ArchiveSource::FromMemory(bytes);
    EXPECT_FALSE(ReadArchiveEntry(source, last.index, 1 << 20));
    for (std::size_t cut : {0, 1, 7, 30, 100, 2000}) {
        std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + cut);
        auto partial = ListArchive(ArchiveSource::FromMemory(head));
        if (partial) {
            EXPECT_LE(partial->size(), entries->size());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LzhAndZip, ArchiveFormats,
                         testing::Values("pictures.lzh", "pictures.zip"));

TEST(ArchiveReader, RecognisesArchivesAndRefusesEverythingElse) {
    EXPECT_TRUE(LooksLikeArchive(test::ReadBytes(kData / "archives/pictures.lzh")));
    EXPECT_TRUE(LooksLikeArchive(test::ReadBytes(kData / "archives/pictures.zip")));
    const std::uint8_t sevenZip[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    EXPECT_TRUE(LooksLikeArchive(sevenZip));
    const std::uint8_t cab[] = {'M', 'S', 'C', 'F', 0, 0, 0, 0};
    EXPECT_TRUE(LooksLikeArchive(cab));
    const std::uint8_t almostLzh[] = {0, 0, '-', 'l', 'h', '5'};
    EXPECT_FALSE(LooksLikeArchive(almostLzh));

    const std::vector<std::uint8_t> bmp = test::ReadBytes(kData / "bmpsuite/g/rgb24.bmp");
    EXPECT_FALSE(LooksLikeArchive(bmp));
    EXPECT_FALSE(ListArchive(ArchiveSource::FromMemory(bmp)));
    EXPECT_FALSE(ListArchive(ArchiveSource::FromMemory({})));
    EXPECT_FALSE(ListArchive(ArchiveSource::FromFile(kData / "archives/missing.lzh")));
    const auto zip = ArchiveSource::FromFile(kData / "archives/pictures.zip");
    EXPECT_FALSE(ReadArchiveEntry(zip, -1, 1 << 20));
    EXPECT_FALSE(ReadArchiveEntry(zip, 100, 1 << 20));
}

// Books name members in CP932 whatever locale the player runs under, while libarchive turns
// names into the locale's charset: LHA names from CP932, zip names flagged as UTF-8.
TEST(ArchiveNames, JapaneseMemberNamesAreCp932UnderEveryLocale) {
    const std::string cp932 = "\x89\xE6\x91\x9C\\\x95\x5C.txt";  // 画像\表.txt
    const std::string utf8 = "\xE7\x94\xBB\xE5\x83\x8F/\xE8\xA1\xA8.txt";
    const std::string cp932Slash = "\x89\xE6\x91\x9C/\x95\x5C.txt";
    const struct {
        const char* name;
        std::string bytes;
    } archives[] = {
        {"zip with CP932 names", test::StoredZip({{cp932Slash, "text"}})},
        {"zip with UTF-8 names", test::StoredZip({{utf8, "text"}}, true)},
        {"lha with CP932 names", test::StoredLha({{cp932, "text"}})},
    };
    const std::string before = std::setlocale(LC_ALL, nullptr);
    // The build compiles ja_JP.UTF-8 for this test; C.UTF-8 is built into the C library.
    ASSERT_EQ(::setenv("LOCPATH", TALU_TEST_LOCALES, 1), 0);
    for (const char* locale : {"C", "C.UTF-8", "ja_JP.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        for (const auto& archive : archives) {
            SCOPED_TRACE(std::string(locale) + ", " + archive.name);
            const std::span<const std::uint8_t> bytes(
                reinterpret_cast<const std::uint8_t*>(archive.bytes.data()), archive.bytes.size());
            const auto source = ArchiveSource::FromMemory(bytes);
            auto entries = ListArchive(source);
            ASSERT_TRUE(entries);
            ASSERT_EQ(entries->size(), 1u);
            EXPECT_EQ((*entries)[0].path, cp932);
            auto member = ReadArchiveEntry(source, (*entries)[0].index, 100);
            EXPECT_EQ(member, (std::vector<std::uint8_t>{'t', 'e', 'x', 't'}));
        }
    }
    std::setlocale(LC_ALL, before.c_str());
    ::unsetenv("LOCPATH");
}

}  // namespace
}  // namespace talu::host
