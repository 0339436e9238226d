// Login with a hand-edited sortconfig.xml of 2 MB nested far too deeply: the time until
// the file is set aside, the player told and a fresh file written. Login with a large
// character element, and the inspector on a large file: both grow linearly.
#include <benchmark/benchmark.h>

#include <fstream>

#include "BenchWorld.h"
#include "config/XmlDocument.h"
#include "platform/Files.h"
#include "tools/ConfigInspector.h"

namespace {

// About 2 MB: another character's element holding one unknown element per level.
std::string DeeplyNestedFile() {
    const std::size_t levels = 300000;
    std::string text = "<Tarnik>\r\n  <BLUE_HILL-Ann OutputWindow=\"Main\">\r\n    ";
    text.reserve(levels * 7 + 128);
    for (std::size_t i = 0; i < levels; ++i)
        text += "<n>";
    for (std::size_t i = 0; i < levels; ++i)
        text += "</n>";
    text += "\r\n  </BLUE_HILL-Ann>\r\n</Tarnik>\r\n";
    return text;
}

// The refusal alone: the nesting scan stops at level 65, before anything is built.
void BM_LoadTooDeepText(benchmark::State& state) {
    const std::string text = DeeplyNestedFile();
    for (auto _ : state) {
        CXmlDocument doc;
        benchmark::DoNotOptimize(doc.LoadText(text).status);
    }
}
BENCHMARK(BM_LoadTooDeepText);

// The whole login: the file is read, refused, moved aside and a fresh one written twice.
void BM_LoginSetsAsideDeepFile(benchmark::State& state) {
    const std::string text = DeeplyNestedFile();
    bench::Session session;
    const std::filesystem::path file = MapWindowsPath(g_ConfigPath);
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
            std::filesystem::remove(entry.path());
        std::ofstream(file, std::ios::binary) << text;
        session.Host().ClearRecords();
        state.ResumeTiming();
        session.Plugin().OnCharacterLogin();
    }
    if (session.Host().ChatTexts().size() != 1)
        state.SkipWithError("the file was not set aside with the player told");
}
BENCHMARK(BM_LoginSetsAsideDeepFile)->Unit(benchmark::kMillisecond);

// The character's element with `count` elements: Item elements of distinct names, each
// tenth name repeated for another pack, or as many Hotkey elements.
std::string LargeFile(const char* element, int count) {
    std::string text = "<Tarnik>\r\n  <SIMULATED_SERVER-Tester OutputWindow=\"Main\">\r\n";
    for (int i = 0; i < count; ++i) {
        if (std::string_view(element) == "Item")
            text += "    <Item value=\"Name " + std::to_string(i % 10 == 9 ? i - 1 : i) +
                    "\" pack=\"" + std::to_string(8193 + i % 7) + "\"/>\r\n";
        else
            text += "    <Hotkey command=\"Profile " + std::to_string(i) + "\" key=\"{Ctrl}F" +
                    std::to_string(1 + i % 12) + "\"/>\r\n";
    }
    return text + "  </SIMULATED_SERVER-Tester>\r\n</Tarnik>\r\n";
}

// A login that reads state.range(0) Item elements into the pack configuration.
void BM_LoginWithManyItems(benchmark::State& state) {
    const std::string text = LargeFile("Item", static_cast<int>(state.range(0)));
    bench::Session session;
    const std::filesystem::path file = MapWindowsPath(g_ConfigPath);
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(file, std::ios::binary) << text;
        state.ResumeTiming();
        session.Plugin().OnCharacterLogin();
    }
    if (session.Plugin().m_PackConfig.size() != static_cast<std::size_t>(state.range(0)) / 10 * 9)
        state.SkipWithError("not every first Item of a name was read");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoginWithManyItems)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// "tarnik-sim config --check" on state.range(0) hotkeys, each of them a problem.
void BM_InspectManyHotkeys(benchmark::State& state) {
    const std::string text = LargeFile("Hotkey", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ConfigInspection inspection = InspectConfig(text, "sortconfig.xml");
        benchmark::DoNotOptimize(inspection.problems.size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_InspectManyHotkeys)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
