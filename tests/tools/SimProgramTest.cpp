// tarnik-sim as a program: start-up and its failures, exit status, and the options that
// change what is printed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "tools/SimRunner.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

constexpr const char* kSortScript = "chat @tk title\nrun\nshow pack 0\n";

class SimProgramTest : public ::testing::Test {
  protected:
    fs::path Data() const { return temp_.Path() / "data"; }

    fs::path Write(const std::string& name, const std::string& text) {
        fs::path path = temp_.Path() / name;
        platform_test::WriteFile(path, text);
        return path;
    }

    SimResult RunScript(const std::string& script, std::vector<std::string> extra = {},
                        bool separateErrors = false) {
        std::vector<std::string> args{"--data", Data().string(), "--script",
                                      Write("script.sim", script).string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunSim(args, separateErrors);
    }

    platform_test::TempFolder temp_;
};

// A full pack sorted in 101 confirmed moves is SortAcceptanceTest's; the demo world's sort
// by name, and a session ending with its input, are the sort transcript in SimTranscriptTest.
TEST_F(SimProgramTest, QuietLeavesOutTheProgressLinesOnly) {
    SimResult result = RunScript(kSortScript, {"--quiet"});

    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.LinesStartingWith("~").empty());
    EXPECT_EQ(result.LinesStartingWith("[chat 1] :tk:Sort Complete").size(), 1u);
}

TEST_F(SimProgramTest, QuitEndsTheSessionBeforeTheRestOfTheScript) {
    SimResult result = RunScript("quit\nbogus\n");

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(result.LinesStartingWith("error:").empty());
}

// Each kind of world file fault is checked on the parser in tests/simhost.
TEST_F(SimProgramTest, WorldFileErrorsNameTheFileAndFieldAndStartNothing) {
    fs::path bad = Write("bad.json", R"({"packs": [{"name": "Sack", "slot": 9, "capacity": 24}]})");
    fs::path missing = temp_.Path() / "missing.json";
    for (const auto& [world, error] :
         {std::pair{bad, "error: " + bad.string() + ": packs[0].slot: 9 is not a pack slot 0 to 6"},
          {missing, "error: cannot read the world file " + missing.string()}}) {
        SimResult result = RunScript("show pack 0\n", {"--world", world.string()});
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.Lines(), std::vector<std::string>{error});
        EXPECT_FALSE(fs::exists(Data()));
    }
}

TEST_F(SimProgramTest, MissingModuleAndUnknownOptionAreStartFailures) {
    SimResult noModule = RunScript("", {"--module", (temp_.Path() / "none.so").string()});
    EXPECT_EQ(noModule.status, 2);
    EXPECT_NE(noModule.output.find("error: there is no plug-in module at"), std::string::npos);

    SimResult badOption = RunSim({"--data", Data().string(), "--fast"});
    EXPECT_EQ(badOption.status, 2);
    EXPECT_NE(badOption.output.find("error: unknown option \"--fast\""), std::string::npos);
}

TEST_F(SimProgramTest, FirstStartSetsTheConfigurationFolderAndLaterStartsKeepIt) {
    SimResult first = RunScript("chat @tk title\nrun\nshow file\n");
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_EQ(first.LinesStartingWith("configuration folder set to C:\\Tarnik\\").size(), 1u);
    fs::path config = Data() / "c" / "Tarnik" / "sortconfig.xml";
    EXPECT_EQ(first.LinesStartingWith("file: ").at(0), "file: " + config.string());
    EXPECT_TRUE(fs::is_directory(Data() / "c" / "ToonPacks"));

    SimResult second = RunScript("chat @tk help\n");
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_TRUE(second.LinesStartingWith("configuration folder").empty());
    EXPECT_EQ(second.LinesStartingWith("[chat 1] :tk:Configuration stored at ").at(0),
              "[chat 1] :tk:Configuration stored at C:\\Tarnik\\sortconfig.xml");
}

// The server's answer is due beyond the bound; the sort gives up waiting long before.
TEST_F(SimProgramTest, RunStopsAtItsBoundAndSaysSo) {
    SimResult result = RunScript("chat @tk title\nrun\nshow job\n", {"--latency", "4000000"});

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(
        result.LinesStartingWith("[chat 1] :tk:Sort stopped: the server did not confirm ").size(),
        1u)
        << result.output;
    EXPECT_EQ(
        result.LinesStartingWith("run: stopped after 1 events and 10000 ms with 1 still pending")
            .size(),
        1u)
        << result.output;
    EXPECT_EQ(result.LinesStartingWith("job 0 awaited 0x").size(), 1u);
}

TEST_F(SimProgramTest, TraceShowsThePluginsDebuggerOutputOnlyWhenAsked) {
    SimResult plain = RunScript("chat @tk title\n");
    EXPECT_TRUE(plain.LinesStartingWith("[trace]").empty());

    SimResult traced = RunScript("chat @tk title\n", {"--trace"});
    std::vector<std::string> trace = traced.LinesStartingWith("[trace] ");
    ASSERT_FALSE(trace.empty());
    for (const std::string& line : trace)
        EXPECT_EQ(line.substr(0, 12), "[trace] :TK:") << line;
}

TEST_F(SimProgramTest, HandActionsChangeTheWorldAfterTheServersLatency) {
    SimResult result = RunScript(
        "wear Gold Ring\nshow worn\nwait 200\nshow worn\ntakeoff Gold Ring 3\nrun\nshow pack "
        "3\nspawn Corpse of Rat 7.5\ndistance Corpse of Rat 2\ndespawn Corpse of Rat\n"
        "despawn Corpse of Rat\n");

    EXPECT_EQ(result.status, 1) << result.output;  // the second despawn finds nothing
    std::vector<std::string> worn = result.LinesStartingWith("worn: ");
    EXPECT_EQ(worn, (std::vector<std::string>{"worn: 4 items", "worn: 5 items"}));
    std::string sack = result.LinesStartingWith("pack 3: ").at(0);
    EXPECT_EQ(sack.substr(sack.size() - 5), " 1/24") << sack;
    EXPECT_EQ(result.LinesStartingWith("  0 Gold Ring").size(), 1u);
    EXPECT_EQ(result.LinesStartingWith("spawned Corpse of Rat (0x").size(), 1u);
    EXPECT_EQ(result.LinesStartingWith("error: line 11: there is no object named").size(), 1u);
    // Moves of the player's own are not steps of a plug-in action.
    EXPECT_TRUE(result.LinesStartingWith("~").empty());
}

// Keys the plug-in takes, and a key that is none, are in the profiles and errors transcripts.

// A script decides with "run" whether an action ends; one that ends with its input or with
// "quit" is named, and the exit status tells it apart from a finished session.
TEST_F(SimProgramTest, AnActionStillRunningAtTheEndIsNamedWithWhatItAwaits) {
    for (const char* script : {"chat @tk title\n", "chat @tk title\nquit\nrun\n"}) {
        SimResult ended = RunScript(script, {}, true);
        EXPECT_EQ(ended.status, 3) << script;
        EXPECT_EQ(ended.errors,
                  "unfinished: Sort (job 3) still runs, awaiting Mace (0x80000025); \"run\" "
                  "before the end lets it finish\n")
            << script;
    }
    SimResult finished = RunScript("chat @tk title\nrun\n", {}, true);
    EXPECT_EQ(finished.status, 0);
    EXPECT_EQ(finished.errors, "");
}

TEST_F(SimProgramTest, ErrorsGoToStandardErrorWholeWithTheirControlCharactersShown) {
    SimResult result = RunScript("bo\0gus\x1b\nshow pack 0\n"s, {}, true);

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors,
              "error: line 1: unknown command \"bo\\x00gus\\x1b\" (help lists the commands)\n");
    EXPECT_TRUE(result.LinesStartingWith("error:").empty());
    EXPECT_EQ(result.LinesStartingWith("pack 0: ").size(), 1u);
}

class SimTerminalTest : public SimProgramTest {
  protected:
    // The main pack holds three items out of order by name: sorting it takes two moves.
    std::vector<std::string> SmallWorld() {
        fs::path world = Write("world.json", R"({"main": [{"name": "Zircon", "type": 4},
            {"name": "Mace", "type": 4}, {"name": "Amber", "type": 4}]})");
        return {"--data", Data().string(), "--world", world.string(), "--latency", "1"};
    }
    // What the terminal showed after the last prompt.
    static std::string AfterLastPrompt(const SimResult& result) {
        std::size_t prompt = result.output.rfind("tarnik> ");
        return prompt == std::string::npos ? result.output : result.output.substr(prompt + 8);
    }
};

// Live play at a terminal: the sort goes on and completes while no command is typed, and
// Ctrl-D ends the prompt's line.
TEST_F(SimTerminalTest, WithRealtimeTheGameGoesOnWhileThePromptWaits) {
    std::vector<std::string> args = SmallWorld();
    args.push_back("--realtime");
    SimResult result = RunSimOnTerminal(args, {{"tarnik> ", "@tk title\r"},
                                               {"Sort Complete", "show pack 0\r"},
                                               {"2 Zircon", "\x04", true}});

    EXPECT_EQ(result.status, 0) << result.output;
    std::size_t complete = result.output.find(":tk:Sort Complete");
    std::size_t lastMove = result.output.rfind("~ move ");
    EXPECT_NE(lastMove, std::string::npos) << result.output;
    EXPECT_LT(lastMove, complete);
    EXPECT_NE(result.output.find("  0 Amber (0x80000003)\r\n  1 Mace (0x80000002)\r\n"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(AfterLastPrompt(result).back(), '\n') << result.output;
}

// Without --realtime the clock waits for "run"; Ctrl-D at the blocking prompt ends its line
// all the same, and names the sort it leaves unfinished.
TEST_F(SimTerminalTest, WithoutRealtimeNothingMovesAndCtrlDEndsThePromptsLine) {
    SimResult result =
        RunSimOnTerminal(SmallWorld(), {{"tarnik> ", "@tk title\r"}, {"tarnik> ", "\x04", true}});

    EXPECT_EQ(result.status, 3) << result.output;
    EXPECT_EQ(result.output.find("Sort Complete"), std::string::npos);
    std::string after = AfterLastPrompt(result);
    EXPECT_EQ(after.substr(after.find('\n') + 1, 12), "unfinished: ") << result.output;
}

}  // namespace
