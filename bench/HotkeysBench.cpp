// The window-message handler, which sees every message of the game window: a message that
// is no key, and a qualifying key press that matches none of 40 assigned keys.
#include <benchmark/benchmark.h>

#include "BenchWorld.h"
#include "platform/KeyState.h"

namespace {

constexpr UINT kMouseMove = 0x0200;

void BM_WindowMessageNotAKey(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    VARIANT_BOOL eat = VARIANT_FALSE;
    for (auto _ : state) {
        tarnik.WindowMessage(nullptr, kMouseMove, 0, 0, &eat);
        benchmark::DoNotOptimize(eat);
    }
}
BENCHMARK(BM_WindowMessageNotAKey);

// Ctrl held with F12 while 40 actions hold other keys; the trace is off.
void BM_KeyPressMatchingNoneOf40(benchmark::State& state) {
    bench::Session session;
    CTarnik& tarnik = session.Plugin();
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    for (int i = 0; i < 40; ++i)
        tarnik.m_Hotkeys[bench::Numbered("Profile", i)] =
            std::string(i % 2 ? "{Ctrl}" : "{Shift}{Alt}") + static_cast<char>('A' + i % 26);
    SetKeyStateBackend([](int key) -> SHORT { return key == VK_CONTROL ? SHORT(-128) : 0; });
    VARIANT_BOOL eat = VARIANT_FALSE;
    for (auto _ : state) {
        tarnik.WindowMessage(nullptr, WM_KEYDOWN, VK_F1 + 11, 0, &eat);
        benchmark::DoNotOptimize(eat);
    }
    if (eat != VARIANT_FALSE)
        state.SkipWithError("the key matched an assigned hotkey");
}
BENCHMARK(BM_KeyPressMatchingNoneOf40);

}  // namespace
