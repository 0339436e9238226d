// The registry: an in-memory tree of keys kept in step with one registry-export file.
#include "platform/Registry.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "platform/posix/RegistryTree.h"

namespace fs = std::filesystem;
using namespace registry_detail;

namespace {

// The predefined hive handles, as on Windows; opened keys get small numbers of their own.
constexpr std::uintptr_t kFirstHive = 0x80000000u;

struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileStamp StampOf(const fs::path& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        stamp.exists = true;
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
    }
    return stamp;
}

struct OpenKey {
    std::shared_ptr<Key> key;  // null once the key is known to be gone
    std::size_t hive = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
};

// What a handle names at the moment of a call.
struct Resolved {
    Key* key = nullptr;
    std::size_t hive = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
    LSTATUS status = ERROR_SUCCESS;
};

class Registry {
  public:
    std::mutex mutex;
    std::vector<std::string> pendingTraces;

    const fs::path& Location() { return location_; }

    void Forget() { loaded_ = false; }

    // Reads the file at first use, again whenever it changed on disk since, and that of
    // the new location when TARNIK_REGISTRY changed (a host may set it after loading a
    // module that already used the registry).
    void Sync() {
        const char* env = std::getenv("TARNIK_REGISTRY");
        fs::path wanted = env && *env ? fs::path(env) : UserDataFolder() / "registry.reg";
        if (!loaded_ || wanted != location_) {
            location_ = std::move(wanted);
            loaded_ = true;
            Load();
        } else if (!(StampOf(location_) == stamp_)) {
            Load();
        }
    }

    Resolved Resolve(HKEY handle) {
        Resolved r;
        auto value = reinterpret_cast<std::uintptr_t>(handle);
        if (value >= kFirstHive && value < kFirstHive + tree_.hives.size()) {
            r.hive = value - kFirstHive;
            r.key = tree_.hives[r.hive].get();
            r.access = KEY_ALL_ACCESS;
            return r;
        }
        auto it = handles_.find(value);
        if (it == handles_.end()) {
            r.status = ERROR_INVALID_HANDLE;
            return r;
        }
        if (!it->second.key || it->second.key->deleted) {
            r.status = ERROR_KEY_DELETED;
            return r;
        }
        r.key = it->second.key.get();
        r.hive = it->second.hive;
        r.path = it->second.path;
        r.access = it->second.access;
        return r;
    }

    HKEY NewHandle(Key* key, std::size_t hive, std::vector<std::string> path, REGSAM access) {
        std::uintptr_t value = nextHandle_;
        nextHandle_ += 4;
        handles_[value] = OpenKey{SharedOf(key, hive), hive, std::move(path), access};
        return reinterpret_cast<HKEY>(value);
    }

    bool CloseHandle(HKEY handle) {
        auto value = reinterpret_cast<std::uintptr_t>(handle);
        if (value >= kFirstHive && value < kFirstHive + tree_.hives.size())
            return true;
        return handles_.erase(value) == 1;
    }

    // Handles whose key exists now; a failed change restores the tree and these.
    std::set<std::uintptr_t> LiveHandles() const {
        std::set<std::uintptr_t> live;
        for (const auto& [value, open] : handles_) {
            if (open.key && !open.key->deleted)
                live.insert(value);
        }
        return live;
    }

    // Writes the tree if it changed; on failure the tree returns to the last written state.
    LSTATUS Commit(const std::set<std::uintptr_t>& liveBefore) {
        std::string text = Serialize(tree_);
        if (text == committed_)
            return ERROR_SUCCESS;
        LSTATUS status = ERROR_SUCCESS;
        if (!writable_) {
            status = ERROR_ACCESS_DENIED;
        } else {
            std::error_code ec;
            if (location_.has_parent_path())
                fs::create_directories(location_.parent_path(), ec);
            if (!WriteFileAtomically(location_, text))
                status = ERROR_WRITE_FAULT;
        }
        if (status != ERROR_SUCCESS) {
            Rebuild(Parse(committed_).tree, liveBefore);
            return status;
        }
        committed_ = std::move(text);
        stamp_ = StampOf(location_);
        return ERROR_SUCCESS;
    }

  private:
    void Load() {
        stamp_ = StampOf(location_);
        std::string bytes;
        bool readable = true;
        if (stamp_.exists) {
            std::ifstream in(location_, std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            readable = in.good() || in.eof();
            bytes = content.str();
            if (!in.is_open())
                readable = false;
        }
        Parsed parsed = Parse(bytes);
        // Never overwrite what could not be read, or could not be written back the same.
        writable_ = readable && parsed.refusal.empty();
        if (!readable)
            pendingTraces.push_back("registry file unreadable, changes refused: " +
                                    location_.string());
        else if (!parsed.refusal.empty())
            pendingTraces.push_back("registry file kept as it is, changes refused (" +
                                    parsed.refusal + "): " + location_.string());
        for (std::string& warning : parsed.warnings)
            pendingTraces.push_back(std::move(warning));
        committed_ = Serialize(parsed.tree);
        Rebuild(std::move(parsed.tree), LiveHandles());
    }

    // Points every handle that was live at the key of the same path in the new tree.
    void Rebuild(Tree tree, const std::set<std::uintptr_t>& live) {
        tree_ = std::move(tree);
        for (auto& [value, open] : handles_) {
            if (!live.contains(value)) {
                open.key.reset();
                continue;
            }
            Key* key = tree_.hives[open.hive].get();
            for (const std::string& part : open.path) {
                key = key ? FindChild(*key, part) : nullptr;
            }
            open.key = key ? SharedOf(key, open.hive) : nullptr;
        }
    }

    std::shared_ptr<Key> SharedOf(Key* key, std::size_t hive) {
        if (!key->parent)
            return tree_.hives[hive];
        return key->parent->children.at(key->name);
    }

    bool loaded_ = false;
    bool writable_ = true;
    fs::path location_;
    FileStamp stamp_;
    std::string committed_;  // the tree as last read or written
    Tree tree_ = EmptyTree();
    std::map<std::uintptr_t, OpenKey> handles_;
    std::uintptr_t nextHandle_ = 0x1000;
};

Registry& TheRegistry() {
    static auto* registry = new Registry;  // outlives every static destructor that may call
    return *registry;
}

// One registry call: holds the lock, and passes on trace lines after releasing it so a
// debug sink may itself use the registry.
class Call {
  public:
    Call() : registry_(TheRegistry()), lock_(registry_.mutex) { registry_.Sync(); }
    ~Call() {
        std::vector<std::string> traces = std::move(registry_.pendingTraces);
        registry_.pendingTraces.clear();
        lock_.unlock();
        for (const std::string& line : traces)
            OutputDebugStringA(line.c_str());
    }
    Registry* operator->() { return &registry_; }

  private:
    Registry& registry_;
    std::unique_lock<std::mutex> lock_;
};

Value* FindValue(Key& key, const char* name) {
    auto it = key.values.find(std::string_view(name ? name : ""));
    return it == key.values.end() ? nullptr : &it->second;
}

}  // namespace

const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(kFirstHive);
const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(kFirstHive + 1);
const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(kFirstHive + 2);

LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM access, void*,
                        HKEY* result, DWORD* disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    Resolved parent = call->Resolve(key);
    if (parent.status != ERROR_SUCCESS)
        return parent.status;
    auto parts = SplitKeyPath(subKey ? subKey : "");
    if (!parts)
        return ERROR_INVALID_PARAMETER;
    auto live = call->LiveHandles();
    Key* target = parent.key;
    bool created = false;
    std::vector<std::string> path = parent.path;
    for (const std::string& part : *parts) {
        Key* next = FindChild(*target, part);
        if (!next) {
            if (!(parent.access & KEY_CREATE_SUB_KEY))
                return ERROR_ACCESS_DENIED;
            next = AddChild(*target, part);
            created = true;
        }
        target = next;
        path.push_back(target->name);
    }
    if (LSTATUS status = call->Commit(live); status != ERROR_SUCCESS)
        return status;
    *result = call->NewHandle(target, parent.hive, std::move(path), access);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

namespace {

// The key below `open` named by `subKey`, or the status that says why there is none; with
// `path`, the names of the keys on the way are appended to it as the file spells them.
LSTATUS FindSubKey(const Resolved& open, const char* subKey, Key** found,
                   std::vector<std::string>* path = nullptr) {
    auto parts = SplitKeyPath(subKey ? subKey : "");
    if (!parts)
        return ERROR_INVALID_PARAMETER;
    Key* target = open.key;
    for (const std::string& part : *parts) {
        target = FindChild(*target, part);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        if (path)
            path->push_back(target->name);
    }
    *found = target;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM access, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    Resolved parent = call->Resolve(key);
    if (parent.status != ERROR_SUCCESS)
        return parent.status;
    Key* target = nullptr;
    std::vector<std::string> path = parent.path;
    if (LSTATUS status = FindSubKey(parent, subKey, &target, &path); status != ERROR_SUCCESS)
        return status;
    *result = call->NewHandle(target, parent.hive, std::move(path), access);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    Call call;
    return call->CloseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                         DWORD* dataSize) {
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const Value* value = FindValue(*open.key, valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    std::string bytes = value->data;
    if (IsStringType(value->type)) {
        bytes = StringText(value->data);
        if (!bytes.ends_with('\0'))
            bytes += '\0';
    }
    auto needed = static_cast<DWORD>(bytes.size());
    if (!dataSize)
        return ERROR_SUCCESS;
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data)
        std::memcpy(data, bytes.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD dataSize) {
    Value value;
    value.name = valueName ? valueName : "";
    value.type = type;
    if (!IsStorableName(value.name) || (!data && dataSize > 0))
        return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && dataSize != sizeof(DWORD))
        return ERROR_INVALID_PARAMETER;
    std::string bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
    if (IsStringType(type)) {
        if (!bytes.ends_with('\0'))
            bytes += '\0';
        value.data = StringData(bytes);
    } else {
        value.data = std::move(bytes);
    }
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    auto live = call->LiveHandles();
    if (Value* existing = FindValue(*open.key, value.name.c_str())) {
        value.name = existing->name;  // the name keeps the case it was first written in
        *existing = std::move(value);
    } else {
        std::string name = value.name;
        open.key->values.emplace(std::move(name), std::move(value));
    }
    return call->Commit(live);
}

LSTATUS RegDeleteValueA(HKEY key, const char* valueName) {
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    auto it = open.key->values.find(std::string_view(valueName ? valueName : ""));
    if (it == open.key->values.end())
        return ERROR_FILE_NOT_FOUND;
    auto live = call->LiveHandles();
    open.key->values.erase(it);
    return call->Commit(live);
}

LSTATUS RegDeleteKeyA(HKEY key, const char* subKey) {
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    Key* target = nullptr;
    if (LSTATUS status = FindSubKey(open, subKey, &target); status != ERROR_SUCCESS)
        return status;
    if (!target->parent || !target->children.empty())
        return ERROR_ACCESS_DENIED;  // a hive, or a key with sub-keys
    auto live = call->LiveHandles();
    Detach(*target);
    return call->Commit(live);
}

LSTATUS RegDeleteTreeA(HKEY key, const char* subKey) {
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    Key* target = nullptr;
    if (LSTATUS status = FindSubKey(open, subKey, &target); status != ERROR_SUCCESS)
        return status;
    auto live = call->LiveHandles();
    if (target == open.key) {
        // No sub-key named: everything below the key goes, the key itself stays.
        while (!target->children.empty())
            Detach(*target->children.begin()->second);
        target->values.clear();
    } else {
        Detach(*target);
    }
    return call->Commit(live);
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char* className,
                      DWORD* classSize, void* lastWriteTime) {
    if (!name || !nameSize)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Resolved open = call->Resolve(key);
    if (open.status != ERROR_SUCCESS)
        return open.status;
    if (!(open.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    if (index >= open.key->children.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& child = std::next(open.key->children.begin(), index)->second->name;
    if (*nameSize <= child.size())
        return ERROR_MORE_DATA;
    std::memcpy(name, child.c_str(), child.size() + 1);
    *nameSize = static_cast<DWORD>(child.size());
    if (className && classSize && *classSize > 0)
        className[0] = '\0';
    if (classSize)
        *classSize = 0;
    if (lastWriteTime)
        std::memset(lastWriteTime, 0, 8);  // a FILETIME; write times are not kept
    return ERROR_SUCCESS;
}

std::string TarnikRegistryPath() {
    Call call;
    return call->Location().string();
}

void TarnikRegistryReload() {
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        registry.Forget();
    }
    Call call;  // reads the location and the file again
}
