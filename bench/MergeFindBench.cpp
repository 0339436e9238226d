// One Merge step and one find ("@tk where") on the full inventory, with the trace on and
// off. The merge step takes its costliest path: the partial stacks lie in the last side
// pack, so every container is read before the move is asked for; the find reads 50
// reports of 300 lines besides the inventory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

#include "BenchWorld.h"
#include "inventory/Inventory.h"

namespace {

void SetTrace(CTarnik& tarnik, const benchmark::State& state) {
    tarnik.m_Log.SetThreshold(static_cast<LogLevel>(state.range(0)));
}

// The last two arrow stacks hold 200 and 100 of 250: the step splits 50 off the last.
void BM_MergeNextStep(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    SetTrace(tarnik, state);
    sim::World& world = session.Host().GetWorld();
    const std::vector<sim::ObjectId> arrows = world.Contents(bench::kStackPack);
    world.Find(arrows[arrows.size() - 2])->ints[KEY_STACK_COUNT] = 200;
    world.Find(arrows.back())->ints[KEY_STACK_COUNT] = 100;
    for (auto _ : state) {
        tarnik.m_MergeMoves = 0;
        tarnik.m_MergeBudget = 1;
        tarnik.MergeNext();
        state.PauseTiming();
        benchmark::DoNotOptimize(tarnik.m_Job);
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
    tarnik.EndJob();
}
BENCHMARK(BM_MergeNextStep)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL));

// 50 other characters' reports of 300 lines each, every tenth line a hit; the find shows
// 20 hit lines and counts the rest.
void BM_WhereOverFiftyReports(benchmark::State& state) {
    const std::filesystem::path drives = std::filesystem::temp_directory_path() /
                                         ("tarnik-bench-drives-" + std::to_string(::getpid()));
    const std::filesystem::path folder = drives / "c" / "ToonPacks";
    std::filesystem::create_directories(folder);
    for (int character = 0; character < 50; ++character) {
        const std::string name = bench::Numbered("Alt", character);
        std::ofstream report(folder / (name + ".txt"), std::ios::binary);
        report << "Pack contents for " << name << "\r\n" << name << "\r\n";
        for (int line = 1; line < 300; ++line)
            report << (line % 10 == 0 ? bench::Numbered("Mana Stone", line)
                                      : bench::Numbered("Item", line))
                   << "\r\n";
    }
    ::setenv("TARNIK_DRIVES", drives.c_str(), 1);
    {
        bench::Session session;
        CTarnik& tarnik = session.Plugin();
        SetTrace(tarnik, state);
        for (auto _ : state) {
            tarnik.Where("stone");
            state.PauseTiming();
            session.Host().ClearRecords();
            state.ResumeTiming();
        }
    }
    ::unsetenv("TARNIK_DRIVES");
    std::error_code ignored;
    std::filesystem::remove_all(drives, ignored);
}
BENCHMARK(BM_WhereOverFiftyReports)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL))
    ->Unit(benchmark::kMillisecond);

}  // namespace
