// Hot commands: a name, an action text and the name of the selected object, cut from the
// input at zero bytes. On a seat reset to a fresh login the command is saved on the
// Shortcuts page and typed in the chat line. Typing "//" and the saved name always runs
// it, and an action without markers reaches the game exactly as saved. A command holding a
// character the shared file cannot hold is refused, and the player told why.
#include <string>
#include <string_view>

#include "FuzzHost.h"
#include "config/XmlDocument.h"
#include "platform/Bstr.h"

namespace {

std::string_view Part(std::string_view& text) {
    std::size_t end = text.find('\0');
    std::string_view part = text.substr(0, end);
    text = end == text.npos ? std::string_view{} : text.substr(end + 1);
    return part;
}

// The panel's boxes hold UTF-16 text: bytes that are not UTF-8 cannot be typed there.
bool Typable(std::string_view text) {
    return Utf16ToUtf8(Utf8ToUtf16(text)) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view name = Part(input);
    std::string_view action = Part(input);
    std::string_view selected = Part(input);
    if (name.empty() || name.find('\n') != name.npos || name.find(':') != name.npos)
        return 0;  // not a name the Shortcuts page can list
    if (!Typable(name) || !Typable(action) || !Typable(selected))
        return 0;

    using sim::Item;
    const sim::WorldSetup world = sim::WorldBuilder()
                                      .Main({Item(std::string(selected)).Id(0x21)})
                                      .Worn(Item("Helm").Id(0x31).Equipable(1))
                                      .Worn(Item("Ring").Id(0x34).Identified(false));
    fuzz::PlayOnSeat(world, [&](fuzz::Seat& seat) {
        sim::SimHost& host = seat.Host();
        fuzz::Check(host.SetEditText("edHotCommand", name) &&
                        host.SetEditText("edHotAction", action) && host.PressButton("pbSaveHot"),
                    "the Shortcuts page takes a command");
        if (!IsXmlText(name) || !IsXmlText(action)) {
            const std::vector<std::string> chat = host.ChatTexts();
            fuzz::Check(!chat.empty() && chat.back().ends_with(
                                             "A hot command cannot contain control characters."),
                        "a command the shared file cannot hold is refused, saying why");
            return;
        }
        host.Select(0x21);
        host.ClearRecords();

        fuzz::Check(host.EnterChat("//" + std::string(name)), "a saved command runs by its name");
        seat.Run();

        bool plain =
            action.find('<') == action.npos && (action.size() < 2 || !action.ends_with('^'));
        if (plain) {
            const std::vector<sim::GameText>& texts = host.GameTexts();
            fuzz::Check(texts.size() == 1 && texts[0].text == action,
                        "an action without markers reaches the game as saved");
        }
    });
    return 0;
}
