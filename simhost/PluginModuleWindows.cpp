// Plug-in modules through COM: the host opens a single-threaded apartment on its thread,
// and CoCreateInstance finds the registered in-process server, loads it and asks its
// class factory, as the real host does.
#include <objbase.h>
#include <windows.h>

#include "simhost/PluginModule.h"

namespace sim {

namespace {

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

class ComModule final : public PluginModule {
  public:
    explicit ComModule(std::string path) : path_(std::move(path)) {}

    HRESULT CreateObject(const CLSID& clsid, REFIID iid, void** object) override {
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    }

    // COM unloads every module whose DllCanUnloadNow agrees; the module is gone when its
    // file is no longer mapped.
    bool Unload() override {
        CoFreeUnusedLibrariesEx(0, 0);
        return GetModuleHandleA(path_.c_str()) == nullptr;
    }

  private:
    std::string path_;
};

}  // namespace

PluginModules::PluginModules() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
        ready_ = false;
        notReady_ = "COM cannot be started on this thread (" + Hex(hr) + ")";
    }
}

PluginModules::~PluginModules() {
    if (ready_)
        CoUninitialize();
}

std::unique_ptr<PluginModule> PluginModules::Load(const CLSID&, const std::string& path,
                                                  std::string& why) {
    if (!ready_) {
        why = notReady_;
        return nullptr;
    }
    return std::make_unique<ComModule>(path);
}

}  // namespace sim
