// Reading and changing the options of the panel's choice controls; a missing control or a
// failed host call reads as no options and no selection.
#pragma once

#include <string>
#include <string_view>

#include "plugin/host/Choice.h"

LONG ChoiceCount(IChoice* choice);
// The selected option's index, or -1 when nothing is selected.
LONG SelectedIndex(IChoice* choice);
// The option's text (UTF-8); empty when there is no such option.
std::string ChoiceText(IChoice* choice, LONG index);
// The index of the first option whose text equals `text` exactly, or -1.
LONG FindChoice(IChoice* choice, std::string_view text);
void AppendChoice(IChoice* choice, std::string_view text);
