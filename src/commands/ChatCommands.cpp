// The "@tk" chat commands: recognising a chat line, running its command, and the help text.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "commands/Commands.h"
#include "config/BuiltInNames.h"
#include "config/ConfigPath.h"
#include "platform/Ascii.h"
#include "plugin/Tarnik.h"

namespace {

constexpr std::string_view kCommandDelimiters = "/@ ";
constexpr std::string_view kCodeDelimiters = "% #";

void SetEat(VARIANT_BOOL* eat, bool value) {
    if (eat)
        *eat = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// A command's handler gets the rest of the line, after the command word.
using ChatHandler = void (*)(CTarnik&, CTokenizer&);

void MoveCommand(CTarnik& tarnik, CTokenizer& tokens) {
    MoveArgs move = ParseMoveArgs(tokens, tarnik.m_Me);
    if (!move.complete) {
        tarnik.WriteToChat("Missing count or destination in move command");
        return;
    }
    tarnik.Move(move.count, move.fromPack, move.toPack);
}

void EquipCommand(CTarnik& tarnik, CTokenizer& tokens) {
    std::optional<std::string> name = ParseEquipName(tokens);
    if (!name) {
        tarnik.Log(LogLevel::INF, "Delimiter not found");
        return;
    }
    tarnik.Log(LogLevel::INF, "Cmd Line: Equip %s", name->c_str());
    tarnik.Equip(*name);
}

template <std::size_t Profile>
void EquipBuiltIn(CTarnik& tarnik, CTokenizer&) {
    tarnik.Equip(std::string(BuiltInProfiles[Profile]));
}

void DebugOn(CTarnik& tarnik, CTokenizer&) {
    tarnik.m_Log.SetThreshold(LogLevel::TRC);
    tarnik.WriteToChat("Debug mode ON");
}

void DebugOff(CTarnik& tarnik, CTokenizer&) {
    tarnik.m_Log.SetThreshold(LogLevel::ALL);
    tarnik.WriteToChat("Debug mode OFF");
}

struct ChatCommand {
    std::string_view code;  // the first two letters of the word after "@tk"
    ChatHandler run;
    std::string_view help;  // its lines of "@tk help", '\n' between two; empty: not listed
};

// The "@tk" commands, in the order "@tk help" lists them.
constexpr ChatCommand kChatCommands[] = {
    {"st", &Run<&CTarnik::Store>, "  @tk store - Equivalent to pushing store button."},
    {"so", &Run<&CTarnik::SortFromChoice>, "  @tk sort  - Equivalent to pushing sort button."},
    {"pa", &Run<&CTarnik::Pack>, "  @tk pack  - Equivalent to pushing pack button."},
    {"cr", &Run<&CTarnik::Cram>, "  @tk cram  - Equivalent to pushing cram button."},
    {"na", &Run<&CTarnik::Strip, 'A'>, "  @tk naked - Equivalent to pushing strip button."},
    {"to", &EquipBuiltIn<0>, "  @tk town  - Equips your town clothes."},
    {"fi", &EquipBuiltIn<1>, "  @tk fight - Equips your fighting clothes."},
    {"se", &Run<&CTarnik::SelectNextCorpse>, "  @tk select- Select next monster corpse"},
    {"op", &Run<&CTarnik::OpenNextCorpse>, "  @tk open  - Open next monster corpse"},
    {"ma", &Run<&CTarnik::Sort, SORT_MATERIAL>, "  @tk mater - Sort by material"},
    {"va", &Run<&CTarnik::Sort, SORT_VALUE>, "  @tk value - Sort by value"},
    {"ti", &Run<&CTarnik::Sort, SORT_NAME>, "  @tk title - Sort by name"},
    {"ty", &Run<&CTarnik::Sort, SORT_TYPE>, "  @tk type  - Sort by type"},
    {"bu", &Run<&CTarnik::Sort, SORT_WEIGHT>, "  @tk burden- Sort by burden"},
    {"eq", &EquipCommand, "  @tk equip Profile Name - equips profile 'Profile Name'."},
    {"mo", &MoveCommand,
     "  @tk move count toPack fromPack - moves top count items from fromPack to toPack\n"
     "     If fromPack is not specified, moves from main pack. Main pack is pack 0."},
    {"he", &Run<&CTarnik::Help>, "  @tk help  - Displays this help."},
    {"da", &Run<&CTarnik::ShowEquipList>, ""},
    {"de", &DebugOn, ""},
    {"no", &DebugOff, ""},
    {"wc", &Run<&CTarnik::WritePackContents>, ""},
};

}  // namespace

HRESULT CTarnik::raw_ChatText(BSTR text, VARIANT_BOOL* eat) {
    Log(TRC, "raw_ChatText");
    std::string line = BstrToUtf8(text);
    // Every way out but two logs the handler's name again.
    auto leave = [this] {
        Log(TRC, "raw_ChatText");
        return S_OK;
    };

    if (!PointersValid())
        return leave();
    if (line.empty() || (line[0] != '/' && line[0] != '@'))
        return leave();
    line = ToLowerAscii(std::move(line));

    if (line.starts_with("//")) {
        auto found = m_HotCommands.find(line.substr(2));
        if (found != m_HotCommands.end()) {
            m_PendingHotCommand = found->second;
            SendHotCommand();
            SetEat(eat, true);
        }
        return S_OK;
    }

    CTokenizer tokens(line);
    const std::string command(tokens.Next(kCommandDelimiters));
    Log(TRC, "Cmdline command: %s", command.c_str());
    if (command == "tarnik" && m_Job == JOB_NONE) {
        Store();
        SetEat(eat, true);
    }
    if (command != "tk")
        return leave();

    std::string_view word = tokens.Next(kCodeDelimiters);
    if (word.empty()) {
        WriteToChat("Invalid Tarnik command.");
        SetEat(eat, true);
        return S_OK;
    }
    const std::string_view code = word.substr(0, 2);
    const auto* found = std::find_if(std::begin(kChatCommands), std::end(kChatCommands),
                                     [&](const ChatCommand& row) { return row.code == code; });
    const bool known = found != std::end(kChatCommands);
    SetEat(eat, known);
    if (known)
        found->run(*this, tokens);
    return leave();
}

void CTarnik::Help() {
    Log(INF, "Help");
    WriteToChat("Tarnik! understands the following text commands:");
    for (const ChatCommand& command : kChatCommands) {
        std::string_view lines = command.help;
        while (!lines.empty()) {
            std::string_view line = lines.substr(0, lines.find('\n'));
            WriteToChat("%.*s", static_cast<int>(line.size()), line.data());
            lines.remove_prefix(std::min(lines.size(), line.size() + 1));
        }
    }
    WriteToChat(
        "The commands can be abbreviated to the first two characters. '@tk st' is equivalent to "
        "'@tk store'");
    WriteToChat("Note: the @tarnik command still works for backward compatability.");
    WriteToChat("Configuration stored at %s", g_ConfigPath.c_str());
}
