// Step timers against the module loaded as the host loads it: a host that lets the
// plug-in go in the middle of a sort may unload the module safely, and a second object
// made by an automation client does not cut the first one off from its steps.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <utility>

#include "platform/ClassFactory.h"
#include "plugin/Identity.h"
#include "support/RegisteredModule.h"
#include "support/TempFolder.h"

namespace {

using sim::Item;
using Texts = std::vector<std::string>;

class StepTimerAcceptanceTest : public LoadedModuleTest {
  protected:
    void SetUp() override {
        static platform_test::TempFolder folder;
        ASSERT_NO_FATAL_FAILURE(Register(folder.Path()));
        // Only the loader holds the module, so its unload really unmaps the code.
        dlclose(std::exchange(module_, nullptr));

        sim::WorldBuilder world;
        for (const char* name : {"Fig", "Elm", "Date", "Cork", "Bell", "Ash"})
            world.Main(Item(name));
        ASSERT_NO_FATAL_FAILURE(LoadAndLogin(world.Worn(Item("Robe").Equipable(0x400))));
        host_->ClearRecords();
    }

    // Runs until the first move is confirmed: its step timer is then pending.
    void SortUntilFirstConfirmation() {
        ASSERT_TRUE(host_->EnterChat("@tk title"));
        ASSERT_EQ(host_->Moves().size(), 1u);
        host_->Advance(host_->Latency());
        ASSERT_EQ(host_->SentMessages().size(), 1u);
        ASSERT_GT(host_->Loop().LiveTimers(), 0u);
    }
};

TEST_F(StepTimerAcceptanceTest, AHostThatUnloadsTheModuleMidSortLeavesNoTimerOfItBehind) {
    SortUntilFirstConfirmation();
    EXPECT_NE(host_->MessageSink(), nullptr);
    loader_->UnloadAll();  // Terminate, release, DllCanUnloadNow, unload
    EXPECT_EQ(loader_->ModulesKept(), 0u);
    EXPECT_TRUE(host_->TraceContains("Terminate complete"));
    EXPECT_EQ(host_->MessageSink(), nullptr);
    // A timer left in the loop would call into code that is no longer mapped.
    EXPECT_EQ(host_->Loop().LiveTimers(), 0u);
    host_->Advance(60000);
    EXPECT_EQ(host_->Moves().size(), 1u);
}

TEST_F(StepTimerAcceptanceTest, ASecondObjectComingAndGoingLeavesTheFirstOneItsSteps) {
    sim::PluginModule& module = *loader_->Plugins()[0].module;
    SortUntilFirstConfirmation();
    {
        CComPtr<ITarnik> client;
        ASSERT_EQ(
            module.CreateObject(CLSID_Tarnik, ITarnik::iid, reinterpret_cast<void**>(&client)),
            S_OK);
    }  // the automation client lets its object go

    ASSERT_TRUE(host_->RunUntilIdle());
    EXPECT_EQ(Names(), (Texts{"Ash", "Bell", "Cork", "Date", "Elm", "Fig"}));
    EXPECT_EQ(host_->ChatTexts(), Texts{":tk:Sort Complete"});
    auto plugin = ComQuery<ITarnik>(loader_->Plugins()[0].plugin.get());
    VARIANT_BOOL busy = VARIANT_TRUE;
    ASSERT_EQ(plugin->get_IsBusy(&busy), S_OK);
    EXPECT_EQ(busy, VARIANT_FALSE);
}

}  // namespace
