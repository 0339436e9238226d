// CTarnik, the plug-in object: all of the plug-in's state, and its operations, whose
// definitions live in the folder of the subsystem that owns them; each folder's own
// header (commands/Commands.h, organise/Organise.h, ...) names them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ComObject.h"
#include "platform/ConnectionPoint.h"
#include "platform/TypeInfo.h"
#include "plugin/Controls.h"
#include "plugin/Identity.h"
#include "plugin/Log.h"
#include "plugin/Types.h"
#include "plugin/host/CharacterStats.h"
#include "plugin/host/Checkbox.h"
#include "plugin/host/Choice.h"
#include "plugin/host/EchoFilter.h"
#include "plugin/host/Edit.h"
#include "plugin/host/Hooks.h"
#include "plugin/host/Plugin.h"
#include "plugin/host/PushButton.h"
#include "plugin/host/Site.h"
#include "plugin/host/StaticText.h"
#include "plugin/host/View.h"
#include "plugin/host/WorldFilter.h"

class CXmlDocument;

// Every method runs on the host's one thread, inside a host callback or the step timer.
// The state is public so that each subsystem's operations and the tests can reach it.
class CTarnik : public ComObject<ITarnik, IPlugin2, IWindowsMessageSink> {
  public:
    using enum LogLevel;  // Log(TRC, ...) in every operation

    // With an outer unknown the object is aggregated: the IUnknown methods of all its
    // interfaces go to the outer object, which owns it (see CTarnikClassFactory in
    // plugin/Server.cpp).
    explicit CTarnik(IUnknown* outer = nullptr);
    ~CTarnik() override;

    // ---- COM: IUnknown, IDispatch and ITarnik (plugin/Tarnik.cpp)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // The object's own answer, whether aggregated or not.
    HRESULT InternalQueryInterface(REFIID riid, void** ppv);
    IUnknown* const m_pOuter;  // not counted: the outer object owns this one
    // Dispatch goes through the registered type library where the system keeps one, else
    // through the description in plugin/TypeLib.cpp.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) override;
    HRESULT STDMETHODCALLTYPE DoCommand(BSTR command) override;
    HRESULT STDMETHODCALLTYPE get_IsBusy(VARIANT_BOOL* busy) override;

    // ---- Lifecycle and event wiring (plugin/Lifecycle.cpp)
    HRESULT STDMETHODCALLTYPE Initialize(IPluginSite2* site) override;
    HRESULT STDMETHODCALLTYPE Terminate() override;
    // Fails, leaving nothing connected, when a source offers no connection point.
    [[nodiscard]] HRESULT SetupEvents();
    void TeardownEvents();
    bool PointersValid();
    void OnCharacterKnown(LONG id);
    void OnLoginComplete();  // OnCharacterLogin, then pbRecord's text colour

    // ---- Hotkeys (commands/Hotkeys.cpp)
    // Called by the host for every message of the game window; must stay cheap for the
    // messages that are no hotkey.
    HRESULT STDMETHODCALLTYPE WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            VARIANT_BOOL* eat) override;
    HRESULT STDMETHODCALLTYPE WindowMessageEnd(HWND, UINT, WPARAM, LPARAM, VARIANT_BOOL*) override {
        return S_OK;
    }
    void AssignHotkey(const std::string& key, VARIANT_BOOL* eat);
    void SetHotkey();
    void onHotkeyChoice(LONG index);
    // Starts the fixed action of that name, or plays the profile of that name.
    void RunHotkeyAction(const std::string& action);

    // ---- Logging and chat output (plugin/ChatOutput.cpp)
    void Log(LogLevel level, const char* format, ...) const TARNIK_PRINTF(3, 4);
    void WriteToChat(const char* format, ...) TARNIK_PRINTF(2, 3);
    void onOutputWindowChoice(LONG index);
    void SendText(const std::string& text);
    void Split(LONG count);

    // ---- Job scheduler (plugin/Scheduler.cpp)
    // A one-shot step timer: fires once, on the host thread, and calls OnTimer of this
    // object; it is killed when the object goes, so it never outlives it.
    void ArmTimer(UINT intervalMs);
    static void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
    void OnTimer();
    // The one way a job starts: the running job is abandoned (EndJob), and `job` runs. With
    // firstStepMs, its first step comes after that many milliseconds; an EndJob before then
    // cancels it. Without, the caller runs the step, or the job awaits the server.
    void StartJob(JobCode job, UINT firstStepMs = 0);
    // The one path for a step that has asked the host for an item action: the job waits
    // for the server's answer on `item`; without one within the time-out it ends, saying so.
    void AwaitConfirmation(ObjectId item, JobCode job);
    // The awaited answer came: the deadline is off and the next step runs after the interval.
    void StepAfterConfirmation(UINT intervalMs);
    // No job runs any more (finished, failed or abandoned): nothing is awaited either.
    void EndJob();
    void OnConfirmationDeadline(UINT_PTR id);
    UINT_PTR ArmOwnTimer(UINT intervalMs, bool deadline);
    void KillOwnTimer(UINT_PTR id);
    void KillOwnTimers();

    // ---- Control panel (plugin/Panel.cpp)
    // Fails, leaving nothing bound, when the view lacks a control or its interface.
    [[nodiscard]] HRESULT SetupControls();
    void TeardownControls();
    void onButton(LONG id);
    void onChoice(LONG id, LONG index);
    void OnActivate();
    void OnSelectedChanged(LONG id);

    // ---- Chat commands (commands/ChatCommands.cpp)
    HRESULT raw_ChatText(BSTR text, VARIANT_BOOL* eat);
    void Help();

    // ---- Hot commands (commands/HotCommands.cpp)
    // Expands m_PendingHotCommand and hands it to the game; while the armor list awaits
    // identification data it runs again as the step of JOB_HOTCOMMAND.
    void SendHotCommand();
    void onHotCommandChoice(LONG index);
    void SaveHotCommand();
    void DeleteHotCommand();
    // The option of chHotCommand that lists this command name, or -1.
    LONG FindHotCommand(const std::string& name);

    // ---- Inventory (inventory/Inventory.cpp, inventory/Failures.cpp)
    void SetPacks();
    bool PackHasRoom(ObjectId pack, const OleString& name, LONG count);
    // Selects the item and asks the host to move it; the job then awaits the server's
    // confirmation. False when the host refused: the job has ended with a chat line, and
    // the calling step must stop.
    [[nodiscard]] bool RequestMove(ObjectId item, ObjectId container, LONG slot, bool merge,
                                   JobCode job);
    // Asks the host to use the item on the character, which puts it on; the job then
    // awaits the server's "WearItem". False when the host refused, as for RequestMove.
    [[nodiscard]] bool RequestWear(ObjectId item, JobCode job);
    // The host refused a request for `item`: no confirmation will come, so `job` ends
    // with a chat line saying what the game would not `verb`.
    void EndRefusedJob(ObjectId item, JobCode job, const char* verb);
    void DisplayFailures(const std::string& verb);
    // Asks the host to use the item on the character (a kit, a drink, a corpse to open);
    // nothing is awaited. False, with a trace line, when the host refused.
    bool UseOnCharacter(ObjectId item);
    // "@tk wc": the names of everything carried, in a text file named after the character
    // (inventory/PackReport.cpp).
    void WritePackContents();

    // ---- Sorting (organise/Sort.cpp)
    void Sort(std::int32_t type);
    void SortFromChoice();
    void SortNext();
    enum class SortStepResult { Moved, Done, Refused, KeptChanging, Broken };
    // One step of the sort of m_SortPack as a step of `job`; Done, Refused and
    // KeptChanging leave the chat lines and the ending of the job to the caller.
    SortStepResult SortStep(JobCode job);
    // Files the items of m_SortPack by slot with their m_SortType keys; false when the
    // pack cannot be sorted (no view, a gap, two items on one slot, a slot beyond 101).
    bool FileSortPack();
    // The left member of the last out-of-order neighbour pair up to `last`, or -1.
    std::int32_t LastOutOfOrder(std::int32_t last, bool rev) const;

    // ---- Organising (organise/Pins.cpp, Store.cpp, Cram.cpp, Move.cpp)
    // The entry points buttons, chat codes and hotkeys call; each abandons a running job.
    void Store();
    void Pack();
    void Cram();
    void Pin();
    void UnPin();
    void ShowPacks();
    void Config();
    void RemConfig();
    void ClearAll();
    void RemoveCurPack();
    void AddIfNew(const PackItem& entry);
    void StoreNext();
    // True when the item's name is configured; a move, when one was asked for, leaves
    // m_Job at JOB_STORE (or at 0 when the host refused it).
    bool StoreAnItem(IWorldObject* item, bool fullStacksOnly);
    void PackNext();
    void CramNext();
    void Move(std::int32_t count, ObjectId from, ObjectId to);
    void MoveNext();
    // Merges the partial stacks of each name inside each container (organise/Merge.cpp).
    void Merge();
    void MergeNext();
    // Sorts the main pack, then every side pack, as one job (organise/AllSort.cpp).
    void AllSort(std::int32_t type);
    void AllSortFromChoice();
    void AllSortNext();
    // Starts sorting the next pack of m_AllSortPacks; false when none is left.
    bool AllSortNextPack();
    // Lists where items whose names contain `text` are, here and in the other characters'
    // pack-contents reports; moves nothing (inventory/Find.cpp).
    void Where(const std::string& text);
    void WhereSelected();

    // ---- Server messages and equip recording (equip/ServerMessages.cpp)
    void OnServerMessage(IMessage2* message);
    void WearItem(IMessage2* message);
    void InsertInvItem(IMessage2* message);
    void StackAdjusted(IMessage2* message);
    void CreateEquipList();
    void AddEquipList(ObjectId item);
    bool IsInEquipList(ObjectId item) const;
    void RemoveFromEquipList(ObjectId item);
    void ShowEquipList();

    // ---- Armor list (equip/ArmorList.cpp)
    // The ids ("%x ") of the worn armor that takes enchantments. False when identification
    // data was missing and has been asked for: the caller tries again later.
    bool ArmorList(std::string& text);

    // ---- Equipment profiles (equip/Profiles.cpp)
    void NewProfile();
    LONG FindEquip(const std::string& name);
    void DeleteProfile();
    void RemoveFromChoice(IChoice* choice, const std::string& name);
    void Record();
    void WriteProfile();
    // Fills m_Actions from the stored profile; false (with a chat line) when none matches.
    bool ReadProfile(const std::string& name);

    // ---- Equip playback and strip (equip/Playback.cpp)
    void Strip(char kind);
    void StartStrip(char kind);
    void AddStrip(char kind);
    void Stripping();
    enum class StripResult { Moved, NothingLeft, Refused };
    // Puts one worn item of m_StripKind away as a step of `job`.
    StripResult StripOne(JobCode job);
    void EquipButton();
    void Equip(const std::string& name);
    void EquipNext();
    void EndPlayback();

    // ---- Consumables (field/Consumables.cpp)
    void Heal();
    void UseStaminaElixir();
    void UseGem();

    // ---- Corpse tracking (field/Corpses.cpp)
    // Selects the nearest corpse not picked in this cycle; 0 when none can be picked.
    ObjectId SelectNextCorpse();
    void OpenNextCorpse();
    // World filter events: corpses enter and leave m_Corpses.
    void OnObjectCreated(IWorldObject* object);
    void OnObjectReleased(IWorldObject* object);

    // ---- Configuration (config/Config.cpp)
    void OnCharacterLogin();
    void LoadConfig();
    // Both return whether the file was written; a caller that told the player of a
    // change says, when it was not, that it is not saved and why (NotSaved).
    SaveResult SaveConfig();
    SaveResult WriteConfigFile();
    void NotSaved(const std::string& change, const SaveResult& result);

    // ================= State, in declaration order =================
    CComPtr<IPluginSite> m_pSite1;  // "PluginSite1"
    CComPtr<IView> m_pView;
    CComPtr<IPluginSite2> m_pSite;
    CComPtr<IACHooks> m_pHooks;

    // The 42 bound controls: m_pbStore, m_pbPack, ... one per row of plugin/Controls.def.
#define TARNIK_CONTROL(id, name, Kind) CComPtr<I##Kind> m_##name;
#include "plugin/Controls.def"

    CComPtr<IWorld> m_pWorld;
    CComPtr<ICharacterStats> m_pCharStats;
    CComPtr<IUnknown> m_pEcho;  // EchoFilter2
    std::unique_ptr<CXmlDocument> m_ConfigDoc;
    CLog m_Log;

    ObjectId m_Me = 0;
    ObjectId m_SortPack = 0;
    ObjectId m_SelectedPack = 0;
    ObjectId m_SelectedObject = 0;
    char m_StripKind = 0;
    JobCode m_Job = JOB_NONE;
    std::int32_t m_OutputWindow = 1;
    ObjectId m_AwaitedItem = 0;
    UINT_PTR m_ConfirmationDeadline = 0;  // the pending time-out of the awaited item, or 0
    UINT_PTR m_FirstStep = 0;             // the pending first step of the job started, or 0
    std::string m_CharacterKey;
    std::string m_CharacterPath;
    std::string m_ItemPath;
    std::string m_ProfilePath;
    std::string m_OutputWindowName = "Main";
    bool m_CannotPin = true;
    std::int32_t m_SortLast = 0;
    std::int32_t m_SortType = SORT_TYPE;
    std::int32_t m_SortRereads = 0;  // times this sort found the pack changed under it
    bool m_SortMoved = false;        // a move was issued since the pack was last read
    bool m_PackMissingShown = false;
    bool m_Recording = false;
    bool m_HotkeyCapture = false;
    bool m_Stripping = false;
    bool m_Initialized = false;
    bool m_SaveFailureShown = false;  // the chat said the settings could not be saved
    std::int32_t m_EquipPos = 0;
    std::int32_t m_MoveRemaining = 0;
    std::int32_t m_MergeMoves = 0;         // moves this merge has made
    std::int32_t m_MergeBudget = 0;        // moves the packs needed when the merge began
    ObjectId m_MergeTarget = 0;            // the stack the awaited merge move fills
    std::int32_t m_SortMoves = 0;          // moves made in the pack being sorted
    std::vector<ObjectId> m_AllSortPacks;  // the packs an all-pack sort has yet to sort
    ObjectId m_MoveFrom = 0;
    ObjectId m_MoveTo = 0;
    std::string m_PendingHotCommand;  // the action text of the hot command being sent
    std::optional<std::vector<EquipAction>> m_Actions;  // present while recording or playing
    std::vector<PackItem> m_PackConfig;
    std::map<ObjectId, Corpse> m_Corpses;
    std::vector<SortEntry> m_SortEntries;
    std::map<ObjectId, ObjectId> m_Pins;
    std::map<std::string, std::string> m_Failures;
    std::map<std::string, std::string> m_Hotkeys;
    std::map<std::string, std::string> m_HotCommands;
    std::vector<ObjectId> m_EquipList;
    std::vector<ObjectId> m_PackList;

    // The 38 event sinks, in the order they are advised (plugin/Lifecycle.cpp).
    std::vector<CComPtr<CDispEventSink>> m_Sinks;
    // ITarnik's type information from the registered library, looked up once; null where
    // there is none.
    CComPtr<ITypeInfo> TypeInfo();
    CComPtr<ITypeInfo> m_TypeInfo;
    bool m_TypeInfoLooked = false;
};

// Creates a plain (not aggregated) plug-in object, holding one reference.
CComPtr<CTarnik> CreateTarnik();

// The handler of a table row (hotkeys, chat commands): calls a member of the plug-in with
// fixed arguments, so that every row of a table has the table's handler type, whatever the
// action takes; what else the table passes (`Passed`) goes unused.
template <auto Action, auto... Args, class... Passed>
void Run(CTarnik& tarnik, Passed&...) {
    (tarnik.*Action)(Args...);
}
