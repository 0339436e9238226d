// Loading plug-in modules the way the real host does: the enabled class ids under
// HKEY_LOCAL_MACHINE\SOFTWARE\Decal\Plugins, their InprocServer32 modules, the class
// factory (through COM on Windows), Initialize with the site; at the end Terminate,
// release and unload.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Guid.h"
#include "platform/Unknown.h"
#include "plugin/host/Plugin.h"
#include "simhost/PluginModule.h"

namespace sim {

class SimHost;

struct LoadedPlugin {
    CLSID clsid{};
    std::string name;        // the plug-in key's default value
    std::string modulePath;  // InprocServer32
    HRESULT initResult = E_FAIL;
    CComPtr<IPlugin2> plugin;
    std::shared_ptr<PluginModule> module;
};

class PluginLoader {
  public:
    explicit PluginLoader(SimHost& host) : host_(host) {}
    ~PluginLoader() { UnloadAll(); }
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Loads and initializes every enabled plug-in of the registry; returns how many
    // were created (an Initialize that failed still counts: its result is kept).
    std::size_t LoadAll();
    // Terminates every plug-in (in reverse order of loading), releases it, and unloads
    // its module when DllCanUnloadNow answers S_OK.
    void UnloadAll();

    const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }
    // Why a plug-in could not be loaded, one line each.
    const std::vector<std::string>& Errors() const { return errors_; }
    // Modules left loaded because DllCanUnloadNow refused.
    std::size_t ModulesKept() const { return kept_; }

  private:
    void LoadOne(const std::string& keyName);
    void Fail(const std::string& keyName, const std::string& why);

    SimHost& host_;
    PluginModules modules_;  // outlives every plug-in below
    std::vector<LoadedPlugin> plugins_;
    std::vector<std::string> errors_;
    std::size_t kept_ = 0;
};

}  // namespace sim
