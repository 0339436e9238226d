// The "@tk" chat commands: recognising a chat line, running its command, and the help text.
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
constexpr const char* kAllSortUsage =
    "  @tk allsort [type|value|mater|title|base|burden] - Sorts every pack.";

void SetEat(VARIANT_BOOL* eat, bool value) {
    if (eat)
        *eat = value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

HRESULT CTarnik::raw_ChatText(BSTR text, VARIANT_BOOL* eat) {
    Log(TRC, "raw_ChatText");
    std::string line = BstrToUtf8(text);
    // Every way out but three logs the handler's name again.
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
    const std::string code(word.substr(0, 2));
    SetEat(eat, true);

    if (code == "so") {
        EndJob();
        SortFromChoice();
    } else if (code == "ma") {
        Sort(SORT_MATERIAL);
    } else if (code == "ty") {
        Sort(SORT_TYPE);
    } else if (code == "bu") {
        Sort(SORT_WEIGHT);
    } else if (code == "va") {
        Sort(SORT_VALUE);
    } else if (code == "ti") {
        Sort(SORT_NAME);
    } else if (code == "he") {
        Help();
    } else if (code == "da") {
        ShowEquipList();
    } else if (code == "de") {
        m_Log.SetThreshold(TRC);
        WriteToChat("Debug mode ON");
    } else if (code == "no") {
        m_Log.SetThreshold(ALL);
        WriteToChat("Debug mode OFF");
    } else if (code == "mo") {
        MoveArgs move = ParseMoveArgs(tokens, m_Me);
        if (!move.complete) {
            WriteToChat("Missing count or destination in move command");
            return S_OK;
        }
        Move(move.count, move.fromPack, move.toPack);
    } else if (code == "eq") {
        std::optional<std::string> name = ParseEquipName(tokens);
        if (!name) {
            Log(INF, "Delimiter not found");
        } else {
            Log(INF, "Cmd Line: Equip %s", name->c_str());
            Equip(*name);
        }
    } else if (code == "st") {
        Store();
    } else if (code == "pa") {
        Pack();
    } else if (code == "cr") {
        Cram();
    } else if (code == "na") {
        Strip('A');
    } else if (code == "to") {
        Equip(std::string(BuiltInProfiles[0]));
    } else if (code == "fi") {
        Equip(std::string(BuiltInProfiles[1]));
    } else if (code == "se") {
        SelectNextCorpse();
    } else if (code == "op") {
        OpenNextCorpse();
    } else if (code == "wc") {
        WritePackContents();
    } else if (code == "me") {
        Merge();
    } else if (code == "al") {
        std::string_view word = tokens.Next(kCommandDelimiters);
        if (word.empty()) {
            AllSortFromChoice();
        } else if (std::optional<std::int32_t> type = SortTypeOfWord(word)) {
            AllSort(*type);
        } else {
            WriteToChat("%s", kAllSortUsage);
        }
    } else if (code == "wh") {
        Where(ParseEquipName(tokens).value_or(std::string()));
    } else {
        SetEat(eat, false);
    }
    return leave();
}

void CTarnik::Help() {
    Log(INF, "Help");
    WriteToChat("Tarnik! understands the following text commands:");
    WriteToChat("  @tk store - Equivalent to pushing store button.");
    WriteToChat("  @tk sort  - Equivalent to pushing sort button.");
    WriteToChat("  @tk pack  - Equivalent to pushing pack button.");
    WriteToChat("  @tk cram  - Equivalent to pushing cram button.");
    WriteToChat("  @tk naked - Equivalent to pushing strip button.");
    WriteToChat("  @tk town  - Equips your town clothes.");
    WriteToChat("  @tk fight - Equips your fighting clothes.");
    WriteToChat("  @tk select- Select next monster corpse");
    WriteToChat("  @tk open  - Open next monster corpse");
    WriteToChat("  @tk mater - Sort by material");
    WriteToChat("  @tk value - Sort by value");
    WriteToChat("  @tk title - Sort by name");
    WriteToChat("  @tk type  - Sort by type");
    WriteToChat("  @tk burden- Sort by burden");
    WriteToChat("  @tk equip Profile Name - equips profile 'Profile Name'.");
    WriteToChat("  @tk move count toPack fromPack - moves top count items from fromPack to toPack");
    WriteToChat("     If fromPack is not specified, moves from main pack. Main pack is pack 0.");
    WriteToChat("  @tk help  - Displays this help.");
    WriteToChat(
        "The commands can be abbreviated to the first two characters. '@tk st' is equivalent to "
        "'@tk store'");
    WriteToChat("Note: the @tarnik command still works for backward compatability.");
    WriteToChat("  @tk merge - Merges the partial stacks of each item in each pack.");
    WriteToChat("%s", kAllSortUsage);
    WriteToChat("  @tk where text - Lists where items whose names contain text are.");
    WriteToChat("Configuration stored at %s", g_ConfigPath.c_str());
}
