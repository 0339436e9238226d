// PluginFixture: the plug-in inside the simulated host, one fresh pair per test.
#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdlib>

#include "config/ConfigPath.h"

sim::WorldSetup PluginFixture::MakeWorld() {
    using sim::Item;
    return sim::WorldBuilder()
        .Server("Test Server")
        .Character("Tester", 0x50000001)
        .Main({Item("Gold Ring").Id(0x1001).Type(4).Value(1200).Burden(20).Material(5).Quality(7.5),
               Item("Iron Sword").Id(0x1002).Type(1).Value(900).Burden(350),
               Item("Arrow").Id(0x1003).Type(8).Stack(40, 250).Value(40).Burden(40)})
        .SidePack("Backpack", 0, 24, {Item("Apple").Id(0x1101).Type(15).Value(5)}, 0x2001)
        .Setup();
}

void PluginFixture::Start(const sim::WorldSetup& world, sim::HostOptions options, bool login) {
    Stop();
    host_.reset();
    g_ConfigPath = (configFolder_ / "sortconfig.xml").string();
    ::setenv("TARNIK_DRIVES", (configFolder_ / "drives").c_str(), 1);

    host_ = std::make_unique<sim::SimHost>(world, options);
    chatSeen_ = 0;
    plugin_ = CreateTarnik();
    ASSERT_TRUE(plugin_) << "CreateTarnik made no object";
    initResult_ = host_->InitializePlugin(plugin_.get());
    if (login && SUCCEEDED(initResult_)) {
        host_->FireCharacterKnown();
        host_->FireLoginComplete();
    }
}

std::vector<std::string> PluginFixture::NewChatLines() {
    std::vector<std::string> all = host_->ChatTexts();
    std::vector<std::string> fresh(
        all.begin() + static_cast<std::ptrdiff_t>(std::min(chatSeen_, all.size())), all.end());
    chatSeen_ = all.size();
    return fresh;
}
