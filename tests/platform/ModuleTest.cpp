// Module handles and GetModuleFileNameA.
#include "platform/Module.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string FileNameOf(HMODULE module) {
    char path[4096];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    EXPECT_EQ(length, std::strlen(path));
    return std::string(path, length);
}

TEST(ModuleTest, NamesTheProgramCutToFitAndNothingForAddressesOutsideEveryModule) {
    const std::string program = fs::read_symlink("/proc/self/exe").string();
    static int inProgram = 0;
    EXPECT_EQ(FileNameOf(ModuleHandleFromAddress(&inProgram)), program);
    char path[6] = "xxxxx";
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof path), 6u) << "cut, and says so";
    EXPECT_EQ(std::string(path), program.substr(0, 5));
    auto heap = std::make_unique<int>(0);
    EXPECT_EQ(ModuleHandleFromAddress(heap.get()), nullptr);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(heap.get()), path, sizeof path), 0u);
}

TEST(ModuleTest, ALibraryLoadedByARelativeNameStillGetsItsFullPath) {
    // A copy of a plain C library: a second copy of an instrumented one upsets AddressSanitizer.
    void* zlib = ::dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!zlib)
        GTEST_SKIP() << "no libz.so.1 to copy";
    std::unique_ptr<void, int (*)(void*)> zlibCloser(zlib, ::dlclose);
    platform_test::TempFolder folder;
    fs::copy_file(FileNameOf(ModuleHandleFromAddress(::dlsym(zlib, "zlibVersion"))),
                  folder / "libcopy.so");

    const fs::path before = fs::current_path();
    fs::current_path(folder.Path());
    void* handle = ::dlopen("./libcopy.so", RTLD_NOW | RTLD_LOCAL);
    fs::current_path(before);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    std::unique_ptr<void, int (*)(void*)> closer(handle, ::dlclose);
    EXPECT_EQ(FileNameOf(ModuleHandleFromAddress(::dlsym(handle, "zlibVersion"))),
              (folder / "libcopy.so").string());
}

}  // namespace
