// Whatever a session stores, the shared file stays a document that every XML 1.0 reader
// accepts (checked with libxml2's xmllint): item names from the game, text the player
// types, and values read from a file that holds what XML cannot.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace {

using sim::Item;
using Strings = std::vector<std::string>;

constexpr sim::ObjectId kBackpack = 0x600;
constexpr sim::ObjectId kCap = 0x701;

// Empty when `file` parses; else what xmllint said.
std::string XmllintComplaint(const std::filesystem::path& file) {
    std::string command = "xmllint --noout '" + file.string() + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "xmllint did not start";
    std::string said;
    std::array<char, 256> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        said.append(buffer.data(), n);
    int status = ::pclose(pipe);
    return status == 0 ? std::string() : said.empty() ? "status " + std::to_string(status) : said;
}

class RandomSessionsTest : public PluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .Server("Blue Hill")
            .Character("Tom")
            .Main({Item("Odd\x01Name"), Item("Bell\x07"), Item("Tom & Jerry <\"x\">"),
                   Item("Caf\xC3\xA9")})
            .SidePack("Backpack", 0, 24, {Item("Odd\x01Name"), Item("Arrow")}, kBackpack)
            .Worn(Item("Cap").Id(kCap).Type(4).Equipable(0x1));
    }
    bool LoginOnStart() override { return false; }
    std::filesystem::path File() const { return ConfigFolder() / "sortconfig.xml"; }
    void Login() {
        Host().FireCharacterKnown();
        Host().FireLoginComplete();
        RunUntilIdle();
    }
};

TEST_F(RandomSessionsTest, WhatCannotBeStoredIsRefusedInTheChatAndTheFileStaysXml) {
    // Another client's element, and one of ours, hold references XML 1.0 refuses.
    platform_test::WriteFile(File(),
                             "<Tarnik>\r\n"
                             "  <BLUE_HILL-Tom OutputWindow=\"Main\">\r\n"
                             "    <Item value=\"Old&#1;Name\" pack=\"1536\"/>\r\n"
                             "  </BLUE_HILL-Tom>\r\n"
                             "  <BLUE_HILL-Ann OutputWindow=\"Main\" note=\"&#27;Caf\xE9\"/>\r\n"
                             "</Tarnik>\r\n");
    Login();
    ASSERT_TRUE(Type("edHotCommand", "bell"));
    ASSERT_TRUE(Type("edHotAction", "/e \x07"));
    ASSERT_TRUE(Click("pbSaveHot"));
    Select(kBackpack);
    ASSERT_TRUE(Click("pbSetCfg"));
    EXPECT_EQ(NewChatLines(),
              (Strings{":tk:A hot command cannot contain control characters.",
                       ":tk:The following items will be stored in this pack...",
                       ":tk:   Odd\x01Name (not stored: the name holds a control character)",
                       ":tk:   Arrow"}));
    EXPECT_EQ(XmllintComplaint(File()), "");
}

// Random sessions: text from an alphabet full of what XML cannot hold, typed into every
// box that is stored, and every stored setting made in random order.
TEST_F(RandomSessionsTest, TheFileWrittenAfterRandomSessionsAlwaysParses) {
    const char* const alphabet[] = {"a",    "B",    " ",     "&",    "<",        ">",
                                    "\"",   "'",    "\t",    "\n",   "\r",       "\x01",
                                    "\x07", "\x1f", "\x7f",  "\xE8", "\xC3\xA9", "\xEF\xBF\xBF",
                                    "/",    "^",    "<eol>", ":"};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Start(MakeWorld(), {}, false);
        Login();
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        auto text = [&] {
            std::string t;
            for (std::size_t n = 1 + pick(6); n > 0; --n)
                t += alphabet[pick(std::size(alphabet))];
            return t;
        };
        const std::vector<sim::ObjectId> items = {Id("Arrow"), Id("Caf\xC3\xA9"), kCap, kBackpack};
        for (int step = 0; step < 25; ++step) {
            switch (pick(7)) {
                case 0:
                    Type("edHotCommand", text());
                    Type("edHotAction", text());
                    Click("pbSaveHot");
                    break;
                case 1:
                    Type("ceNewProfile", text());
                    Click("pbNewProfile");
                    Click("pbRecord");
                    Host().TakeOffByHand(kCap);
                    RunUntilIdle();
                    Click("pbRecord");
                    Host().WearByHand(kCap);
                    break;
                case 2:
                    Select(kBackpack);
                    Click(pick(2) ? "pbSetCfg" : "pbRemoveCfg");
                    break;
                case 3:
                    Select(items[pick(items.size())]);
                    Click(pick(2) ? "pbPin" : "pbUnpin");
                    break;
                case 4:
                    Host().ChooseOption("chOutputWindow", static_cast<LONG>(pick(5)));
                    break;
                case 5:
                    Host().ChooseOption("chHotkeyItem", static_cast<LONG>(pick(20)));
                    Click("pbSetHotkey");
                    Key('A' + static_cast<int>(pick(26)), {.ctrl = true});
                    break;
                default:
                    Host().ChooseOption("chHotCommand", static_cast<LONG>(pick(4)));
                    Click("pbDeleteHot");
            }
            RunUntilIdle();
        }
        ASSERT_EQ(XmllintComplaint(File()), "") << platform_test::ReadFile(File());
    }
}

}  // namespace
