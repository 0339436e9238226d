// Hot commands through the simulated host: the Shortcuts page's editing, the stored file,
// and what reaches the game for a "//name" chat line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/PluginFixture.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;

class HotCommandsTest : public PluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        return sim::WorldBuilder()
            .Main({Item("Sword").Id(0x21), Item("<selected>").Id(0x22), Item("<armor>").Id(0x23)})
            .Worn(Item("Helm").Id(0x31).Equipable(1))
            .Worn(Item("Cloak").Id(0x32).Equipable(2).Identified(false))
            .Worn(Item("Mask").Id(0x33).Equipable(4).Unenchantable(1))
            .Worn(Item("Ring").Id(0x34).Identified(false));
    }
    void Save(std::string_view name, std::string_view action) {
        ASSERT_TRUE(Type("edHotCommand", name));
        ASSERT_TRUE(Type("edHotAction", action));
        ASSERT_TRUE(Click("pbSaveHot"));
    }
    // What the game received for one "//name" line, with `selected` selected (0: none).
    Texts Run(std::string_view action, sim::ObjectId selected) {
        Plugin().m_HotCommands["m"] = std::string(action);
        Select(selected);
        Host().ClearRecords();
        EXPECT_TRUE(Chat("//m")) << action;
        return GameTexts();
    }
    const sim::ControlState& Commands() { return *Host().Control("chHotCommand"); }
    std::string ConfigFile() {
        std::ifstream in(ConfigFolder() / "sortconfig.xml");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(HotCommandsTest, MarkersExpandOnceAndAFinalCaretIsTheEnterKey) {
    struct Case {
        const char* action;
        sim::ObjectId selected;
        Texts sent;
    };
    const Case cases[] = {
        {"/e waves^", 0, {"/e waves\r"}},
        {"^", 0, {"^"}},
        {"a^b^^", 0, {"a^b^\r"}},
        {"/s hello<eol>/s bye", 0, {"/s hello\n/s bye"}},
        {"/t <selected>, hi<EOL>", 0x21, {"/t Sword, hi<EOL>"}},
        // Names that look like markers are inserted as written, never expanded again.
        {"/s <selected>!<eol>", 0x22, {"/s <selected>!\n"}},
        {"/s <selected>", 0x23, {"/s <armor>"}},
        {"/s <selected>^", 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(c.action, c.selected), c.sent) << c.action;
    EXPECT_EQ(NewChatLines().back(), ":tk:Nothing selected, cannot expand text.");
}

TEST_F(HotCommandsTest, TheWholeLowerCasedRestOfTheLineIsTheName) {
    Save("Hi", "/e waves");
    Save("hi there", "/e bows");
    Host().ClearRecords();
    EXPECT_TRUE(Chat("//Hi"));
    EXPECT_TRUE(Chat("//HI THERE"));
    EXPECT_FALSE(Chat("//hi "));
    EXPECT_EQ(GameTexts(), (Texts{"/e waves", "/e bows", "//hi "}));
    EXPECT_EQ(Host().ChatTexts(), (Texts{":tk:Sending command", ":tk:Sending command"}));
}

TEST_F(HotCommandsTest, SavedInPlaceDeletedAtOnceAndKeptOverARestart) {
    Save("a", "/e one");
    Save("b", "/e two");
    Save("A", "/e three");
    EXPECT_EQ(Commands().options, (Texts{"a: /e three", "b: /e two"}));
    EXPECT_EQ(Commands().selected, 0);
    ASSERT_TRUE(Choose("chHotCommand", 1));
    EXPECT_EQ(Host().Control("edHotCommand")->text, "b");
    EXPECT_EQ(Host().Control("edHotAction")->text, "/e two");
    ASSERT_TRUE(Click("pbDeleteHot"));
    EXPECT_EQ(Commands().options, Texts{"a: /e three"});
    EXPECT_EQ(Commands().selected, 0);
    EXPECT_EQ(ConfigFile().find("/e two"), std::string::npos);

    Save("x:y", "/e lost");
    EXPECT_EQ(NewChatLines().back(), ":tk:A hot command name cannot contain ':'.");
    Start(MakeWorld());
    EXPECT_EQ(Plugin().m_HotCommands, (std::map<std::string, std::string>{{"a", "/e three"}}));
}

// The cloak and the ring lack identification data, but only the cloak counts as armor.
TEST_F(HotCommandsTest, ArmorWaitsForIdentificationAndRetriesEveryTwoSeconds) {
    Plugin().m_HotCommands["buff"] = "/s <armor>^";
    Host().ClearRecords();
    NewChatLines();
    ASSERT_TRUE(Chat("//buff"));
    EXPECT_TRUE(GameTexts().empty());
    EXPECT_EQ(Plugin().m_Job, JOB_HOTCOMMAND);
    EXPECT_EQ(Host().IdRequests(), std::vector<sim::ObjectId>{0x32});
    const std::string unenchantable = ":tk:Guid 33 appears to be unenchantable, -1: 1";
    EXPECT_EQ(NewChatLines(), (Texts{unenchantable, ":tk:Checking for non-buffable items"}));
    Advance(1999);
    EXPECT_TRUE(GameTexts().empty());
    Advance(1);
    EXPECT_EQ(GameTexts(), Texts{"/s 31 32 \r"});
    EXPECT_EQ(NewChatLines(), (Texts{unenchantable, ":tk:Sending command"}));
    EXPECT_EQ(Plugin().m_Job, JOB_NONE);
}

}  // namespace
