// The command line of tarnik-sim: its options and their reading.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct SimOptions {
    std::optional<std::filesystem::path> world;  // a JSON world file; the demo world when absent
    std::optional<std::filesystem::path> data;   // registry and mapped drives
    std::optional<std::string> script;           // "-" for standard input
    std::string module;                          // the plug-in module to register and load
    std::optional<long long> latencyMs;
    bool realtime = false;
    bool trace = false;
    bool quiet = false;
    bool echo = false;
};

// Failed when `error` is not empty; `help` asks for the usage text.
struct SimOptionsResult {
    SimOptions options;
    std::string error;
    bool help = false;
};

// Reads the arguments after the program name; `module` starts as `defaultModule`.
[[nodiscard]] SimOptionsResult ParseSimOptions(const std::vector<std::string>& args,
                                               const std::string& defaultModule);

std::string SimUsage();
