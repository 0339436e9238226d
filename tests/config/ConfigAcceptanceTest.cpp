// The configuration with the plug-in loaded from its module by the simulated host: a file an
// older client wrote loads into the panel and is written back, then a new character's first
// login adds its element and changes nothing else.
#include <gtest/gtest.h>
#include <unistd.h>

#include "config/BuiltInNames.h"
#include "config/ConfigPath.h"
#include "platform/Files.h"
#include "plugin/Tarnik.h"
#include "support/OlderClientFile.h"
#include "support/RegisteredModule.h"
#include "support/TempFolder.h"

namespace {

using platform_test::ReadFile;
using platform_test::WriteFile;
using Strings = std::vector<std::string>;

// Swaps the line starting with `first` and the line after it, which must start with `second`.
void SwapLines(std::string& text, const std::string& first, const std::string& second) {
    const std::size_t at = text.find(first);
    const std::size_t next = text.find('\n', at) + 1;
    const std::size_t end = text.find('\n', next) + 1;
    ASSERT_EQ(text.compare(next, second.size(), second), 0) << second;
    text = text.substr(0, at) + text.substr(next, end - next) + text.substr(at, next - at) +
           text.substr(end);
}

class ConfigAcceptanceTest : public LoadedModuleTest {
  protected:
    void SetUp() override {
        // One folder per process: the module keeps the path it computed at its first load.
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnik-config-acceptance-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ASSERT_NO_FATAL_FAILURE(Register(folder_));
        WriteFile(File(), ToTextMode(kOlderClientFile));
    }
    void TearDown() override {
        LoadedModuleTest::TearDown();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path File() const { return folder_ / "sortconfig.xml"; }
    void LoadAndLogin(const std::string& character) {
        LoadedModuleTest::LoadAndLogin(
            sim::WorldBuilder().Server("Blue Hill").Character(character).Setup());
    }
    CTarnik& Plugin() { return *static_cast<CTarnik*>(loader_->Plugins()[0].plugin.get()); }
    const sim::ControlState& Control(const char* name) { return *host_->Control(name); }

    std::filesystem::path folder_;
};

TEST_F(ConfigAcceptanceTest, AnOlderClientsFileLoadsSavesBackAndANewCharacterOnlyAddsItsElement) {
    LoadAndLogin("Sir O'Neil (Jr)");
    EXPECT_EQ(Control("chOutputWindow").options.at(Control("chOutputWindow").selected), "Chat 2");
    ASSERT_TRUE(host_->EnterChat("@tk debug"));  // the stored window is used from login on
    EXPECT_EQ(host_->ChatLines().back().window, 3);
    const Strings& hotkeyItems = Control("chHotkeyItem").options;
    ASSERT_EQ(hotkeyItems.size(), HotkeyActions.size() + 3);  // the fixed actions, then:
    EXPECT_EQ(Strings(hotkeyItems.end() - 3, hotkeyItems.end()),
              (Strings{"Town Clothes", "Fighting Clothes", "Hunt"}));
    EXPECT_EQ(Control("chHotCommand").options,
              (Strings{"hi: /e waves^", "buff: /s <selected> buff"}));
    EXPECT_EQ(Control("chHotCommand").selected, 1);

    // The buttons that save come with later features; until then the test saves the loaded
    // object itself, with this binary's copy of the code and the same path.
    g_ConfigPath = File().string();
    EXPECT_TRUE(Plugin().SaveConfig().Saved());
    // Each group follows its map's order; every tag and value stays as it was. Only the
    // two hotkeys and the two hot commands trade places.
    std::string saved = kOlderClientFile;
    SwapLines(saved, "    <Hotkey command=\"Store\"", "    <Hotkey command=\"Hunt\"");
    SwapLines(saved, "    <HotCommand cmd=\"hi\"", "    <HotCommand cmd=\"buff\"");
    saved = ToTextMode(saved);
    EXPECT_EQ(ReadFile(File()), saved);

    // A new character's first login adds its element and changes nothing else.
    LoadAndLogin("Newbie");
    saved.insert(saved.rfind("</Tarnik>"), "  <BLUE_HILL-Newbie OutputWindow=\"Main\"/>\r\n");
    EXPECT_EQ(ReadFile(File()), saved);
}

}  // namespace
