// Reading the book's archives: listing, extraction from files and from memory, and refusal of
// damaged or oversized input.
#include "host/archive/archive_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace talu::host {
namespace {

const std::filesystem::path kData = TALU_TESTDATA;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const ArchiveEntry* Find(const std::vector<ArchiveEntry>& entries, const std::string& path) {
    for (const ArchiveEntry& entry : entries) {
        if (entry.path == path) {
            return &entry;
        }
    }
    return nullptr;
}

class ArchiveFormats : public testing::TestWithParam<const char*> {};

TEST_P(ArchiveFormats, ListsRegularFilesWithBackslashPaths) {
    auto entries = ListArchive(ArchiveSource::FromFile(kData / "archives" / GetParam()));
    ASSERT_TRUE(entries);
    const ArchiveEntry* face = Find(*entries, "FACE.BMP");
    const ArchiveEntry* pal8 = Find(*entries, "IMG\\Pal8.bmp");
    ASSERT_NE(face, nullptr);
    ASSERT_NE(pal8, nullptr);
    EXPECT_EQ(face->size, 24630);
    EXPECT_EQ(pal8->size, 9254);
    for (const ArchiveEntry& entry : *entries) {
        EXPECT_NE(entry.path.back(), '\\') << "folders are not listed";
    }
}

TEST_P(ArchiveFormats, ExtractsMembersByteForByte) {
    const auto source = ArchiveSource::FromFile(kData / "archives" / GetParam());
    auto entries = ListArchive(source);
    ASSERT_TRUE(entries);
    auto face = ReadArchiveEntry(source, Find(*entries, "FACE.BMP")->index, 1 << 20);
    auto pal8 = ReadArchiveEntry(source, Find(*entries, "IMG\\Pal8.bmp")->index, 1 << 20);
    ASSERT_TRUE(face);
    ASSERT_TRUE(pal8);
    EXPECT_EQ(*face, ReadFile(kData / "bmpsuite/g/rgb24.bmp"));
    EXPECT_EQ(*pal8, ReadFile(kData / "bmpsuite/g/pal8.bmp"));
}

TEST_P(ArchiveFormats, ReadsTheSameFromMemory) {
    const std::vector<std::uint8_t> bytes = ReadFile(kData / "archives" / GetParam());
    const auto source = ArchiveSource::FromMemory(bytes);
    auto entries = ListArchive(source);
    ASSERT_TRUE(entries);
    auto face = ReadArchiveEntry(source, Find(*entries, "FACE.BMP")->index, 1 << 20);
    ASSERT_TRUE(face);
    EXPECT_EQ(*face, ReadFile(kData / "bmpsuite/g/rgb24.bmp"));
}

TEST_P(ArchiveFormats, RefusesMembersLargerThanTheLimit) {
    const auto source = ArchiveSource::FromFile(kData / "archives" / GetParam());
    auto entries = ListArchive(source);
    ASSERT_TRUE(entries);
    const int index = Find(*entries, "FACE.BMP")->index;
    EXPECT_FALSE(ReadArchiveEntry(source, index, 24629));
    EXPECT_TRUE(ReadArchiveEntry(source, index, 24630));
}

TEST_P(ArchiveFormats, TruncatedArchiveNeverYieldsItsLostMember) {
    std::vector<std::uint8_t> bytes = ReadFile(kData / "archives" / GetParam());
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

TEST(ArchiveReader, ExtractsAnArchiveInsideAnArchive) {
    const auto outer = ArchiveSource::FromFile(kData / "archives/nested.lzh");
    auto entries = ListArchive(outer);
    ASSERT_TRUE(entries);
    ASSERT_NE(Find(*entries, "TOP.BMP"), nullptr);
    const ArchiveEntry* inner = Find(*entries, "inner.lzh");
    ASSERT_NE(inner, nullptr);
    auto innerBytes = ReadArchiveEntry(outer, inner->index, 1 << 20);
    ASSERT_TRUE(innerBytes);
    const auto innerSource = ArchiveSource::FromMemory(*innerBytes);
    auto innerEntries = ListArchive(innerSource);
    ASSERT_TRUE(innerEntries);
    auto pal8 = ReadArchiveEntry(innerSource, Find(*innerEntries, "IMG\\Pal8.bmp")->index, 1 << 20);
    ASSERT_TRUE(pal8);
    EXPECT_EQ(*pal8, ReadFile(kData / "bmpsuite/g/pal8.bmp"));
}

TEST(ArchiveReader, RefusesFilesThatAreNoArchive) {
    const std::vector<std::uint8_t> bmp = ReadFile(kData / "bmpsuite/g/rgb24.bmp");
    EXPECT_FALSE(LooksLikeArchive(bmp));
    EXPECT_FALSE(ListArchive(ArchiveSource::FromMemory(bmp)));
    EXPECT_FALSE(ListArchive(ArchiveSource::FromMemory({})));
    EXPECT_FALSE(ListArchive(ArchiveSource::FromFile(kData / "archives/missing.lzh")));
}

TEST(ArchiveReader, RecognisesArchiveSignatures) {
    EXPECT_TRUE(LooksLikeArchive(ReadFile(kData / "archives/pictures.lzh")));
    EXPECT_TRUE(LooksLikeArchive(ReadFile(kData / "archives/pictures.zip")));
    const std::uint8_t sevenZip[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    EXPECT_TRUE(LooksLikeArchive(sevenZip));
    const std::uint8_t cab[] = {'M', 'S', 'C', 'F', 0, 0, 0, 0};
    EXPECT_TRUE(LooksLikeArchive(cab));
    const std::uint8_t almostLzh[] = {0, 0, '-', 'l', 'h', '5'};
    EXPECT_FALSE(LooksLikeArchive(almostLzh));
}

TEST(ArchiveReader, RefusesIndexesOutsideTheArchive) {
    const auto source = ArchiveSource::FromFile(kData / "archives/pictures.zip");
    EXPECT_FALSE(ReadArchiveEntry(source, -1, 1 << 20));
    EXPECT_FALSE(ReadArchiveEntry(source, 100, 1 << 20));
}

}  // namespace
}  // namespace talu::host
