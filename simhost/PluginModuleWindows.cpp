// Plug-in modules through COM: the host opens a single-threaded apartment on its thread,
// and CoCreateInstance finds the registered in-process server, loads it and asks its
// class factory, as the real host does.
#include <objbase.h>
#include <windows.h>

#include "platform/Text.h"
#include "simhost/PluginModule.h"

namespace sim {

namespace {

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
    if (FAILED(hr))
        notReady_ = "COM cannot be started on this thread (" +
                    HexText(static_cast<std::uint32_t>(hr)) + ")";
}

PluginModules::~PluginModules() {
    if (notReady_.empty())
        CoUninitialize();
}

std::unique_ptr<PluginModule> PluginModules::Load(const CLSID&, const std::string& path,
                                                  std::string& why) {
    if (!notReady_.empty()) {
        why = notReady_;
        return nullptr;
    }
    return std::make_unique<ComModule>(path);
}

}  // namespace sim
