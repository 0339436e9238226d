// Plug-in loading through the registry and the module's class factory.
#include "simhost/PluginLoader.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/Registry.h"
#include "platform/Text.h"
#include "plugin/host/Contract.h"
#include "simhost/SimHost.h"

namespace sim {

namespace {

std::optional<std::string> ReadString(HKEY root, const std::string& path, const char* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::string> result;
    if (RegQueryValueExA(key, value, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::string text(size, '\0');
        if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &size) == ERROR_SUCCESS) {
            text.resize(size);
            while (!text.empty() && text.back() == '\0')
                text.pop_back();
            result = text;
        }
    }
    RegCloseKey(key);
    return result;
}

std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const char* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    LSTATUS status =
        RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return data;
}

}  // namespace

std::size_t PluginLoader::LoadAll() {
    HKEY plugins = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHostPluginsKey, 0, KEY_READ, &plugins) !=
        ERROR_SUCCESS) {
        errors_.push_back(std::string("no plug-in is registered: HKEY_LOCAL_MACHINE\\") +
                          kHostPluginsKey + " is missing");
        return 0;
    }
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(plugins, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    RegCloseKey(plugins);
    std::size_t before = plugins_.size();
    for (const std::string& name : names)
        LoadOne(name);
    return plugins_.size() - before;
}

void PluginLoader::Fail(const std::string& keyName, const std::string& why) {
    errors_.push_back(keyName + ": " + why);
}

void PluginLoader::LoadOne(const std::string& keyName) {
    std::string pluginKey = std::string(kHostPluginsKey) + "\\" + keyName;
    if (ReadDword(HKEY_LOCAL_MACHINE, pluginKey, kHostPluginEnabled).value_or(0) != 1)
        return;  // disabled plug-ins are skipped without complaint
    auto clsid = ParseGuid(keyName);
    if (!clsid)
        return Fail(keyName, "the key name is not a class id");
    auto path = ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(*clsid) + "\\InprocServer32",
                           nullptr);
    if (!path || path->empty())
        return Fail(keyName, "the class has no InprocServer32 module");

    std::string why;
    std::shared_ptr<PluginModule> module = modules_.Load(*clsid, *path, why);
    if (!module)
        return Fail(keyName, why);
    CComPtr<IPlugin2> plugin;
    HRESULT hr = module->CreateObject(*clsid, IidOf<IPlugin2>(), reinterpret_cast<void**>(&plugin));
    if (FAILED(hr) || !plugin) {
        plugin.Release();
        if (!module->Unload())
            ++kept_;
        return Fail(keyName, "the module made no plug-in object (" + HexText(hr) + ")");
    }

    LoadedPlugin loaded;
    loaded.clsid = *clsid;
    loaded.name = ReadString(HKEY_LOCAL_MACHINE, pluginKey, nullptr).value_or("");
    loaded.modulePath = *path;
    loaded.module = module;
    loaded.plugin = plugin;
    loaded.initResult = plugin->Initialize(host_.Site());
    plugins_.push_back(std::move(loaded));
}

void PluginLoader::UnloadAll() {
    while (!plugins_.empty()) {
        LoadedPlugin loaded = std::move(plugins_.back());
        plugins_.pop_back();
        loaded.plugin->Terminate();
        host_.UnregisterSink(loaded.plugin);
        loaded.plugin.Release();
        if (!loaded.module->Unload())
            ++kept_;
    }
}

}  // namespace sim
