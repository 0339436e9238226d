// Windows paths on this machine, the data folder, text mode and atomic writes.
#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using platform_test::ReadFile;
using platform_test::ScopedEnv;
using platform_test::TempFolder;
using platform_test::WriteFile;

class MapWindowsPathTest : public ::testing::Test {
  protected:
    TempFolder drives_;
    ScopedEnv root_{"TARNIK_DRIVES", drives_.Path().c_str()};
};

TEST_F(MapWindowsPathTest, MapsDrivesFoldersAndRelativePaths) {
    const fs::path r = drives_.Path();
    struct Case {
        std::string windows;
        fs::path expected;
    };
    const std::vector<Case> cases = {
        {"c:\\ToonPacks\\Tarnik.txt", r / "c/ToonPacks/Tarnik.txt"},
        {"D:\\Games\\Cfg\\sortconfig.xml", r / "d/Games/Cfg/sortconfig.xml"},
        {"c:Tarnik.txt", r / "c/Tarnik.txt"},
        {"C:\\", r / "c"},
        {"c:\\a\\\\b\\.\\c\\", r / "c/a/b/c"},
        {"c:\\a\\..\\b", r / "c/b"},
        {"c:\\..\\..\\etc\\passwd", r / "c/etc/passwd"},  // never above the drive
        {"\\Root.txt", r / "c/Root.txt"},
        {"sortconfig.xml", "sortconfig.xml"},
        {"Cfg\\x.xml", "Cfg/x.xml"},
        {"..\\up.txt", "../up.txt"},
        {"a\\..\\..\\b", "../b"},
        {"1:\\x", "1:/x"},
        {"/opt/tarnik/tarnik.so", "/opt/tarnik/tarnik.so"},
        {"relative/unix\\path", "relative/unix\\path"},
        {std::string("c:\\name\0\\evil", 13), r / "c/name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapWindowsPath(c.windows), c.expected) << c.windows;
}

TEST_F(MapWindowsPathTest, FindsExistingFoldersWhateverTheLetterCase) {
    fs::create_directories(drives_ / "c/ToonPacks");
    WriteFile(drives_ / "c/ToonPacks/Bob.txt", "x");
    EXPECT_EQ(MapWindowsPath("C:\\TOONPACKS\\bob.TXT"), drives_ / "c/ToonPacks/Bob.txt");
    EXPECT_EQ(MapWindowsPath("c:\\toonpacks\\New.txt"), drives_ / "c/ToonPacks/New.txt");
    EXPECT_EQ(MapWindowsPath("c:\\Other\\New.txt"), drives_ / "c/Other/New.txt");
}

TEST(DataFolderTest, ComesFromTheEnvironment) {
    ScopedEnv home("HOME", "/home/player");
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data");
        EXPECT_EQ(UserDataFolder(), fs::path("/data/tarnik"));
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/is/ignored");
        EXPECT_EQ(UserDataFolder(), fs::path("/home/player/.local/share/tarnik"));
    }
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(UserDataFolder(), fs::path("/home/player/.local/share/tarnik"));
    {
        ScopedEnv drives("TARNIK_DRIVES", nullptr);
        EXPECT_EQ(DrivesRoot(), UserDataFolder());
    }
    ScopedEnv drives("TARNIK_DRIVES", "/drives");
    EXPECT_EQ(DrivesRoot(), fs::path("/drives"));
}

TEST(ToTextModeTest, EndsEveryLineWithCarriageReturnAndLineFeed) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"no break", "no break"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"a\r\nb", "a\r\nb"},
        {"a\r\r\n", "a\r\r\n"},
        {"lone\rcr", "lone\rcr"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ToTextMode(in), out) << in;
}

class WriteFileAtomicallyTest : public ::testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(WriteFileAtomicallyTest, WritesANewFileAndLeavesNothingElse) {
    ASSERT_TRUE(WriteFileAtomically(folder_ / "new.txt", std::string("a\0b", 3)));
    EXPECT_EQ(ReadFile(folder_ / "new.txt"), std::string("a\0b", 3));
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"new.txt"});
    ASSERT_TRUE(WriteFileAtomically(folder_ / "empty.txt", ""));
    EXPECT_EQ(fs::file_size(folder_ / "empty.txt"), 0u);
}

TEST_F(WriteFileAtomicallyTest, ReplacesAFileAndKeepsItsPermissions) {
    WriteFile(folder_ / "cfg.xml", "old contents that are longer");
    fs::permissions(folder_ / "cfg.xml", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteFileAtomically(folder_ / "cfg.xml", "new"));
    EXPECT_EQ(ReadFile(folder_ / "cfg.xml"), "new");
    EXPECT_EQ(fs::status(folder_ / "cfg.xml").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"cfg.xml"});
}

TEST_F(WriteFileAtomicallyTest, WritesThroughASymbolicLink) {
    fs::create_directory(folder_ / "real");
    WriteFile(folder_ / "real/target.reg", "old");
    fs::create_symlink(folder_ / "real/target.reg", folder_ / "link.reg");
    ASSERT_TRUE(WriteFileAtomically(folder_ / "link.reg", "new"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.reg"));
    EXPECT_EQ(ReadFile(folder_ / "real/target.reg"), "new");
}

TEST_F(WriteFileAtomicallyTest, FailsWithoutCreatingAnythingWhenTheFolderIsMissing) {
    EXPECT_FALSE(WriteFileAtomically(folder_ / "missing/file.txt", "x"));
    EXPECT_FALSE(WriteFileAtomically("", "x"));
    EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(WriteFileAtomicallyTest, FailsOnAFolderInTheWayAndCleansUp) {
    fs::create_directory(folder_ / "taken");
    WriteFile(folder_ / "taken/inside.txt", "keep");
    EXPECT_FALSE(WriteFileAtomically(folder_ / "taken", "x"));
    EXPECT_EQ(ReadFile(folder_ / "taken/inside.txt"), "keep");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"taken"});
}

TEST_F(WriteFileAtomicallyTest, FailsInAReadOnlyFolderAndLeavesTheOldFile) {
    WriteFile(folder_ / "cfg.xml", "old");
    std::optional<bool> failed = platform_test::WithReadOnlyFolder(folder_.Path(), [&] {
        return !WriteFileAtomically(folder_ / "cfg.xml", "new") &&
               !WriteFileAtomically(folder_ / "other.xml", "new");
    });
    if (!failed)
        GTEST_SKIP() << "cannot give up root here";
    EXPECT_TRUE(*failed);
    EXPECT_EQ(ReadFile(folder_ / "cfg.xml"), "old");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"cfg.xml"});
}

TEST_F(WriteFileAtomicallyTest, FailsPartWayAndLeavesTheOldFile) {
    WriteFile(folder_ / "cfg.xml", "old");
    // A file size limit makes the write stop part-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = WriteFileAtomically(folder_ / "cfg.xml", std::string(4096, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(folder_ / "cfg.xml"), "old");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"cfg.xml"});
}

}  // namespace
