// A sortconfig.xml as an older client wrote it: two characters on one server, one with
// every kind of setting, ids of 0x80000000 and above as negative numbers, and markup in
// values. The configuration tests load it; the inspector must find nothing wrong in it.
#pragma once

inline constexpr const char* kOlderClientFile =
    "<Tarnik>\n"
    "  <BLUE_HILL-Ann OutputWindow=\"Chat 1\">\n"
    "    <Hotkey command=\"Pack\" key=\"{Alt}P\"/>\n"
    "    <Item value=\"Arrow\" pack=\"1234\"/>\n"
    "  </BLUE_HILL-Ann>\n"
    "  <BLUE_HILL-Sir_O-Neil_-Jr- OutputWindow=\"Chat 2\">\n"
    "    <EquipProfile name=\"Town Clothes\">\n"
    "      <Task action=\"3\" item=\"0\" name=\"StripAll\"/>\n"
    "    </EquipProfile>\n"
    "    <EquipProfile name=\"Hunt\">\n"
    "      <Task action=\"3\" item=\"0\" name=\"StripAll\"/>\n"
    "      <Task action=\"1\" item=\"-2147483000\" name=\"Equip Iron Axe\"/>\n"
    "    </EquipProfile>\n"
    "    <Hotkey command=\"Store\" key=\"{Ctrl}S\"/>\n"
    "    <Hotkey command=\"Hunt\" key=\"{Shift}{Alt}H\"/>\n"
    "    <Item value=\"Mana Stone\" pack=\"-2147483646\"/>\n"
    "    <Item value=\"Pyreal\" pack=\"-2147483645\"/>\n"
    "    <Item value=\"Scarab &amp; Co\" pack=\"-2147483646\"/>\n"
    "    <Pin value=\"-2147483647\" pack=\"-2147483646\"/>\n"
    "    <Pin value=\"-2147480000\" pack=\"-2147483645\"/>\n"
    "    <HotCommand cmd=\"hi\" action=\"/e waves^\"/>\n"
    "    <HotCommand cmd=\"buff\" action=\"/s &lt;selected&gt; buff\"/>\n"
    "  </BLUE_HILL-Sir_O-Neil_-Jr->\n"
    "</Tarnik>\n";
