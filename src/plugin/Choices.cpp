// Reading and changing the options of the panel's choice controls.
#include "plugin/Choices.h"

LONG ChoiceCount(IChoice* choice) {
    LONG count = 0;
    if (!choice || FAILED(choice->get_ChoiceCount(&count)))
        return 0;
    return count;
}

LONG SelectedIndex(IChoice* choice) {
    LONG index = -1;
    if (!choice || FAILED(choice->get_Selected(&index)))
        return -1;
    return index;
}

std::string ChoiceText(IChoice* choice, LONG index) {
    CComBSTR text;
    if (!choice || index < 0 || FAILED(choice->get_Text(index, &text)))
        return {};
    return text.ToUtf8();
}

LONG FindChoice(IChoice* choice, std::string_view text) {
    LONG count = ChoiceCount(choice);
    for (LONG index = 0; index < count; ++index)
        if (ChoiceText(choice, index) == text)
            return index;
    return -1;
}

void AppendChoice(IChoice* choice, std::string_view text) {
    if (choice)
        choice->AddChoice(CComBSTR(text));
}
