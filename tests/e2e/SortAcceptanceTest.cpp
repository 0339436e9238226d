// Sorting with the plug-in loaded from its module by the simulated host, as a player
// sees it: "@tk title" and "@tk value" with REV, one move per confirmation.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/ClassFactory.h"
#include "platform/Registry.h"
#include "simhost/PluginLoader.h"
#include "simhost/SimHost.h"
#include "support/TempRegistry.h"

namespace {

using sim::Item;

class SortAcceptanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnik-sort-acceptance-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        // The module reads the configuration folder from the registry when it loads.
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
    }
    void TearDown() override {
        loader_.reset();
        host_.reset();
        if (module_)
            dlclose(module_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Load(const sim::WorldSetup& world) {
        host_ = std::make_unique<sim::SimHost>(world);
        loader_ = std::make_unique<sim::PluginLoader>(*host_);
        ASSERT_EQ(loader_->LoadAll(), 1u);
        ASSERT_EQ(loader_->Plugins()[0].initResult, S_OK);
        host_->FireCharacterKnown();
        host_->FireLoginComplete();
        host_->ClearRecords();
    }
    void RunUntilIdle() { ASSERT_FALSE(host_->RunUntilIdle().hitBound); }
    std::vector<std::string> Names() { return host_->GetWorld().ContentNames(host_->Me()); }

    // Every move but the first follows the confirmation of the one before by 105 ms.
    void ExpectOneMovePerConfirmation() {
        std::vector<sim::SentMessage> confirmations;
        for (const sim::SentMessage& sent : host_->SentMessages())
            if (sent.message.Field("event") == sim::Message::kEventInsertInvItem)
                confirmations.push_back(sent);
        const std::vector<sim::MoveRequest>& moves = host_->Moves();
        ASSERT_EQ(confirmations.size(), moves.size());
        for (std::size_t i = 1; i < moves.size(); ++i)
            EXPECT_EQ(moves[i].at - confirmations[i - 1].at, 105) << "move " << i;
    }

    TempRegistry registry_;
    std::filesystem::path folder_;
    void* module_ = nullptr;
    std::unique_ptr<sim::SimHost> host_;
    std::unique_ptr<sim::PluginLoader> loader_;
};

TEST_F(SortAcceptanceTest, TitleSortsAMainPackInReverseNameOrder) {
    sim::WorldBuilder world;
    const char* names[] = {"Zircon", "Yew Bow", "Wand", "Sword", "Pearl", "Mace",
                           "Lance",  "Helm",    "Gem",  "Axe",   "Amber"};
    for (const char* name : names)
        world.Main(Item(name));
    Load(world.Setup());

    EXPECT_TRUE(host_->EnterChat("@tk title"));
    RunUntilIdle();

    std::vector<std::string> sorted = Names();
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    EXPECT_EQ(host_->Moves().size(), std::size(names) - 1);
    ExpectOneMovePerConfirmation();
    EXPECT_EQ(host_->ChatTexts(), std::vector<std::string>{":tk:Sort Complete"});
}

TEST_F(SortAcceptanceTest, ValueWithReverseTickedSortsByValueDescending) {
    Load(sim::WorldBuilder()
             .Main({Item("Amber").Value(20), Item("Beryl").Value(3000), Item("Coral").Value(150),
                    Item("Diamond").Value(999999), Item("Emerald").Value(1234567)})
             .Setup());
    ASSERT_TRUE(host_->SetChecked("cbReverse", true));

    EXPECT_TRUE(host_->EnterChat("@tk value"));
    RunUntilIdle();

    // Keys compare as text: the seven-digit 1234567 stands below 999999.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Diamond", "Emerald", "Beryl", "Coral", "Amber"}));
    ExpectOneMovePerConfirmation();
    EXPECT_EQ(host_->ChatTexts().back(), ":tk:Sort Complete");
}

}  // namespace
