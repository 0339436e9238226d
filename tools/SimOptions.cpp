// Reading tarnik-sim's command line: "--name VALUE" or "--name=VALUE", and flags.
#include "SimOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool ParseCount(const std::string& text, long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

}  // namespace

SimOptionsResult ParseSimOptions(const std::vector<std::string>& args,
                                 const std::string& defaultModule) {
    SimOptionsResult result;
    SimOptions& options = result.options;
    options.module = defaultModule;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (std::size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        // The value of an option that takes one: after "=", else the next argument.
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                result.error = name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto flag = [&](bool& out) {
            if (inlineValue) {
                result.error = name + " takes no value";
                return false;
            }
            out = true;
            return true;
        };
        std::string text;
        bool ok = true;
        if (name == "--world") {
            ok = value(text);
            options.world = text;
        } else if (name == "--data") {
            ok = value(text);
            options.data = text;
        } else if (name == "--script") {
            ok = value(text);
            options.script = text;
        } else if (name == "--module") {
            ok = value(text);
            options.module = text;
        } else if (name == "--latency") {
            long long ms = 0;
            ok = value(text);
            if (ok && !ParseCount(text, ms)) {
                result.error = "--latency needs a number of milliseconds, not \"" + text + "\"";
                ok = false;
            }
            options.latencyMs = ms;
        } else if (name == "--realtime") {
            ok = flag(options.realtime);
        } else if (name == "--trace") {
            ok = flag(options.trace);
        } else if (name == "--quiet") {
            ok = flag(options.quiet);
        } else if (name == "--echo") {
            ok = flag(options.echo);
        } else if (name == "--help" || name == "-h") {
            result.help = true;
        } else {
            result.error = "unknown option \"" + args[i] + "\"";
            ok = false;
        }
        if (!ok)
            return result;
        if ((name == "--world" || name == "--data" || name == "--script" || name == "--module") &&
            text.empty()) {
            result.error = name + " needs a value";
            return result;
        }
    }
    return result;
}

std::string SimUsage() {
    return "usage: tarnik-sim [options]\n"
           "       tarnik-sim config FILE [--check]   (inspect a sortconfig.xml; config --help)\n"
           "  --world FILE    start on this JSON world file (docs/WORLDS.md), not the demo\n"
           "  --data DIR      keep the registry (DIR/registry.reg) and the drives (DIR/c/ for\n"
           "                  c:\\) here; default: a folder under the user's data folder\n"
           "  --script FILE   run the commands of FILE, then exit (\"-\" reads standard input)\n"
           "  --module PATH   the plug-in module to register and load\n"
           "  --latency MS    the game server's answer time\n"
           "  --realtime      wait in real time instead of on the virtual clock; at a\n"
           "                  terminal the game goes on while the prompt waits\n"
           "  --trace         show the plug-in's debugger output as [trace] lines\n"
           "  --quiet         no progress lines while an action runs\n"
           "  --echo          repeat each command as \"> COMMAND\" before its output\n"
           "exit status: 0 done; 1 a script command failed; 2 the game could not start;\n"
           "3 the input ended while a plug-in action still ran (it is named on standard error)\n"
           "The player's guide to Tarnik!, every action and what it says: docs/PLAYING.md\n";
}
