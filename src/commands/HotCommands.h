// Hot commands: the rule that decides which stored names the chat line can run.
#pragma once

#include <string_view>

// The chat side lower-cases the typed line before it looks a name up, so a name stored
// with capitals (written into the file by hand) can never run.
bool HotCommandNameCanRun(std::string_view name);
