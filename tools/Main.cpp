// tarnik-sim: registers the plug-in module in its own registry, starts the simulated game
// on a world, loads Tarnik! the way the real host does, logs the character in, and runs
// the player's commands from the terminal or a script.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "ConfigInspector.h"
#include "DataFolder.h"
#include "LineInput.h"
#include "LivePlay.h"
#include "Session.h"
#include "SimOptions.h"
#include "simhost/WorldFile.h"

#ifndef TARNIK_MODULE_PATH
#define TARNIK_MODULE_PATH "tarnik.so"
#endif

namespace {

constexpr int kExitScriptErrors = 1;
constexpr int kExitStartFailed = 2;
constexpr int kExitActionUnfinished = 3;

int Fail(const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "error: %s\n", why.c_str());
    return kExitStartFailed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "config")
        return RunConfigCommand(std::vector<std::string>(argv + 2, argv + argc), stdout, stderr);
    SimOptionsResult parsed =
        ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), TARNIK_MODULE_PATH);
    if (parsed.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fputs(SimUsage().c_str(), stderr);
        return Fail(parsed.error);
    }
    const SimOptions& options = parsed.options;

    // Read the world first: a mistyped file should not leave a half-made data folder.
    sim::WorldSetup world = sim::DemoWorld();
    if (options.world) {
        sim::WorldFileResult loaded = sim::LoadWorldFile(*options.world);
        if (!loaded)
            return Fail(loaded.error);
        world = std::move(*loaded.world);
    }

    std::unique_ptr<LineInput> input;
    if (options.script) {
        input = OpenScript(*options.script);
        if (!input)
            return Fail("cannot read the script " + *options.script);
    }

    // Everything the module reads when it is loaded must be in place before it is.
    DataFolder data = PrepareDataFolder(options.data.value_or(DefaultDataFolder()), options.module);
    if (!data)
        return Fail(data.error);
    std::printf("data folder: %s\n", data.root.string().c_str());
    if (data.configsSet)
        std::printf("configuration folder set to C:\\Tarnik\\ (%s)\n",
                    data.configFile.parent_path().string().c_str());
    std::fflush(stdout);
    ModuleRegistration registration;
    if (std::string why = registration.Register(options.module); !why.empty())
        return Fail(why);

    SessionSettings settings;
    settings.trace = options.trace;
    settings.quiet = options.quiet;
    settings.echo = options.echo;
    settings.realtime = options.realtime;
    settings.latencyMs = options.latencyMs;
    settings.configFile = data.configFile;
    int status = 0;
    {
        Session session(settings, stdout);
        if (std::string why = session.Start(world); !why.empty())
            return Fail(why);
        // Scripts keep the virtual clock, so that they run the same every time; a player
        // at the terminal with --realtime plays live.
        bool live = false;
        if (!input) {
            live = options.realtime && StdinIsTerminal();
            // Greeted first: a live terminal shows its prompt as soon as it opens.
            session.Greet(live);
            input = StdinIsTerminal() ? OpenTerminal(data.root / "history", live) : OpenScript("-");
        }
        const bool counting = !input->Interactive();
        if (live) {
            PlayLive(session, *input);
        } else {
            std::size_t lineNumber = 0;
            while (auto line = input->Next()) {
                ++lineNumber;
                std::string where = counting ? "line " + std::to_string(lineNumber) + ": " : "";
                if (!session.Execute(*line, where))
                    break;
            }
        }
        const bool unfinished = session.ReportUnfinishedAction();
        if (counting && session.Errors() > 0)
            status = kExitScriptErrors;
        else if (unfinished)
            status = kExitActionUnfinished;
        session.Stop();
    }
    input.reset();
    return status;
}
