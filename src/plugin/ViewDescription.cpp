// The control panel's view description, as one constant text of the module.
#include "plugin/ViewDescription.h"

// clang-format off
const char* const kViewDescription = R"VIEW(<?xml version="1.0"?>
<view icon="8184" title="Tarnik!" width="295" height="220">
  <control progid="DecalControls.Notebook">
    <page label=" Sort ">
      <control progid="DecalControls.FixedLayout">
        <control progid="DecalControls.PushButton" ID="101" name="pbStore" left="10" top="15" width="40" height="25" text="Store"/>
        <control progid="DecalControls.StaticText" name="txt01" left="52" top="20" width="290" height="13" text="Move items from main pack to their storage pack."/>
        <control progid="DecalControls.PushButton" ID="102" name="pbSort" left="10" top="45" width="40" height="25" text="Sort"/>
        <control progid="DecalControls.Choice" ID="108" name="chSortBy" left="55" top="48" width="185" height="18" selected="0">
          <option text="Sort by Type"/>
          <option text="Sort by Value"/>
          <option text="Sort by Material"/>
          <option text="Sort by Name"/>
          <option text="Sort by Base Name"/>
          <option text="Sort by Weight"/>
        </control>
        <control progid="DecalControls.Checkbox" ID="110" name="cbReverse" left="250" top="48" width="40" height="18" text="REV"/>
        <control progid="DecalControls.PushButton" ID="103" name="pbPack" left="10" top="75" width="40" height="25" text="Pack"/>
        <control progid="DecalControls.StaticText" name="txt03" left="52" top="80" width="290" height="13" text="Move pinned items to the proper pack."/>
        <control progid="DecalControls.PushButton" ID="105" name="pbEquip" left="10" top="105" width="40" height="25" text="Equip"/>
        <control progid="DecalControls.Choice" ID="106" name="chEquip" left="55" top="108" width="185" height="18"/>
        <control progid="DecalControls.PushButton" ID="109" name="pbCram" left="10" top="135" width="40" height="25" text="Cram"/>
        <control progid="DecalControls.StaticText" name="txt09" left="52" top="140" width="290" height="13" text="Cram main pack into side packs.."/>
        <control progid="DecalControls.PushButton" ID="107" name="pbStrip" left="250" top="105" width="40" height="25" text="Strip"/>
        <control progid="DecalControls.PushButton" ID="104" name="pbHelp" left="253" top="143" width="40" height="25" text="Help"/>
      </control>
    </page>
    <page label=" Buy ">
      <control progid="DecalControls.FixedLayout">
        <control progid="DecalControls.PushButton" ID="201" name="pbAll" left="20" top="15" width="45" height="25" text="ALL" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="202" name="pbScarabs" left="66" top="15" width="45" height="25" text="Scarab" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="203" name="pbHerbs" left="112" top="15" width="45" height="25" text="Herb" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="204" name="pbPowders" left="158" top="15" width="45" height="25" text="Powder" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="205" name="pbPotions" left="20" top="42" width="45" height="25" text="Potion" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="206" name="pbTalismans" left="66" top="42" width="45" height="25" text="Talis" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="207" name="pbTapers" left="112" top="42" width="45" height="25" text="Taper" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="208" name="pbPeas" left="158" top="42" width="45" height="25" text="Pea" textcolor="0"/>
      </control>
    </page>
    <page label=" Config ">
      <control progid="DecalControls.FixedLayout">
        <control progid="DecalControls.StaticText" ID="350" name="stCfg" left="5" top="5" width="290" height="15" text="Pack configuration: No pack selected."/>
        <control progid="DecalControls.PushButton" ID="301" name="pbSetCfg" left="5" top="20" width="45" height="18" text="Set" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="302" name="pbRemoveCfg" left="60" top="20" width="45" height="18" text="Remove" textcolor="0"/>
        <control progid="DecalControls.StaticText" ID="352" name="stPin" left="5" top="45" width="290" height="15" text="Item Config: No item selected."/>
        <control progid="DecalControls.PushButton" ID="303" name="pbPin" left="5" top="60" width="45" height="18" text="Pin" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="304" name="pbUnpin" left="60" top="60" width="45" height="18" text="UnPin" textcolor="0"/>
        <control progid="DecalControls.StaticText" ID="355" name="st355" left="5" top="85" width="70" height="18" text="Equip Profile:"/>
        <control progid="DecalControls.Choice" ID="305" name="chEquipProfile" left="80" top="85" width="200" height="18"/>
        <control progid="DecalControls.PushButton" ID="306" name="pbNewProfile" left="5" top="105" width="70" height="18" text="New:" textcolor="0"/>
        <control progid="DecalControls.Edit" ID="307" name="ceNewProfile" left="80" top="105" width="200" height="18" text="[enter new profile name]" textcolor="16777215" imageportalsrc="4410"/>
        <control progid="DecalControls.PushButton" ID="308" name="pbRecord" left="15" top="125" width="40" height="18" text="Record" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="309" name="pbDelete" left="60" top="125" width="40" height="18" text="Delete" textcolor="0"/>
        <control progid="DecalControls.StaticText" ID="356" name="st355" left="118" top="125" width="30" height="18" text="Strip:"/>
        <control progid="DecalControls.PushButton" ID="311" name="pbAddStrip" left="150" top="125" width="37" height="18" text="All" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="313" name="pbAddStripJewelry" left="190" top="125" width="37" height="18" text="Jewels" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="314" name="pbAddStripWeapons" left="230" top="125" width="37" height="18" text="Weaps" textcolor="0"/>
        <control progid="DecalControls.StaticText" ID="354" name="stClear" left="155" top="150" width="250" height="18" text="Remove configs:"/>
        <control progid="DecalControls.PushButton" ID="312" name="pbRemoveAll" left="233" top="150" width="40" height="18" text="Clear!" textcolor="0"/>
        <control progid="DecalControls.StaticText" ID="360" name="stChatWindow" left="5" top="150" width="80" height="18" text="Text output to:"/>
        <control progid="DecalControls.Choice" ID="361" name="chOutputWindow" left="80" top="150" width="68" height="18" selected="0">
          <option text="Main"/>
          <option text="Chat 1"/>
          <option text="Chat 2"/>
          <option text="Chat 3"/>
          <option text="Chat 4"/>
        </control>
      </control>
    </page>
    <page label=" Shortcuts ">
      <control progid="DecalControls.FixedLayout">
        <control progid="DecalControls.PushButton" ID="401" name="pbSetHotkey" left="5" top="5" width="75" height="18" text="Set hotkey for:" textcolor="0"/>
        <control progid="DecalControls.Choice" ID="402" name="chHotkeyItem" left="80" top="5" width="200" height="18"/>
        <control progid="DecalControls.StaticText" ID="403" name="stHotkeyValue" left="10" top="25" width="250" height="18" text="Hotkey is [unassigned]"/>
        <control progid="DecalControls.Choice" ID="404" name="chHotCommand" left="80" top="50" width="200" height="18"/>
        <control progid="DecalControls.Edit" ID="405" name="edHotCommand" left="80" top="72" width="60" height="18" text="cmd" textcolor="16777215" imageportalsrc="4410"/>
        <control progid="DecalControls.Edit" ID="406" name="edHotAction" left="80" top="92" width="200" height="18" text="action" textcolor="16777215" imageportalsrc="4410"/>
        <control progid="DecalControls.PushButton" ID="407" name="pbSaveHot" left="80" top="112" width="40" height="18" text="Save" textcolor="0"/>
        <control progid="DecalControls.PushButton" ID="408" name="pbDeleteHot" left="125" top="112" width="40" height="18" text="Delete" textcolor="0"/>
      </control>
    </page>
  </control>
</view>
)VIEW";
// clang-format on
