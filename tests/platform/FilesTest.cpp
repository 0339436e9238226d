// Windows paths on this machine, the data folder, text mode and atomic writes.
#include "platform/Files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A replaced file keeps its permissions; a write that fails, also part-way, says why and
// leaves the old file and nothing else. A read-only folder is covered by the registry's
// test of the same.
TEST_F(WriteFileAtomicallyTest, ReplacesAFileWholeOrNotAtAll) {
    WriteFile(folder_ / "cfg.xml", "old contents that are longer");
    fs::permissions(folder_ / "cfg.xml", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteFileAtomically(folder_ / "cfg.xml", std::string("a\0b", 3)));
    EXPECT_EQ(fs::status(folder_ / "cfg.xml").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    fs::create_directory(folder_ / "taken");
    std::error_code error;
    EXPECT_FALSE(WriteFileAtomically(folder_ / "taken", "x", error));
    EXPECT_EQ(error, std::errc::is_a_directory);
    EXPECT_FALSE(WriteFileAtomically(folder_ / "missing/file.txt", "x", error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    bool written = true;
    {
        platform_test::FileSizeLimit full(16);  // the write stops part-way
        written = WriteFileAtomically(folder_ / "cfg.xml", std::string(4096, 'n'));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(folder_ / "cfg.xml"), std::string("a\0b", 3));
    EXPECT_EQ(folder_.Names(), (Names{"cfg.xml", "taken"}));
}

// Temporaries of cfg.xml: one whose writer was killed, one nobody locks (an older writer's),
// one a live writer holds; and names that only look alike.
TEST_F(WriteFileAtomicallyTest, RemovesOnlyTheTemporariesNoLiveWriterHolds) {
    const std::string killed = "cfg.xml.tmp-" + std::to_string(::getpid() + 1) + "-0";
    if (pid_t child = ::fork(); child == 0) {
        int fd = ::open((folder_ / killed).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? ::raise(SIGKILL) : 1);
    } else {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }
    const std::string stale = "cfg.xml.tmp-" + std::to_string(::getpid()) + "-7";
    WriteFile(folder_ / stale, "<Tarnik>");
    WriteFile(folder_ / "cfg.xml.tmp-1-2", "being written");
    int live = ::open((folder_ / "cfg.xml.tmp-1-2").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    for (const char* name : {"cfg.xml.tmp-notes", "cfg.xml.tmp-1-", "other.xml.tmp-1-1"})
        WriteFile(folder_ / name, "keep");
    fs::create_directory(folder_ / "cfg.xml.tmp-3-3");

    EXPECT_EQ(RemoveAbandonedTemporaries(folder_ / "cfg.xml"), 2u);
    EXPECT_EQ(folder_.Names(), (Names{"cfg.xml.tmp-1-", "cfg.xml.tmp-1-2", "cfg.xml.tmp-3-3",
                                      "cfg.xml.tmp-notes", "other.xml.tmp-1-1"}));
    ::close(live);
    EXPECT_EQ(RemoveAbandonedTemporaries(folder_ / "cfg.xml"), 1u);
}

}  // namespace
