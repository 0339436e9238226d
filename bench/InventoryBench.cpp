// The room test on a full side pack of stacks, and a walk of the whole inventory view.
#include <benchmark/benchmark.h>

#include "BenchWorld.h"
#include "inventory/Inventory.h"

namespace {

// No stack of the full pack has room: every count, every name and every stack is read.
void BM_PackHasRoomFullPackOfStacks(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    for (auto _ : state)
        benchmark::DoNotOptimize(tarnik.PackHasRoom(bench::kStackPack, u"Arrow", 10));
}
BENCHMARK(BM_PackHasRoomFullPackOfStacks);

// 102 main-pack items, 7 side packs of 24, 10 worn, the character: 288 objects.
void BM_InventoryViewWalk(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    std::int64_t objects = 0;
    for (auto _ : state) {
        CComPtr<IWorldIterator> view = InventoryView(tarnik.m_pWorld);
        int worn = 0;
        WalkView(tarnik, view, WALK_EQUIP_LIST, [&](IWorldObject* object) {
            ++objects;
            if (IntValue(object, KEY_SLOT) == SLOT_WORN)
                ++worn;
            return true;
        });
        benchmark::DoNotOptimize(worn);
    }
    state.counters["objects"] =
        benchmark::Counter(static_cast<double>(objects), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_InventoryViewWalk);

}  // namespace
