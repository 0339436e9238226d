// The configuration inspector: "tarnik-sim config FILE [--check]" lists what the plug-in
// reads from a sortconfig.xml for every character, and names what it would refuse, repair
// or never use. It reads the file through the plug-in's own document adapter and never
// writes it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

struct ConfigInspection {
    bool document = false;                // the text is a well-formed document
    std::vector<std::string> characters;  // the names of the root's elements, in order
    std::vector<std::string> listing;     // what the plug-in reads, character by character
    // "FILE:LINE: CHARACTER: what the plug-in does", in the order of their lines.
    std::vector<std::string> problems;
};

// Inspects the text of a sortconfig.xml; `file` names it in the problems.
[[nodiscard]] ConfigInspection InspectConfig(std::string_view text, const std::string& file);

// Runs the inspector on the arguments after "config" and returns the exit status: 0 done,
// 1 problems found under --check (or a file that is no document at all), 2 a usage error
// or a file that cannot be read.
int RunConfigCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

std::string ConfigUsage();
