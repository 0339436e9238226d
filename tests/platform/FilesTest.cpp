// Windows paths on this machine, the data folder, text mode and atomic writes.
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using platform_test::ReadFile;
using platform_test::ScopedEnv;
using platform_test::TempFolder;
using platform_test::WriteFile;
using Names = std::vector<std::string>;

TEST(MapWindowsPathTest, MapsDrivesAndFindsExistingFoldersWhateverTheLetterCase) {
    TempFolder drives;
    ScopedEnv root("TARNIK_DRIVES", drives.Path().c_str());
    fs::create_directories(drives / "c/ToonPacks");
    WriteFile(drives / "c/ToonPacks/Bob.txt", "x");
    const fs::path r = drives.Path();
    const std::vector<std::pair<std::string, fs::path>> cases = {
        {"D:\\Games\\Cfg\\sortconfig.xml", r / "d/Games/Cfg/sortconfig.xml"},
        {"C:\\TOONPACKS\\bob.TXT", r / "c/ToonPacks/Bob.txt"},
        {"c:\\toonpacks\\.\\\\New.txt", r / "c/ToonPacks/New.txt"},
        {"c:\\..\\..\\etc\\passwd", r / "c/etc/passwd"},  // never above the drive
        {"\\Root.txt", r / "c/Root.txt"},
        {"a\\..\\..\\b", "../b"},
        {"/opt/tarnik/tarnik.so", "/opt/tarnik/tarnik.so"},
        {std::string("c:\\name\0\\evil", 13), r / "c/name"},
    };
    for (const auto& [windows, expected] : cases)
        EXPECT_EQ(MapWindowsPath(windows), expected) << windows;
}

// The data folder under XDG_DATA_HOME is covered by the registry's default location.
TEST(ToTextModeTest, EndsEveryLineWithCarriageReturnAndLineFeed) {
    EXPECT_EQ(ToTextMode("a\nb\r\nc\r\r\n\rd\n"), "a\r\nb\r\nc\r\r\n\rd\r\n");
}

class WriteFileAtomicallyTest : public ::testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(WriteFileAtomicallyTest, ReplacesAFileKeepingItsPermissionsAndLeavesNothingElse) {
    WriteFile(folder_ / "cfg.xml", "old contents that are longer");
    fs::permissions(folder_ / "cfg.xml", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteFileAtomically(folder_ / "cfg.xml", std::string("a\0b", 3)));
    EXPECT_EQ(ReadFile(folder_ / "cfg.xml"), std::string("a\0b", 3));
    EXPECT_EQ(fs::status(folder_ / "cfg.xml").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(folder_.Names(), Names{"cfg.xml"});
}

// A read-only folder is covered by the registry's test of the same.
TEST_F(WriteFileAtomicallyTest, FailsWithoutLeavingAnythingWhereItCannotWrite) {
    fs::create_directory(folder_ / "taken");
    EXPECT_FALSE(WriteFileAtomically(folder_ / "taken", "x"));
    EXPECT_FALSE(WriteFileAtomically(folder_ / "missing/file.txt", "x"));
    EXPECT_EQ(folder_.Names(), Names{"taken"});
}

TEST_F(WriteFileAtomicallyTest, FailsPartWayAndLeavesTheOldFile) {
    WriteFile(folder_ / "cfg.xml", "old");
    bool written = true;
    {
        platform_test::FileSizeLimit full(16);  // the write stops part-way
        written = WriteFileAtomically(folder_ / "cfg.xml", std::string(4096, 'n'));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(folder_ / "cfg.xml"), "old");
    EXPECT_EQ(folder_.Names(), Names{"cfg.xml"});
}

}  // namespace
