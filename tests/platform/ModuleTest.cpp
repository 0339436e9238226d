// Module handles and GetModuleFileNameA.
#include "platform/Module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/KeyState.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string FileNameOf(HMODULE module) {
    char path[4096];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    EXPECT_EQ(length, std::strlen(path));
    return std::string(path, length);
}

TEST(ModuleTest, NullModuleAndTheProgramsOwnCodeNameTheProgram) {
    const std::string program = fs::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(FileNameOf(nullptr), program);
    static int inProgram = 0;
    HMODULE self = ModuleHandleFromAddress(&inProgram);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(FileNameOf(self), program);
}

TEST(ModuleTest, CodeOfASharedLibraryNamesThatLibrary) {
    HMODULE platform = ModuleHandleFromAddress(reinterpret_cast<const void*>(&GetKeyState));
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(platform, ModuleHandleFromAddress(reinterpret_cast<const void*>(&GetModuleFileNameA)))
        << "one handle per module";
    fs::path path = FileNameOf(platform);
    EXPECT_TRUE(path.is_absolute());
    EXPECT_TRUE(path.filename().string().starts_with("libtarnik_platform")) << path;
    EXPECT_TRUE(fs::exists(path));
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

    void* symbol = ::dlsym(handle, "zlibVersion");
    ASSERT_NE(symbol, nullptr);
    HMODULE copy = ModuleHandleFromAddress(symbol);
    EXPECT_NE(copy, ModuleHandleFromAddress(::dlsym(zlib, "zlibVersion")));
    EXPECT_EQ(FileNameOf(copy), (folder / "libcopy.so").string());
}

TEST(ModuleTest, ANameThatDoesNotFitIsCutAndSaysSo) {
    const std::string program = fs::read_symlink("/proc/self/exe").string();
    char path[6] = "xxxxx";
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof path), 6u);
    EXPECT_EQ(std::string(path), program.substr(0, 5));

    char exact[256];
    ASSERT_LT(program.size(), sizeof exact);
    EXPECT_EQ(GetModuleFileNameA(nullptr, exact, static_cast<DWORD>(program.size() + 1)),
              program.size());
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, 0), 0u);
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 10), 0u);
}

TEST(ModuleTest, AddressesOutsideEveryModuleHaveNoModule) {
    auto heap = std::make_unique<int>(0);
    EXPECT_EQ(ModuleHandleFromAddress(heap.get()), nullptr);
    EXPECT_EQ(ModuleHandleFromAddress(nullptr), nullptr);
    char path[16] = "unchanged";
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(heap.get()), path, sizeof path), 0u);
    EXPECT_STREQ(path, "");
}

}  // namespace
