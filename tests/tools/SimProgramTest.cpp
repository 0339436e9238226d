// tarnik-sim as a program: start-up and its failures, exit status, and the options that
// change what is printed.
#include <gtest/gtest.h>
#include <iconv.h>

#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "support/TempFolder.h"
#include "tools/SimRunner.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// Whether the bytes are UTF-8, as the C library's converter judges them.
bool IsUtf8(std::string text) {
    iconv_t converter = ::iconv_open("UTF-8", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string out(text.size() * 2 + 4, '\0');
    char* in = text.data();
    char* to = out.data();
    std::size_t inLeft = text.size(), outLeft = out.size();
    bool ok = ::iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(converter);
    return ok && inLeft == 0;
}

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

// A world file that is missing or faulty (each kind of fault is checked on the parser in
// tests/simhost), a missing module and an unknown option, --quiet, --trace, quit, the bound of run,
// the player's own actions and plan are transcripts (tests/tools/scripts). A full pack sorted in
// 101 confirmed moves is SortAcceptanceTest's.

// What the first start says, and where the file lands, is in every transcript; the first
// start also makes the reports folder, and a later one keeps the folder and says nothing of it.
TEST_F(SimProgramTest, LaterStartsKeepTheConfigurationFolderTheFirstSet) {
    ASSERT_EQ(RunScript("").status, 0);
    EXPECT_TRUE(fs::is_directory(Data() / "c" / "ToonPacks"));
    SimResult second = RunScript("chat @tk help\n");
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_TRUE(second.LinesStartingWith("configuration folder").empty());
    EXPECT_EQ(second.LinesStartingWith("[Main] :tk:Configuration stored at ").at(0),
              "[Main] :tk:Configuration stored at C:\\Tarnik\\sortconfig.xml");
}

// The keys the plug-in logs as it files an item for each of the six sorts are the keys
// "show item" prints for it.
TEST_F(SimProgramTest, ItemDetailsShowTheKeysThePluginsSortBuilds) {
    std::string script = "show item Pyreal Chunk\n";
    for (int type = 0; type < 6; ++type)
        script += "choose chSortBy " + std::to_string(type) + "\nclick pbSort\nrun\n";
    SimResult result = RunScript(script, {"--trace", "--quiet"});
    ASSERT_EQ(result.status, 0) << result.output;

    // "  0 type         \"000Chunk\"", and "[trace] ... Checking Pyreal Chunk key:[000Chunk] 0 0".
    const std::regex key(R"re(  [0-5] [a-z ]+ "(.*)")re");
    const std::regex checked(R"(Checking Pyreal Chunk key:\[([^\]]*)\])");
    std::vector<std::string> shown, filed;
    for (const std::string& line : result.Lines()) {
        std::smatch m;
        if (std::regex_match(line, m, key))
            shown.push_back(m[1]);
        else if (line.starts_with("[trace] ") && std::regex_search(line, m, checked))
            filed.push_back(m[1]);
    }
    // A sort files its pack again when it ends, to check its work.
    filed.erase(std::unique(filed.begin(), filed.end()), filed.end());
    EXPECT_EQ(shown.size(), 6u) << result.output;
    EXPECT_EQ(filed, shown);
}

// What "show world" prints starts the simulator on the same world: the demo after a sort.
TEST_F(SimProgramTest, AWorldShownAndWrittenLoadsBackAsItStood) {
    fs::path file = temp_.Path() / "sorted.json";
    SimResult first = RunScript(
        "chat @tk title\nrun\nshow world " + file.string() + "\nshow world\n", {"--quiet"});
    ASSERT_EQ(first.status, 0) << first.output;
    SimResult second = RunScript("show world\n", {"--world", file.string()});
    ASSERT_EQ(second.status, 0) << second.output;

    auto json = [](const SimResult& r) { return r.output.substr(r.output.find("\n{\n") + 1); };
    EXPECT_EQ(first.LinesStartingWith("world written to ").size(), 1u);
    EXPECT_NE(json(first).find("\"name\": \"Amber Amulet\""), std::string::npos);
    EXPECT_EQ(json(second), json(first));
}

// The picture holds every control of "show panel" once, at its place and size, with its
// text, its selected option and its tick; a text no XML may hold is made safe.
TEST_F(SimProgramTest, PanelPictureDrawsEveryControlOnceAsTheViewHasIt) {
    fs::path svg = temp_.Path() / "panel.svg";
    SimResult result = RunScript(
        "choose chSortBy 3\ntick cbReverse on\nedit edHotAction <&>\"\x01\xff\xed\xa0\x80 end\n"
        "show panel\npicture panel " +
        svg.string() + "\n");
    ASSERT_EQ(result.status, 0) << result.output;
    std::string bytes = platform_test::ReadFile(svg);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(bytes.c_str())) << bytes;
    EXPECT_TRUE(IsUtf8(bytes));
    EXPECT_EQ(bytes.find_first_of(std::string("\x01\r", 2)), std::string::npos);

    std::vector<std::string> pages;
    for (const pugi::xpath_node& page : document.select_nodes("//g[@class='page']"))
        pages.push_back(page.node().attribute("data-page").value());
    EXPECT_EQ(pages, (std::vector<std::string>{" Sort ", " Buy ", " Config ", " Shortcuts "}));

    // "  NAME: KIND id=ID text="TEXT" ... at L,T size WxH", options as "    [I] TEXT".
    const std::regex control(R"re(  (\w+): (\w+) id=(\d+)(?: text="(.*)")?(?: ticked=(-?\d))?)re"
                             R"re((?: selected=(-?\d+))? at (\d+),(\d+) size (\d+)x(\d+))re");
    std::vector<std::string> lines = result.Lines();
    std::size_t controls = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        if (!std::regex_match(lines[i], m, control))
            continue;
        ++controls;
        std::string id = "ctl-" + (m[3] == "0" ? m[1].str() : m[3].str());
        pugi::xpath_node_set found = document.select_nodes(("//*[@id='" + id + "']").c_str());
        ASSERT_EQ(found.size(), 1u) << id;
        pugi::xml_node group = found.first().node();
        EXPECT_STREQ(group.attribute("class").value(), m[2].str().c_str()) << id;
        pugi::xml_node box = group.child("svg");
        EXPECT_EQ(std::vector<std::string>({box.attribute("x").value(), box.attribute("y").value(),
                                            box.attribute("width").value(),
                                            box.attribute("height").value()}),
                  std::vector<std::string>({m[7], m[8], m[9], m[10]}))
            << id;
        std::string text = m[4];
        if (m[6].matched) {  // a choice shows its selected option
            std::string option = "    [" + m[6].str() + "] ";
            text.clear();
            for (std::size_t k = i + 1; k < lines.size() && lines[k].rfind("    [", 0) == 0; ++k)
                if (lines[k].rfind(option, 0) == 0)
                    text = lines[k].substr(option.size());
        }
        if (m[5].matched) {  // a checkbox draws its tick
            EXPECT_EQ(group.select_nodes("svg/path").size(), m[5] == "-1" ? 1u : 0u) << id;
        }
        if (text.find_first_of("\x01\xff") == std::string::npos)
            EXPECT_EQ(std::string(box.child("text").child_value()), text) << id;
        else
            EXPECT_EQ(std::string(box.child("text").child_value()),
                      "<&>\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD end");
    }
    EXPECT_EQ(controls, 49u) << result.output;
    EXPECT_EQ(document.select_nodes("//g[starts-with(@id, 'ctl-')]").size(), controls);
}

// Keys the plug-in takes, and a key that is none, are in the profiles and errors transcripts.

// A long session keeps no history of what it showed: 4,000 sorts of the demo's main pack,
// about 138,000 confirmed moves, hold no more memory than 10 sorts. (Under the sanitizers
// freed memory is held back on purpose, so the figure means nothing there.)
TEST_F(SimProgramTest, MemoryStaysFlatOverFourThousandSorts) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
#endif
    auto sorts = [](int count) {
        std::string script;
        for (int i = 0; i < count / 2; ++i)
            script += "chat @tk title\nrun\nchat @tk value\nrun\n";
        return script;
    };
    SimResult few = RunScript(sorts(10), {"--quiet"});
    SimResult many = RunScript(sorts(4000), {"--quiet"});
    ASSERT_EQ(many.status, 0) << many.output.substr(0, 2000);
    EXPECT_EQ(many.LinesStartingWith("[Main] :tk:Sort Complete").size(), 4000u);
    EXPECT_LE(many.peakKb - few.peakKb, 2048)
        << few.peakKb << " KiB after 10 sorts, " << many.peakKb << " KiB after 4000";
}

// Errors go to standard error whole, with their control characters shown (that the script
// goes on is the errors transcript's). A script decides with "run" whether an action ends; one that
// ends with its input or with "quit" is named, and the exit status tells it apart from a finished
// session.
TEST_F(SimProgramTest, ErrorsAndAnActionStillRunningAtTheEndGoToStandardError) {
    const std::string unfinished =
        "unfinished: Sort (job 3) still runs, awaiting Mace (0x80000025); \"run\" before the "
        "end lets it finish\n";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"bo\0gus\x1b\nshow pack 0\n"s, 1,
         "error: line 1: unknown command \"bo\\x00gus\\x1b\" (help lists the commands)\n"},
        {"chat @tk title\n", 3, unfinished},
        {"chat @tk title\nquit\nrun\n", 3, unfinished},
        {"chat @tk title\nrun\n", 0, ""}};
    for (const auto& [script, status, errors] : cases) {
        SimResult result = RunScript(script, {}, true);
        EXPECT_EQ(result.status, status) << script;
        EXPECT_EQ(result.errors, errors) << script;
        EXPECT_EQ(result.output.find("error:"), std::string::npos) << script;
    }
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

// A typed line that wraps over three rows of an 80-column terminal makes way whole when
// live output arrives: up two rows to the prompt's start, cleared to the end of the screen.
TEST_F(SimTerminalTest, LiveOutputClearsEveryRowOfAWrappedTypedLine) {
    std::vector<std::string> args = SmallWorld();
    args.insert(args.end(), {"--realtime", "--latency", "3000"});
    const std::string typed = "# " + std::string(160, 'x');  // 8 + 162 columns: rows 0 to 2
    SimResult result = RunSimOnTerminal(
        args, {{"tarnik> ", "@tk title\r"}, {"tarnik> ", typed, true}, {"~ move ", "\rquit\r"}});

    std::size_t move = result.output.find("~ move ");
    ASSERT_NE(move, std::string::npos) << result.output;
    EXPECT_EQ(result.output.substr(move - 8, 8), "\r\033[2A\033[J") << result.output;
}

// "make play" (what "make run" ends with): a player who quits at the terminal while an
// action runs reads why, and make adds no error line; a script still fails with status 3.
TEST_F(SimTerminalTest, MakeRunAddsNoErrorLineToAQuitAtTheTerminal) {
    std::string build = fs::path(TARNIK_SIM_PATH).parent_path().string();
    auto make = [&](const std::string& simArgs, std::vector<TerminalStep> steps) {
        std::string line = "exec env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -s -C '" +
                           std::string(TARNIK_SOURCE_DIR) + "' play BUILD='" + build +
                           "' ARGS='--data " + Data().string() + " " + simArgs + "'";
        return RunSimOnTerminal({"-c", line}, steps, "/bin/sh");
    };
    SimResult player = make("", {{"tarnik> ", "@tk title\r"}, {"tarnik> ", "quit\r"}});
    EXPECT_EQ(player.status, 0) << player.output;
    EXPECT_NE(player.output.find("unfinished: Sort (job 3) still runs"), std::string::npos)
        << player.output;
    EXPECT_EQ(player.output.find("Error"), std::string::npos) << player.output;

    SimResult script = make("--script " + Write("quit.sim", "chat @tk title\nquit\n").string(), {});
    EXPECT_EQ(script.status, 2) << script.output;  // make's own status for a failed recipe
    EXPECT_NE(script.output.find("Error 3"), std::string::npos) << script.output;
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
