// The commands subsystem owns what the player types outside the panel: the "@tk" chat
// commands and their help, hotkeys, and hot commands (HotCommands.cpp). Its
// operations are CTarnik's raw_ChatText and Help (ChatCommands.cpp); the hotkeys
// answer in CTarnik::WindowMessage. Its pure helpers read a command line (the token rule
// and the arguments of "move" and "equip"), form and recognise key texts, and tell which
// hot-command names can run.
#pragma once

#include "commands/ChatArgs.h"
#include "commands/HotCommands.h"
#include "commands/Hotkeys.h"
#include "commands/Tokenizer.h"
