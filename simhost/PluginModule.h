// A plug-in's in-process module as the host holds it. On the stand-in the host loads the
// registered InprocServer32 file itself and asks its class factory; on Windows COM does
// both (CoCreateInstance), in the apartment the host opened for its thread.
#pragma once

#include <memory>
#include <string>

#include "platform/Guid.h"
#include "platform/Unknown.h"

namespace sim {

class PluginModule {
  public:
    virtual ~PluginModule() = default;
    // Creates a plain (not aggregated) object of the class, answering `iid`.
    virtual HRESULT CreateObject(const CLSID& clsid, REFIID iid, void** object) = 0;
    // Lets the module go once it agrees (DllCanUnloadNow); false when it stays loaded.
    virtual bool Unload() = 0;
};

// What loads plug-in modules: one per host, living longer than every module it loaded
// and every object made from them (on Windows it is the thread's COM apartment).
class PluginModules {
  public:
    PluginModules();
    ~PluginModules();
    PluginModules(const PluginModules&) = delete;
    PluginModules& operator=(const PluginModules&) = delete;

    // The module of the registered class `clsid`, whose InprocServer32 is `path`; null
    // with `why` set when it cannot be loaded.
    std::unique_ptr<PluginModule> Load(const CLSID& clsid, const std::string& path,
                                       std::string& why);

  private:
    std::string notReady_;  // why COM could not start here; empty when it did
};

}  // namespace sim
