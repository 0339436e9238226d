// Login with a hand-edited sortconfig.xml of 2 MB nested far too deeply: the time until
// the file is set aside, the player told and a fresh file written.
#include <benchmark/benchmark.h>

#include <fstream>

#include "BenchWorld.h"
#include "config/XmlDocument.h"
#include "platform/Files.h"

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

}  // namespace
