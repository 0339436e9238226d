// One playback step and one strip step on a full inventory, with the trace off: the work
// between a server confirmation and the next request.
#include <benchmark/benchmark.h>

#include "BenchWorld.h"

namespace {

constexpr sim::ObjectId kFirstWorn = 0x3000;

// The full inventory with one main-pack slot free, so that a worn item has somewhere to go.
sim::WorldSetup RoomForOne() {
    sim::WorldSetup world = bench::FullInventory();
    world.main.pop_back();
    for (std::size_t i = 0; i < world.worn.size(); ++i)
        world.worn[i].Id(kFirstWorn + static_cast<sim::ObjectId>(i));
    return world;
}

// A profile that finds its ten worn items in place and then puts on a main-pack item.
void BM_EquipNextStep(benchmark::State& state) {
    bench::Session session(RoomForOne());
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    std::vector<EquipAction> profile;
    for (sim::ObjectId i = 0; i < 10; ++i)
        profile.push_back({EQUIP_ACTION_EQUIP, kFirstWorn + i, "Equip"});
    profile.push_back({EQUIP_ACTION_EQUIP, session.Host().IdOf("Item 050"), "Equip Item 050"});
    for (auto _ : state) {
        state.PauseTiming();
        tarnik.m_Actions = profile;
        tarnik.m_EquipPos = 0;
        tarnik.m_Job = JOB_EQUIP;
        session.Host().ClearRecords();
        state.ResumeTiming();
        tarnik.EquipNext();
    }
    if (session.Host().Uses().size() != 1)
        state.SkipWithError("the step did not put the item on");
    tarnik.m_Job = JOB_NONE;
}
BENCHMARK(BM_EquipNextStep);

// The first worn item comes after the 101 main-pack items of the character's view.
void BM_StripOneStep(benchmark::State& state) {
    bench::Session session(RoomForOne());
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    tarnik.m_StripKind = 'A';
    CTarnik::StripResult result = CTarnik::StripResult::NothingLeft;
    for (auto _ : state) {
        result = tarnik.StripOne(JOB_STRIP);
        state.PauseTiming();
        session.Host().ClearRecords();
        state.ResumeTiming();
    }
    if (result != CTarnik::StripResult::Moved)
        state.SkipWithError("the step put nothing away");
    tarnik.m_Job = JOB_NONE;
}
BENCHMARK(BM_StripOneStep);

}  // namespace
