// Sort preparation and one sort step on a full main pack, with the trace on (the level
// Initialize sets) and off.
#include <benchmark/benchmark.h>

#include "BenchWorld.h"

namespace {

// The costliest step: only the front pair is out of order, so the search, the shift
// left and the shift right each run over the whole pack.
void BM_SortNextStep(benchmark::State& state) {
    bench::Session session(bench::FullInventory(), bench::Listening(state.range(1) != 0));
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(static_cast<LogLevel>(state.range(0)));
    std::vector<SortEntry> model(102);
    for (int i = 0; i < 102; ++i)
        model[i] = {static_cast<ObjectId>(0x1000 + i), i, bench::Numbered("Item", i)};
    std::swap(model[0], model[1]);
    tarnik.m_SortPack = tarnik.m_Me;
    tarnik.m_SortLast = 101;
    for (auto _ : state) {
        state.PauseTiming();
        tarnik.m_SortEntries = model;
        session.Host().ClearRecords();
        state.ResumeTiming();
        tarnik.SortNext();
    }
    tarnik.m_Job = JOB_NONE;
}
BENCHMARK(BM_SortNextStep)
    ->ArgNames({"log", "listener"})
    ->Args({static_cast<int>(LogLevel::TRC), 1})
    ->Args({static_cast<int>(LogLevel::TRC), 0})
    ->Args({static_cast<int>(LogLevel::ALL), 1});

// Sort of the reversed main pack: selection, container view walk, keys, filing and the
// first step.
void BM_SortPreparation(benchmark::State& state) {
    bench::Session session(bench::FullInventory(), bench::Listening(state.range(1) != 0));
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(static_cast<LogLevel>(state.range(0)));
    for (auto _ : state) {
        tarnik.Sort(SORT_NAME);
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
    tarnik.m_Job = JOB_NONE;
}
BENCHMARK(BM_SortPreparation)
    ->ArgNames({"log", "listener"})
    ->Args({static_cast<int>(LogLevel::TRC), 1})
    ->Args({static_cast<int>(LogLevel::TRC), 0})
    ->Args({static_cast<int>(LogLevel::ALL), 1});

// The host creates the plug-in, Initialize binds the panel and advises the sinks, and the
// login loads the character's configuration (the module's own loading is the loader's).
void BM_StartAndLogin(benchmark::State& state) {
    const sim::WorldSetup world = bench::FullInventory();
    for (auto _ : state) {
        bench::Session session(world, bench::Listening(state.range(0) != 0));
        benchmark::DoNotOptimize(session.Plugin().m_Me);
    }
}
BENCHMARK(BM_StartAndLogin)->ArgName("listener")->Arg(1)->Arg(0);

}  // namespace

BENCHMARK_MAIN();
