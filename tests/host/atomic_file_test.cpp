#include "host/atomic_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace talu::host {
namespace {

TEST(WriteFileAtomically, ReplacesTheWholeFileLeavesNoTemporaryAndFailsWithoutAFolder) {
    test::TempFolder dir;
    auto path = dir.Write("f.txt", "a much longer old content");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "new");
    EXPECT_FALSE(WriteFileAtomically(dir.Path() / "missing" / "f.txt", "x"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace talu::host
