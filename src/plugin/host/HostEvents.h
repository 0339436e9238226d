// Ids of the host's event interfaces and type libraries, and the dispids of the events
// the plug-in sinks. These values are the host's published ones and bind any substitute.
#pragma once

#include "platform/Guid.h"
#include "platform/WinTypes.h"

namespace host {

// Event interfaces.
inline constexpr IID DIID_ICommandEvents = MakeGuid("f029d3a1-29af-45ef-927e-729fedd87403");
inline constexpr IID DIID_IChoiceEvents = MakeGuid("763e36a3-389c-42eb-a5f3-c208d028f9ab");
inline constexpr IID DIID_IEchoEvents2 = MakeGuid("6c9bcc85-bad0-4706-9cc5-d491e43f81c4");
inline constexpr IID DIID_IViewEvents = MakeGuid("4b7b19d5-61a2-4ab0-8b1b-381a303a937f");
inline constexpr IID DIID_IACHooksEvents = MakeGuid("eb282fe5-7170-4a37-a26e-92af36385d2c");
inline constexpr IID DIID_IWorldEvents = MakeGuid("175f99f1-b937-47c5-846e-cacbb986afd9");
inline constexpr IID DIID_ICharacterStatsEvents = MakeGuid("0b60f187-13cd-4e35-b8a2-fe128f05ca6b");

// Dispids, with the arguments each event carries, in order.
inline constexpr LONG DISPID_BUTTON_ACCEPTED = 4;  // (LONG control id)
inline constexpr LONG DISPID_CHOICE_CHANGE = 6;    // (LONG control id, LONG index)
inline constexpr LONG DISPID_ECHO_MESSAGE = 1;     // (IMessage2 as VT_UNKNOWN)
inline constexpr LONG DISPID_VIEW_ACTIVATE = 8;    // ()
inline constexpr LONG DISPID_HOOKS_CHAT_TEXT = 3;  // (BSTR text, VARIANT_BOOL* eat)
inline constexpr LONG DISPID_HOOKS_SELECTED = 5;   // (LONG object id)
inline constexpr LONG DISPID_WORLD_CREATED = 1;    // (IWorldObject as VT_UNKNOWN)
inline constexpr LONG DISPID_WORLD_RELEASED = 2;   // (IWorldObject as VT_UNKNOWN)
inline constexpr LONG DISPID_CHARACTER_KNOWN = 1;  // (LONG character id)
inline constexpr LONG DISPID_CHARACTER_LOGIN = 4;  // ()

// Names of the host's filter objects.
inline constexpr const char* kWorldFilterName = "DecalFilters.World";
inline constexpr const char* kCharacterStatsName = "DecalFilters.CharacterStats";
inline constexpr const char* kEchoFilterName = "DecalFilters.EchoFilter2";

}  // namespace host
