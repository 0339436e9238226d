// One step of Store, Pack, Cram and Move, and one Config page refresh, on the full
// inventory, with the trace on (the level Initialize sets) and off. Each is set up for
// its costliest path: every walk runs to the end of its view.
#include <benchmark/benchmark.h>

#include "BenchWorld.h"
#include "inventory/Inventory.h"

namespace {

void SetTrace(CTarnik& tarnik, const benchmark::State& state) {
    tarnik.m_Log.SetThreshold(static_cast<LogLevel>(state.range(0)));
}

// The last main-pack item becomes a stack that merges onto the last stack of the arrow
// pack: both passes walk the whole main pack, and the room test the whole arrow pack.
void BM_StoreNextStep(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    SetTrace(tarnik, state);
    sim::World& world = session.Host().GetWorld();
    sim::Object* last = world.Find(world.Contents(tarnik.m_Me).back());
    last->name = "Arrow";
    last->ints[KEY_STACK_COUNT] = 10;
    last->ints[KEY_STACK_MAX] = 250;
    world.Find(world.Contents(bench::kStackPack).back())->ints[KEY_STACK_COUNT] = 200;
    tarnik.m_PackConfig = {{"Arrow", bench::kStackPack}};
    for (auto _ : state) {
        tarnik.m_Job = JOB_STORE;
        tarnik.StoreNext();
        state.PauseTiming();
        benchmark::DoNotOptimize(tarnik.m_Job);
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
    tarnik.m_Job = JOB_NONE;
}
BENCHMARK(BM_StoreNextStep)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL));

// A pinned item at the end of the side packs whose pack is full: the whole inventory is
// walked, the room test fails and the run ends with its failure list.
void BM_PackNextStep(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    SetTrace(tarnik, state);
    sim::World& world = session.Host().GetWorld();
    tarnik.m_Pins[world.Contents(bench::kStackPack).back()] = bench::kFirstSidePack;
    for (auto _ : state) {
        tarnik.PackNext();
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PackNextStep)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL));

// Every side pack is full: the front item is tried against all seven.
void BM_CramNextStep(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    SetTrace(tarnik, state);
    tarnik.SetPacks();
    for (auto _ : state) {
        tarnik.CramNext();
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CramNextStep)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL));

// The first step of a move of all 102 main-pack items: the item in the last slot.
void BM_MoveNextStep(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    SetTrace(tarnik, state);
    tarnik.m_MoveFrom = tarnik.m_Me;
    tarnik.m_MoveTo = bench::kFirstSidePack;
    for (auto _ : state) {
        tarnik.m_MoveRemaining = MAIN_PACK_SLOTS;
        tarnik.MoveNext();
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
    tarnik.m_Job = JOB_NONE;
}
BENCHMARK(BM_MoveNextStep)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL));

// The selection is the last worn item, at the very end of the inventory view.
void BM_ShowPacks(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    SetTrace(tarnik, state);
    session.Host().Select(session.Host().GetWorld().Worn().back());
    for (auto _ : state) {
        tarnik.ShowPacks();
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowPacks)
    ->ArgName("log")
    ->Arg(static_cast<int>(LogLevel::TRC))
    ->Arg(static_cast<int>(LogLevel::ALL));

}  // namespace
