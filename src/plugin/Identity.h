// The plug-in's COM identity: class, type library, automation interface, ProgIDs.
#pragma once

#include "platform/Dispatch.h"

inline constexpr CLSID CLSID_Tarnik = MakeGuid("70dde3ae-5add-4003-9600-c2f6830d7670");
inline constexpr GUID LIBID_TARNIKPLGLib = MakeGuid("70dd2ee7-a09c-4ed6-b0f9-bce4e1332fa8");
inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;
inline constexpr const char* kTypeLibHelp = "Tarnik 1.0 Type Library";
inline constexpr const char* kClassHelp = "Tarnik Class";
inline constexpr const char* kProgId = "DECAL_KMW.Tarnik.1";
inline constexpr const char* kVersionIndependentProgId = "DECAL_KMW.Tarnik";
inline constexpr const char* kPluginDisplayName = "Tarnik!";
inline constexpr const char* kProjectName = "TarnikPlg";  // string table, id 100

inline constexpr DISPID DISPID_DoCommand = 1;
inline constexpr DISPID DISPID_IsBusy = 2;

// The automation interface (dual). Slots after IDispatch: DoCommand, then IsBusy.
struct ITarnik : IDispatch {
    static constexpr IID iid = MakeGuid("70ddca5e-c1fc-492d-a37c-d628727e4367");
    using Base = IDispatch;
    virtual HRESULT STDMETHODCALLTYPE DoCommand(BSTR command) = 0;         // "method DoCommand"
    virtual HRESULT STDMETHODCALLTYPE get_IsBusy(VARIANT_BOOL* busy) = 0;  // "property IsBusy"

  protected:
    ~ITarnik() = default;
};
