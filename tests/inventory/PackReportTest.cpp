// "@tk wc": the report file under the mapped c:\ToonPacks\ folder, and what the player is
// told when it cannot be written; "@tk where": a find over this character and the reports
// "@tk wc" wrote for others, one of them damaged, and reading reports back.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "inventory/PackReport.h"
#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace {

using platform_test::ReadFile;
using sim::Item;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

TEST(ScanPackReportTest, TakesLineFeedsAloneAndRefusesBinaryContents) {
    std::optional<ReportScan> scan =
        ScanPackReport("Pack contents for Arrowsmith\nArrowsmith\nArrow", "arrow");
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->hits, (std::vector<ReportHit>{{"Arrow", 1}}));  // not its own line
    EXPECT_FALSE(ScanPackReport(std::string("Pack contents for Ann\r\nArr\0ow\r\n", 31), "a"));
    EXPECT_FALSE(ScanPackReport("", "a"));
}

class PackReportTest : public PluginFixture {
  protected:
    fs::path Folder() { return ConfigFolder() / "drives" / "c" / "ToonPacks"; }
    // Starts on `world` and has "@tk wc" write its report, dated 20 November 2026 at noon.
    void Report(const sim::WorldSetup& world) {
        StartFresh(world);
        EXPECT_TRUE(Chat("@tk wc"));
        using namespace std::chrono;
        std::error_code none;  // no folder, or a name made safe: no file of that name
        fs::last_write_time(Folder() / (world.characterName + ".txt"),
                            file_clock::from_sys(sys_seconds{sys_days{2026y / 11 / 20} + 12h}),
                            none);
    }
};
using FindTest = PackReportTest;

TEST_F(PackReportTest, TheCharacterItselfIsListedAndASecondReportReplacesTheFirst) {
    fs::create_directories(Folder());
    Report(sim::WorldBuilder().Character("Ann"));
    EXPECT_EQ(ReadFile(Folder() / "Ann.txt"), "Pack contents for Ann\r\nAnn\r\n");
    EXPECT_EQ(NewChatLines(), Texts{":tk:Pack contents written to disk"});
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

TEST_F(FindTest, FindsItemsHereAndInOtherCharactersReportsAndSkipsADamagedOne) {
    fs::create_directories(Folder());
    Report(sim::WorldBuilder().Character("Alice").Main(
        {Item("Arrow").Stack(5, 100), Item("Sword"), Item("Arrow").Stack(7, 100)}));
    Report(sim::WorldBuilder().Character("Carol").Worn(Item("Arrowhead Amulet")));
    Report(sim::WorldBuilder().Character("Tester").Main(Item("Arrow of Old")));
    std::ofstream(Folder() / "Bob.txt", std::ios::binary) << "\x89PNG\r\n\x1a\n";

    StartFresh(
        sim::WorldBuilder()
            .Character("Tester")
            .Main({Item("Bow"), Item("Arrow").Stack(40, 100)})
            .SidePack("Quiver of arrows", 2, 10, {Item("Bow"), Item("Broad Arrow").Stack(9, 50)})
            .Worn(Item("Arrowguard").Equipable(0x400)));
    Plugin().m_Job = JOB_SORT;  // a job under way is left alone
    ASSERT_TRUE(Chat("@tk where ARROW"));
    EXPECT_EQ(ChatLines(), (Texts{
                               ":tk:Here, main pack slot 1: Arrow (40)",
                               ":tk:Here, pack 3 (Quiver of arrows)",
                               ":tk:Here, pack 3 (Quiver of arrows) slot 1: Broad Arrow (9)",
                               ":tk:Here, worn: Arrowguard",
                               ":tk:Alice (report of 2026-11-20): Arrow (2 listed)",
                               ":tk:Cannot read the report Bob.txt; skipped.",
                               ":tk:Carol (report of 2026-11-20): Arrowhead Amulet",
                           }));
    EXPECT_TRUE(Host().Moves().empty());
    EXPECT_EQ(Plugin().m_Job, JOB_SORT);
}

// Exactly twenty hits are all shown, with nothing more to count.
TEST_F(FindTest, ShowsTwentyHitsAndCountsTheRest) {
    for (std::size_t gems : {20u, 25u}) {
        sim::WorldBuilder world;
        for (std::size_t i = 0; i < gems; ++i)
            world.Main(Item("Gem " + std::to_string(i)));
        StartFresh(world);
        ASSERT_TRUE(Chat("@tk where gem"));
        Texts lines = ChatLines();
        ASSERT_EQ(lines.size(), gems > 20 ? 21u : 20u);
        EXPECT_EQ(lines[19], ":tk:Here, main pack slot 19: Gem 19");
        if (gems > 20) {
            EXPECT_EQ(lines[20], ":tk:\u2026 and 5 more");
        }
    }
}

}  // namespace
