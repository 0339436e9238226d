// The registry: keys and values, handles, and the registry-export file behind them.
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "support/TempFolder.h"
#include "support/TempRegistry.h"

namespace {

namespace fs = std::filesystem;
using platform_test::ReadFile;
using platform_test::ScopedEnv;
using platform_test::WriteFile;
using Text = std::pair<std::string, DWORD>;

class RegistryTest : public ::testing::Test {
  protected:
    HKEY Create(HKEY root, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS)
            << path;
        return key;
    }
    static LSTATUS SetString(HKEY key, const char* name, const std::string& text,
                             DWORD type = REG_SZ) {
        return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    }
    static LSTATUS SetDword(HKEY key, const char* name, DWORD value) {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    }
    // The value with its type: a DWORD in decimal, a string without its terminating zero,
    // other types as their bytes; nothing when it cannot be read.
    static std::optional<Text> Get(HKEY key, const char* name) {
        DWORD data[1024], type = REG_NONE, size = sizeof data;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        if (type == REG_DWORD)
            return Text{std::to_string(data[0]), type};
        auto* bytes = reinterpret_cast<const char*>(data);
        if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
            return Text{std::string(bytes, size), type};
        EXPECT_TRUE(size > 0 && bytes[size - 1] == 0) << "string data ends with its zero";
        return Text{std::string(bytes, size - 1), type};
    }
    std::string FileText() const { return registry_.FileText(); }
    fs::path Beside(const char* name) const { return registry_.Path().parent_path() / name; }

    TempRegistry registry_;
};

// Paths and names ignore case and keep their first spelling.
TEST_F(RegistryTest, WritesEveryValueTypeInTheExportFormat) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, nullptr, "Tarnik!"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Configs", "a"), ERROR_SUCCESS);
    HKEY same = Create(HKEY_CURRENT_USER, "SOFTWARE\\VELLUMCRAFT\\");
    ASSERT_EQ(SetString(same, "CONFIGS", "C:\\\"Tarnik\"\\"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Home", "%HOME%", REG_EXPAND_SZ), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, "Enabled", 0xA1), ERROR_SUCCESS);
    EXPECT_EQ(FileText(),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\Software\\Vellumcraft]\n"
              "@=\"Tarnik!\"\n"
              "\"Configs\"=\"C:\\\\\\\"Tarnik\\\"\\\\\"\n"
              "\"Enabled\"=dword:000000a1\n"
              "\"Home\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n\n");
}

TEST_F(RegistryTest, FileSurvivesAReloadByteForByte) {
    const std::vector<std::pair<std::string, Text>> values = {
        {"Lines", {"first\r\nsecond \"quoted\" \\ end", REG_SZ}},              // hex(1)
        {"Long", {"%USERPROFILE%\\" + std::string(100, 'x'), REG_EXPAND_SZ}},  // wrapped hex(2)
        {"Accented", {"K\xC3\xB6nig \xF0\x9F\x91\x91", REG_SZ}},
        {"Odd\\\"Name\"", {"v", REG_SZ}},
        {"Zero", {std::string("A\0B\rC", 5), REG_SZ}},  // hex(1), all of it
        {"Latin1", {"K\xF6nig", REG_SZ}},               // not UTF-8, kept byte for byte
        {"Multi", {std::string("a\0b\0", 4), REG_MULTI_SZ}},
    };
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    for (const auto& [name, value] : values)
        ASSERT_EQ(SetString(key, name.c_str(), value.first, value.second), ERROR_SUCCESS) << name;
    const std::string before = FileText();

    TarnikRegistryReload();
    for (const auto& [name, value] : values)
        EXPECT_EQ(Get(key, name.c_str()), value) << name;
    // A change and its undoing rewrite the whole file from what was read.
    Create(HKEY_CURRENT_USER, "Scratch");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Scratch"), ERROR_SUCCESS);
    EXPECT_EQ(FileText(), before);
}

TEST_F(RegistryTest, AsksForMoreRoomAndNeverWritesPastTheCallersBuffer) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "D:\\Cfg\\"), ERROR_SUCCESS);
    char small[4], exact[8];
    DWORD size = sizeof small;
    EXPECT_EQ(
        RegQueryValueExA(key, "Configs", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u) << "seven characters and the terminating zero";
    EXPECT_EQ(
        RegQueryValueExA(key, "Configs", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(exact, "D:\\Cfg\\");

    Create(key, "Sub");
    size = 3;
    EXPECT_EQ(RegEnumKeyExA(key, 0, small, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA)
        << "Sub and its zero need four bytes";
}

// Deleting keys and trees is covered by the registrar's unregistration tests.
// Values of a bad size or type are refused; every writer is our own code, so no test.

// regedit's own form: UTF-16 with a byte-order mark and CRLF line ends.
std::string AsRegeditExport(std::string_view text) {
    std::string out = "\xFF\xFE";
    for (char c : text)
        out += c == '\n' ? std::string("\r\0\n\0", 4) : std::string{c, '\0'};
    return out;
}

TEST_F(RegistryTest, KeepsEveryValueOfARegeditExportAndEveryLineItCannotRead) {
    WriteFile(registry_.Path(),
              AsRegeditExport("Windows Registry Editor Version 5.00\n\n; from the game PC\n"
                              "[HKEY_CURRENT_USER\\Software\\Vellumcraft]\n@=\"default\"\n"
                              "\"Binary\"=hex:01,02,ff\n"
                              "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
                              "\"Quad\"=hex(b):88,77,66,55,44,33,22,11\n"
                              "\"Expand\"=hex(2):25,00,41,00,\\\n  25,00,00,00\n"
                              "\"Flag\"=dword:0000002A\n\"None\"=hex(0):\n"
                              "\"Unended\"=hex(1):41,00,42\n\"Short\"=hex(4):01,02,03\n"
                              "\"Broken\"=hex:zz\n\"Gone\"=-\nnotes\n\n"
                              "[HKEY_USERS\\S-1-5-21\\Software]\n\"Other\"=\"hive\"\n\n"
                              "[-HKEY_CURRENT_USER\\Software\\Old]\n"));
    TarnikRegistryReload();
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    const std::pair<const char*, Text> values[] = {
        {nullptr, {"default", REG_SZ}},
        {"Binary", {"\x01\x02\xFF", REG_BINARY}},
        {"Multi", {std::string("a\0b\0", 4), REG_MULTI_SZ}},
        {"Quad", {"\x88\x77\x66\x55\x44\x33\x22\x11", REG_QWORD}},
        {"Expand", {"%A%", REG_EXPAND_SZ}},
        {"Flag", {"42", REG_DWORD}},
    };
    for (const auto& [name, value] : values)
        EXPECT_EQ(Get(key, name), value) << (name ? name : "@");

    // A change and its undoing write the file anew: every value with its type and bytes,
    // and every line the reader could not take in as it stood.
    Create(HKEY_CURRENT_USER, "Scratch");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Scratch"), ERROR_SUCCESS);
    EXPECT_EQ(FileText(),
              "Windows Registry Editor Version 5.00\n\n; from the game PC\n\n"
              "[HKEY_CURRENT_USER\\Software\\Vellumcraft]\n@=\"default\"\n"
              "\"Binary\"=hex:01,02,ff\n"
              "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n\"Flag\"=dword:0000002a\n"
              "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n\"None\"=hex(0):\n"
              "\"Quad\"=hex(b):88,77,66,55,44,33,22,11\n\"Short\"=hex(4):01,02,03\n"
              "\"Unended\"=hex(1):41,00,42\n"
              "\"Broken\"=hex:zz\n\"Gone\"=-\nnotes\n\n"
              "[HKEY_USERS\\S-1-5-21\\Software]\n\"Other\"=\"hive\"\n\n"
              "[-HKEY_CURRENT_USER\\Software\\Old]\n");
    TarnikRegistryReload();
    for (const auto& [name, value] : values)
        EXPECT_EQ(Get(key, name), value) << (name ? name : "@");
}

TEST_F(RegistryTest, AKeyPathOfAHundredThousandPartsLoadsAndIsWrittenOnOneLine) {
    std::string path = "Software";
    for (int i = 0; i < 100'000; ++i)
        path += "\\k";
    WriteFile(registry_.Path(), "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" +
                                    path + "]\n\"Depth\"=dword:000186a0\n\n");
    TarnikRegistryReload();
    HKEY deep = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &deep),
              ERROR_SUCCESS);
    EXPECT_EQ(Get(deep, "Depth"), (Text{"100000", REG_DWORD}));
    const std::size_t before = FileText().size();
    ASSERT_EQ(SetDword(deep, "Depth", 1), ERROR_SUCCESS);
    EXPECT_EQ(FileText().size(), before) << "one line for the deepest key, none for each level";

    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(deep, "Depth", 2), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, NeverReplacesGoodDataWithATornFileNorOverwritesAStrangeOne) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "C:\\Good\\"), ERROR_SUCCESS);
    WriteFile(Beside("registry.reg.tmp-999-0"),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vell");
    TarnikRegistryReload();
    EXPECT_EQ(Get(key, "Configs"), (Text{"C:\\Good\\", REG_SZ}));

    // Notes, and half a surrogate pair, which has no UTF-8 form: written back, either file
    // would change.
    for (const std::string& strange :
         {std::string("precious notes\n"),
          AsRegeditExport(
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"") +
              std::string("\x00\xD8\"\0", 4)}) {
        WriteFile(registry_.Path(), strange);
        TarnikRegistryReload();
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_ACCESS_DENIED);
        EXPECT_EQ(FileText(), strange);
    }
}

TEST_F(RegistryTest, AReadOnlyFolderMakesChangesFailWithoutDamage) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "C:\\Good\\"), ERROR_SUCCESS);
    const std::string good = FileText();
    std::optional<bool> failedCleanly = platform_test::WithReadOnlyFolder(Beside(""), [&] {
        HKEY sub = nullptr;
        return SetString(key, "Configs", "C:\\Bad\\") == ERROR_WRITE_FAULT &&
               Get(key, "Configs") == Text{"C:\\Good\\", REG_SZ} &&
               RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) ==
                   ERROR_WRITE_FAULT &&
               RegOpenKeyExA(key, "Sub", 0, KEY_READ, &sub) != ERROR_SUCCESS;
    });
    if (!failedCleanly)
        GTEST_SKIP() << "cannot give up root here";
    EXPECT_TRUE(*failedCleanly);
    EXPECT_EQ(FileText(), good);
    EXPECT_EQ(std::distance(fs::directory_iterator(Beside("")), {}), 1) << "no temporary left";
}

TEST_F(RegistryTest, FollowsTheVariableToAnotherFileOrElseTheUserDataFolder) {
    HKEY first = Create(HKEY_CURRENT_USER, "Software\\First");
    const std::string firstText = FileText();
    // A host sets the variable after the module has used the registry, without a reload.
    ScopedEnv moved("TARNIK_REGISTRY", Beside("second.reg").c_str());
    ASSERT_EQ(SetDword(Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal"), "Enabled", 1), ERROR_SUCCESS);
    EXPECT_NE(ReadFile(Beside("second.reg")).find("\"Enabled\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(FileText(), firstText);
    EXPECT_EQ(SetString(first, "x", "y"), ERROR_KEY_DELETED) << "its key is not in this file";
    EXPECT_EQ(RegCloseKey(first), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(first), ERROR_INVALID_HANDLE);

    ScopedEnv data("XDG_DATA_HOME", Beside("data").c_str());
    ScopedEnv unset("TARNIK_REGISTRY", nullptr);
    Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    EXPECT_TRUE(fs::exists(Beside("data/tarnik/registry.reg"))) << "folder made as needed";
}

}  // namespace
