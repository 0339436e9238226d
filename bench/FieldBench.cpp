// Field actions on the host's thread, with the trace off: a corpse select among fifty, a
// Heal that walks a full inventory, and the armor list over ten worn items.
#include <benchmark/benchmark.h>

#include "BenchWorld.h"

namespace {

void BM_SelectNextCorpse(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    for (int i = 0; i < 50; ++i)
        session.Host().SpawnCorpse("Corpse", 10.0 + i);
    ObjectId picked = 0;
    for (auto _ : state)
        picked = tarnik.SelectNextCorpse();  // cycles through all fifty, then starts over
    if (picked == 0)
        state.SkipWithError("no corpse was selected");
}
BENCHMARK(BM_SelectNextCorpse);

// The kits lie at the end of the walk, behind the full main pack and side packs.
void BM_Heal(benchmark::State& state) {
    sim::WorldSetup world = bench::FullInventory();
    world.main.pop_back();
    world.main.push_back(sim::Item("Plentiful Healing Kit").Type(TYPE_HEALING_KIT).KitUses(40));
    bench::Session session(world);
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    for (auto _ : state) {
        tarnik.Heal();
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
    tarnik.Heal();
    if (session.Host().Uses().size() != 1)
        state.SkipWithError("no kit was used");
}
BENCHMARK(BM_Heal);

void BM_ArmorList(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    std::string list;
    bool ready = false;
    for (auto _ : state)
        ready = tarnik.ArmorList(list);
    if (!ready || list.empty())
        state.SkipWithError("the armor list was not built");
}
BENCHMARK(BM_ArmorList);

}  // namespace
