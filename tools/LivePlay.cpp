// The live loop: wait for a line no longer than until the game's next event, then let the
// game catch up with the real time that passed.
#include "LivePlay.h"

#include <chrono>

#include "LineInput.h"
#include "Session.h"

void PlayLive(Session& session, LineInput& input) {
    using namespace std::chrono;
    bool promptHidden = false;
    session.OnOutput([&] {
        if (!promptHidden)
            input.HidePrompt();
        promptHidden = true;
    });
    auto showPrompt = [&] {
        if (promptHidden)
            input.ShowPrompt();
        promptHidden = false;
    };

    // Real time is counted in whole milliseconds; the rest carries over to the next count.
    steady_clock::time_point counted = steady_clock::now();
    auto catchUp = [&] {
        auto passed = duration_cast<milliseconds>(steady_clock::now() - counted);
        counted += passed;
        session.CatchUp(passed.count());
    };

    bool playing = true;
    while (playing) {
        std::optional<sim::Millis> due = session.UntilNextEvent();
        WaitedLine got = input.WaitForLine(due ? std::optional(milliseconds(*due)) : std::nullopt);
        catchUp();
        if (got.kind == WaitedLine::End)
            break;
        if (got.kind == WaitedLine::Line) {
            playing = session.Execute(got.line);
            // A command that waited ("run", "wait") moved the clock itself.
            counted = steady_clock::now();
        }
        if (playing)
            showPrompt();
        else
            input.HidePrompt();  // the prompt libedit drew for the next line
    }
    session.OnOutput({});
}
