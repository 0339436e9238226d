// The simulator's data folder: its own registry and mapped drives, the configuration
// folder an installer would have set up, and the plug-in module's registration.
#pragma once

#include <filesystem>
#include <string>

// What start-up arranged in the data folder, or why it could not.
struct DataFolder {
    std::filesystem::path root;
    std::filesystem::path registry;    // root/registry.reg
    std::filesystem::path configFile;  // where the module finds sortconfig.xml
    bool configsSet = false;           // the "Configs" value was missing and is now set
    std::string error;
    explicit operator bool() const { return error.empty(); }
};

// The default data folder: "sim" in the user's data folder.
std::filesystem::path DefaultDataFolder();

// Points the registry at root/registry.reg and the drives at root (so "c:\" is root/c/),
// and gives HKEY_CURRENT_USER\Software\Vellumcraft a "Configs" value of "C:\Tarnik\" when
// it has none, creating root/c/Tarnik and root/c/ToonPacks. Must run before the module is
// loaded: the module reads "Configs" once, when it is loaded. `modulePath` is where the
// module falls back to when the value is unusable.
[[nodiscard]] DataFolder PrepareDataFolder(const std::filesystem::path& root,
                                           const std::string& modulePath);

// The module registered through its own DllRegisterServer, and kept loaded until this
// object goes, so that nothing the host still holds outlives the module's code.
class ModuleRegistration {
  public:
    ModuleRegistration() = default;
    ~ModuleRegistration();
    ModuleRegistration(const ModuleRegistration&) = delete;
    ModuleRegistration& operator=(const ModuleRegistration&) = delete;

    // Empty on success, else why the module could not be registered.
    [[nodiscard]] std::string Register(const std::string& modulePath);

  private:
    void* handle_ = nullptr;
};
