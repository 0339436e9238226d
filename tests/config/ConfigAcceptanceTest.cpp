// The configuration with the plug-in loaded from its module by the simulated host: a file
// an older client wrote loads into the panel, a save writes it back, and a new
// character's first login adds its element and changes nothing else.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include "config/BuiltInNames.h"
#include "config/ConfigPath.h"
#include "config/ConfigTestSupport.h"
#include "config/ConfigWriter.h"
#include "config/XmlDocument.h"
#include "platform/ClassFactory.h"
#include "platform/Registry.h"
#include "plugin/Tarnik.h"
#include "simhost/PluginLoader.h"
#include "simhost/SimHost.h"
#include "support/TempRegistry.h"

namespace {

using config_test::Crlf;
using config_test::ReadFile;
using config_test::WriteFile;

const char* const kOlderClientFile =
    "<Tarnik>\n"
    "  <BLUE_HILL-Ann OutputWindow=\"Chat 1\">\n"
    "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
    "    <Item value=\"Arrow\" pack=\"1234\"/>\n"
    "  </BLUE_HILL-Ann>\n"
    "  <BLUE_HILL-Sir_O-Neil_-Jr- OutputWindow=\"Chat 2\">\n"
    "    <EquipProfile name=\"Town Clothes\">\n"
    "      <Task action=\"3\" item=\"0\" name=\"StripAll\"/>\n"
    "    </EquipProfile>\n"
    "    <EquipProfile name=\"Hunt\">\n"
    "      <Task action=\"3\" item=\"0\" name=\"StripAll\"/>\n"
    "      <Task action=\"1\" item=\"-2147483000\" name=\"Equip Iron Axe\"/>\n"
    "    </EquipProfile>\n"
    "    <Hotkey command=\"Store\" key=\"{Ctrl}S\"/>\n"
    "    <Hotkey command=\"Hunt\" key=\"{Shift}{Alt}H\"/>\n"
    "    <Item value=\"Mana Stone\" pack=\"-2147483646\"/>\n"
    "    <Item value=\"Pyreal\" pack=\"-2147483645\"/>\n"
    "    <Item value=\"Scarab &amp; Co\" pack=\"-2147483646\"/>\n"
    "    <Pin value=\"-2147483647\" pack=\"-2147483646\"/>\n"
    "    <Pin value=\"-2147480000\" pack=\"-2147483645\"/>\n"
    "    <HotCommand cmd=\"hi\" action=\"/e waves^\"/>\n"
    "    <HotCommand cmd=\"buff\" action=\"/s &lt;selected&gt; buff\"/>\n"
    "  </BLUE_HILL-Sir_O-Neil_-Jr->\n"
    "</Tarnik>\n";

class ConfigAcceptanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // One folder per process: the module may keep the path it computed at its first load.
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnik-config-acceptance-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vellumcraft", 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        std::string base = (folder_ / "base").string();
        RegSetValueExA(key, "Configs", 0, REG_SZ, reinterpret_cast<const BYTE*>(base.c_str()),
                       static_cast<DWORD>(base.size() + 1));
        RegCloseKey(key);

        module_ = dlopen(TARNIK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        auto registerServer =
            reinterpret_cast<DllRegisterServerFn>(dlsym(module_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        WriteFile(File(), Crlf(kOlderClientFile));
    }
    void TearDown() override {
        loader_.reset();
        host_.reset();
        if (module_)
            dlclose(module_);
        g_ConfigPath.clear();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path File() const { return folder_ / "sortconfig.xml"; }

    void LoadAndLogin(const std::string& character) {
        host_ = std::make_unique<sim::SimHost>(
            sim::WorldBuilder().Server("Blue Hill").Character(character).Setup());
        loader_ = std::make_unique<sim::PluginLoader>(*host_);
        ASSERT_EQ(loader_->LoadAll(), 1u);
        ASSERT_EQ(loader_->Plugins()[0].initResult, S_OK);
        host_->FireCharacterKnown();
        host_->FireLoginComplete();
    }

    // The buttons that save come with later features; until then the test saves the
    // loaded object itself, with this binary's copy of the code and the same path.
    void Save() {
        auto* plugin = static_cast<CTarnik*>(loader_->Plugins()[0].plugin.get());
        g_ConfigPath = File().string();
        plugin->SaveConfig();
    }

    const sim::ControlState& Control(const char* name) {
        const sim::ControlState* control = host_->Control(name);
        EXPECT_NE(control, nullptr) << name;
        static const sim::ControlState none;
        return control ? *control : none;
    }

    TempRegistry registry_;
    std::filesystem::path folder_;
    void* module_ = nullptr;
    std::unique_ptr<sim::SimHost> host_;
    std::unique_ptr<sim::PluginLoader> loader_;
};

// The children's texts, each written as in the file, in order.
std::vector<std::string> ChildTexts(const XmlElement& element) {
    std::vector<std::string> texts;
    for (const XmlElement& child : element.ChildElements())
        texts.push_back(WriteXmlElement(child, ""));
    return texts;
}

TEST_F(ConfigAcceptanceTest, AnOlderClientsFileLoadsIntoThePanel) {
    LoadAndLogin("Sir O'Neil (Jr)");
    const sim::ControlState& window = Control("chOutputWindow");
    ASSERT_EQ(window.selected, 2);
    EXPECT_EQ(window.options.at(2), "Chat 2");

    std::vector<std::string> actions(HotkeyActions.begin(), HotkeyActions.end());
    for (const char* name : {"Town Clothes", "Fighting Clothes", "Hunt"})
        actions.push_back(name);
    EXPECT_EQ(Control("chHotkeyItem").options, actions);
    EXPECT_EQ(Control("chEquip").options,
              (std::vector<std::string>{"Town Clothes", "Fighting Clothes", "Hunt"}));
    EXPECT_EQ(Control("chEquipProfile").options, Control("chEquip").options);

    const sim::ControlState& hotCommands = Control("chHotCommand");
    EXPECT_EQ(hotCommands.options,
              (std::vector<std::string>{"hi: /e waves^", "buff: /s <selected> buff"}));
    EXPECT_EQ(hotCommands.selected, 1);
    EXPECT_TRUE(host_->TraceContains(":TK:TRC: Loaded [-2147483647] -2147483646"));
}

TEST_F(ConfigAcceptanceTest, ASaveWritesBackTheSameElementsOneTagPerLine) {
    LoadAndLogin("Sir O'Neil (Jr)");
    Save();
    std::string text = ReadFile(File());
    // Rewritten, not left alone: the hotkeys now follow the map's order.
    EXPECT_LT(text.find("command=\"Hunt\""), text.find("command=\"Store\""));

    CXmlDocument before;
    ASSERT_TRUE(before.LoadText(kOlderClientFile));
    CXmlDocument after;
    ASSERT_TRUE(after.Load(File()));
    const char* ours = "BLUE_HILL-Sir_O-Neil_-Jr-";
    EXPECT_EQ(WriteXmlElement(after.Root().Child("BLUE_HILL-Ann"), ""),
              WriteXmlElement(before.Root().Child("BLUE_HILL-Ann"), ""));
    EXPECT_EQ(after.Root().Child(ours).StartTag(), before.Root().Child(ours).StartTag());
    // The maps write each group in their own order; the elements are the same.
    std::vector<std::string> wrote = ChildTexts(after.Root().Child(ours));
    std::vector<std::string> had = ChildTexts(before.Root().Child(ours));
    EXPECT_EQ(wrote.size(), had.size());
    std::sort(wrote.begin(), wrote.end());
    std::sort(had.begin(), had.end());
    EXPECT_EQ(wrote, had);

    std::istringstream lines(text);
    std::regex oneTag(R"(( {2})*</?[^<>]+>\r)");
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, oneTag)) << line;
        ++count;
    }
    EXPECT_EQ(count, 24);
}

TEST_F(ConfigAcceptanceTest, ANewCharactersFirstLoginAddsItsElementAndNothingElse) {
    LoadAndLogin("Newbie");
    std::string expected = kOlderClientFile;
    expected.insert(expected.rfind("</Tarnik>"), "  <BLUE_HILL-Newbie OutputWindow=\"Main\"/>\n");
    EXPECT_EQ(ReadFile(File()), Crlf(expected));
    EXPECT_EQ(Control("chOutputWindow").selected, 0);
    EXPECT_EQ(Control("chEquip").options,
              (std::vector<std::string>{"Town Clothes", "Fighting Clothes"}));
}

}  // namespace
