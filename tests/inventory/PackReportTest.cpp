// "@tk wc": the report file under the mapped c:\ToonPacks\ folder, and what the player is
// told when it cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace {

using platform_test::ReadFile;
using sim::Item;
namespace fs = std::filesystem;

class PackReportTest : public PluginFixture {
  protected:
    fs::path Folder() { return ConfigFolder() / "drives" / "c" / "ToonPacks"; }
    void Report(const sim::WorldSetup& world) {
        StartFresh(world);
        EXPECT_TRUE(Chat("@tk wc"));
    }
};

TEST_F(PackReportTest, TheCharacterItselfIsListedAndASecondReportReplacesTheFirst) {
    fs::create_directories(Folder());
    Report(sim::WorldBuilder().Character("Ann"));
    EXPECT_EQ(ReadFile(Folder() / "Ann.txt"), "Pack contents for Ann\r\nAnn\r\n");
    EXPECT_EQ(NewChatLines(), std::vector<std::string>{":tk:Pack contents written to disk"});
    Report(sim::WorldBuilder()
               .Character("Ann")
               .Main(Item("Sword"))
               .SidePack("Bag", 0, 4, {Item("Sword")}));
    EXPECT_EQ(ReadFile(Folder() / "Ann.txt"),
              "Pack contents for Ann\r\nAnn\r\nSword\r\nBag\r\nSword\r\n");
}

TEST_F(PackReportTest, ANameNeverLeadsOutOfTheFolder) {
    fs::create_directories(Folder());
    for (auto [name, file] : {std::pair{"..", "___.txt"}, std::pair{"../x", ".._x.txt"},
                              std::pair{"a\\b:c?", "a_b_c_.txt"}}) {
        Report(sim::WorldBuilder().Character(name));
        EXPECT_TRUE(fs::exists(Folder() / file)) << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 3);
}

TEST_F(PackReportTest, AMissingFolderIsReportedInTheChat) {
    Report(sim::WorldBuilder().Character("Ann"));
    EXPECT_EQ(NewChatLines(),
              std::vector<std::string>{
                  ":tk:Pack contents not written: the folder c:\\ToonPacks\\ is missing"});
    EXPECT_FALSE(fs::exists(Folder()));
}

}  // namespace
