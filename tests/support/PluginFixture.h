// PluginFixture: a test fixture that runs the plug-in, created directly from the core,
// inside the simulated host on a world built in the test, and captures its trace.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/Tarnik.h"
#include "simhost/SimHost.h"
#include "support/TempFolder.h"

// Every test starts with a fresh host and plug-in: SetUp builds MakeWorld(), creates the
// host with MakeHostOptions(), creates CTarnik with CreateTarnik(), calls Initialize with
// the site and, when LoginOnStart(), fires character known and login complete. Override
// those in a derived fixture, or call Start() inside a test for another world.
// The configuration file (and mapped drives, for reports) live in a fresh folder per test,
// kept across Start() calls within the test so that a restart finds the saved settings.
class PluginFixture : public ::testing::Test {
  protected:
    // A character with a few items in the main pack and one side pack.
    virtual sim::WorldSetup MakeWorld();
    virtual sim::HostOptions MakeHostOptions() { return {}; }
    virtual bool LoginOnStart() { return true; }

    void SetUp() override { Start(MakeWorld(), MakeHostOptions(), LoginOnStart()); }
    void TearDown() override {
        Stop();
        host_.reset();
    }

    // Terminates whatever runs and starts again on this world.
    void Start(const sim::WorldSetup& world, sim::HostOptions options = {}, bool login = true);
    // Start() on this world, then forgets what starting recorded: for tests of one action.
    void StartFresh(const sim::WorldSetup& world) {
        Start(world);
        ASSERT_EQ(InitResult(), S_OK);
        Host().ClearRecords();
        NewChatLines();
    }
    // Terminates the plug-in and lets it go (also done by TearDown).
    void Stop() {
        if (host_)
            host_->TerminatePlugin();
        plugin_.Release();
    }

    sim::SimHost& Host() { return *host_; }
    sim::World& World() { return host_->GetWorld(); }
    CTarnik& Plugin() { return *plugin_; }
    HRESULT InitResult() const { return initResult_; }
    sim::ObjectId Me() const { return host_->Me(); }
    sim::ObjectId Id(std::string_view name) const { return host_->IdOf(name); }

    // The player enters a chat line; true when the plug-in ate it. Nothing else runs.
    bool Chat(std::string_view line) { return host_->EnterChat(line); }
    // Texts of every chat line the plug-in printed, in order.
    std::vector<std::string> ChatLines() const { return host_->ChatTexts(); }
    // The chat texts printed since the previous call (or since the start).
    std::vector<std::string> NewChatLines();
    bool ChatHas(std::string_view text) const {  // a printed line equals text
        const std::vector<sim::ChatLine>& lines = host_->ChatLines();
        return std::any_of(lines.begin(), lines.end(),
                           [&](auto& line) { return line.text == text; });
    }
    // Texts the game received (chat parser calls and chat lines not eaten).
    std::vector<std::string> GameTexts() const {
        std::vector<std::string> texts;
        for (const sim::GameText& text : host_->GameTexts())
            texts.push_back(text.text);
        return texts;
    }

    bool Click(std::string_view button) { return host_->PressButton(button); }
    bool Choose(std::string_view choice, LONG index) { return host_->ChooseOption(choice, index); }
    bool Tick(std::string_view checkbox, bool on = true) { return host_->SetChecked(checkbox, on); }
    bool Type(std::string_view edit, std::string_view text) {
        return host_->SetEditText(edit, text);
    }
    bool Key(int virtualKey, sim::Modifiers held = {}) { return host_->KeyDown(virtualKey, held); }
    void Select(sim::ObjectId id) { host_->Select(id); }

    // Runs the event loop until nothing is queued; fails the test when the bound stops it.
    sim::RunResult RunUntilIdle(sim::RunBound bound = {}) {
        sim::RunResult result = host_->RunUntilIdle(bound);
        EXPECT_FALSE(result.hitBound)
            << "the event loop was still busy after " << result.events << " events";
        return result;
    }
    void Advance(sim::Millis ms) { host_->Advance(ms); }

    // The plug-in's trace (debugger output) lines, and a search in them.
    const std::vector<std::string>& Trace() const { return host_->TraceLines(); }
    bool TraceHas(std::string_view fragment) const { return host_->TraceContains(fragment); }
    // Names in a container, in slot order (0 or Me() for the main pack).
    std::vector<std::string> Names(sim::ObjectId container = 0) const {
        return host_->GetWorld().ContentNames(container);
    }

    std::filesystem::path ConfigFolder() const { return configFolder_.Path(); }

  private:
    std::unique_ptr<sim::SimHost> host_;
    CComPtr<CTarnik> plugin_;
    HRESULT initResult_ = E_FAIL;
    std::size_t chatSeen_ = 0;
    platform_test::TempFolder configFolder_;
};

// A plug-in that started and whose login settled, with nothing recorded yet: for tests of
// what one action does.
class StartedPluginFixture : public PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        ASSERT_EQ(InitResult(), S_OK);
        ASSERT_TRUE(RunUntilIdle());
        Host().ClearRecords();
        NewChatLines();
    }
};
