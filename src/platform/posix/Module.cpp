// Module handles and file paths of the loaded shared objects.
#include "platform/Module.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct Search {
    std::uintptr_t address = 0;
    bool found = false;
    bool isProgram = false;
    std::string name;
};

// Finds the loaded object one of whose segments holds the address.
int FindObject(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD)
            continue;
        std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (search->address >= start && search->address < start + segment.p_memsz) {
            search->found = true;
            // The program comes first in the list and has no name of its own.
            search->isProgram = !info->dlpi_name || !*info->dlpi_name;
            search->name = info->dlpi_name ? info->dlpi_name : "";
            return 1;
        }
    }
    return 0;
}

std::string ProgramPath() {
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(n));
    return path;
}

// The file mapped at the address, from the kernel's list: always a full path, even for an
// object that was loaded by a relative name before the current folder changed.
std::string MappedFilePath(std::uintptr_t address) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        // start-end perms offset dev inode   path
        unsigned long long start = 0, end = 0;
        int pathAt = 0;
        if (std::sscanf(line.c_str(), "%llx-%llx %*s %*s %*s %*s %n", &start, &end, &pathAt) < 2)
            continue;
        if (address >= start && address < end && pathAt > 0 && line[pathAt] == '/')
            return line.substr(static_cast<std::size_t>(pathAt));
    }
    return {};
}

}  // namespace

HMODULE ModuleHandleFromAddress(const void* address) {
    Dl_info info{};
    if (!address || ::dladdr(address, &info) == 0 || !info.dli_fbase)
        return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

DWORD GetModuleFileNameA(HMODULE module, char* path, DWORD size) {
    if (!path || size == 0)
        return 0;
    std::string name;
    if (!module) {
        name = ProgramPath();
    } else {
        Search search;
        search.address = reinterpret_cast<std::uintptr_t>(module);
        ::dl_iterate_phdr(FindObject, &search);
        if (search.isProgram)
            name = ProgramPath();
        else if (search.found && search.name.starts_with('/'))
            name = search.name;
        else if (search.found)
            name = MappedFilePath(search.address);
    }
    if (name.empty()) {
        path[0] = '\0';
        return 0;
    }
    // As on Windows: a name that does not fit is cut, and the result equals the size.
    if (name.size() >= size) {
        std::memcpy(path, name.data(), size - 1);
        path[size - 1] = '\0';
        return size;
    }
    std::memcpy(path, name.c_str(), name.size() + 1);
    return static_cast<DWORD>(name.size());
}
