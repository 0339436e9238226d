// The registry: keys and values, handles, and the registry-export file behind them.
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "support/TempFolder.h"

namespace {

using platform_test::ReadFile;
using platform_test::TempFolder;
using platform_test::WriteFile;

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { TarnikRegistryReload(); }
    void TearDown() override {
        for (HKEY key : open_)
            RegCloseKey(key);
    }
    // Reads the location again after the fixture's variable is gone.
    static void TearDownTestSuite() { TarnikRegistryReload(); }

    HKEY Create(HKEY root, const char* path, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, disposition),
                  ERROR_SUCCESS)
            << path;
        open_.push_back(key);
        return key;
    }
    HKEY Open(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path, 0, access, &key) != ERROR_SUCCESS)
            return nullptr;
        open_.push_back(key);
        return key;
    }
    static LSTATUS SetString(HKEY key, const char* name, const std::string& text,
                             DWORD type = REG_SZ) {
        return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1));
    }
    static LSTATUS SetDword(HKEY key, const char* name, DWORD value) {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value);
    }
    // The value's text and type, or nothing when it cannot be read.
    static std::optional<std::pair<std::string, DWORD>> Get(HKEY key, const char* name) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<BYTE> data(size);
        if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type == REG_DWORD) {
            DWORD number = 0;
            std::memcpy(&number, data.data(), sizeof number);
            return std::pair{std::to_string(number), type};
        }
        EXPECT_EQ(data.back(), 0) << "string data ends with its zero";
        return std::pair{std::string(reinterpret_cast<const char*>(data.data())), type};
    }
    static std::vector<std::string> SubKeys(HKEY key) {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.emplace_back(name, size);
        }
        return names;
    }
    std::string FileText() const { return ReadFile(file_); }

    TempFolder folder_;
    std::filesystem::path file_ = folder_ / "registry.reg";
    platform_test::ScopedEnv location_{"TARNIK_REGISTRY", file_.c_str()};
    std::vector<HKEY> open_;
};

using Text = std::pair<std::string, DWORD>;

TEST_F(RegistryTest, KeepsEveryValueTypeInTheExportFormat) {
    HKEY plugin = Create(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Decal\\Plugins\\{70dde3ae-5add-4003-9600-c2f6830d7670}");
    ASSERT_EQ(SetString(plugin, nullptr, "Tarnik!"), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(plugin, "Enabled", 1), ERROR_SUCCESS);
    HKEY user = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(user, "Configs", "C:\\Games\\\"Tarnik\"\\"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(user, "Home", "%HOME%\\x", REG_EXPAND_SZ), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(user, "Max", 0xFFFFFFFFu), ERROR_SUCCESS);

    EXPECT_EQ(FileText(),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Vellumcraft]\n"
              "\"Configs\"=\"C:\\\\Games\\\\\\\"Tarnik\\\"\\\\\"\n"
              "\"Home\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,78,00,00,00\n"
              "\"Max\"=dword:ffffffff\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Decal]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Decal\\Plugins]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Decal\\Plugins\\{70dde3ae-5add-4003-9600-"
              "c2f6830d7670}]\n"
              "@=\"Tarnik!\"\n"
              "\"Enabled\"=dword:00000001\n"
              "\n");

    TarnikRegistryReload();
    EXPECT_EQ(Get(plugin, ""), (Text{"Tarnik!", REG_SZ}));
    EXPECT_EQ(Get(plugin, "Enabled"), (Text{"1", REG_DWORD}));
    EXPECT_EQ(Get(user, "Configs"), (Text{"C:\\Games\\\"Tarnik\"\\", REG_SZ}));
    EXPECT_EQ(Get(user, "Home"), (Text{"%HOME%\\x", REG_EXPAND_SZ}));
    EXPECT_EQ(Get(user, "Max"), (Text{"4294967295", REG_DWORD}));
}

TEST_F(RegistryTest, QueryReportsSizesAndAsksForMoreRoom) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "D:\\Cfg\\"), ERROR_SUCCESS);

    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Configs", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 8u) << "seven characters and the terminating zero";

    char small[4] = "abc";
    size = sizeof small;
    EXPECT_EQ(
        RegQueryValueExA(key, "Configs", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);

    char exact[8];
    size = sizeof exact;
    EXPECT_EQ(
        RegQueryValueExA(key, "Configs", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(exact, "D:\\Cfg\\");

    EXPECT_EQ(
        RegQueryValueExA(key, "Configs", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND)
        << "a default value never set does not exist";
}

TEST_F(RegistryTest, StoresTextWithoutTerminatorAndRefusesBadData) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    EXPECT_EQ(RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 3),
              ERROR_SUCCESS);
    EXPECT_EQ(Get(key, "Bare"), (Text{"abc", REG_SZ}));
    EXPECT_EQ(RegSetValueExA(key, "Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(Get(key, "Empty"), (Text{"", REG_SZ}));

    DWORD number = 7;
    EXPECT_EQ(RegSetValueExA(key, "Short", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 2),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "Binary", 0, 3, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "Null", 0, REG_SZ, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetString(key, "Two\nLines", "x"), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(Get(key, "Short") || Get(key, "Binary") || Get(key, "Null"));
}

TEST_F(RegistryTest, PathsAndNamesIgnoreCaseAndKeepTheirFirstSpelling) {
    DWORD disposition = 0;
    HKEY first = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY second = Create(HKEY_CURRENT_USER, "SOFTWARE\\VELLUMCRAFT\\", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

    ASSERT_EQ(SetString(first, "Configs", "a"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(second, "CONFIGS", "b"), ERROR_SUCCESS);
    HKEY opened = Open(HKEY_CURRENT_USER, "software\\vellumcraft", KEY_READ);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(Get(opened, "configs"), (Text{"b", REG_SZ}));

    HKEY software = Open(HKEY_CURRENT_USER, "software", KEY_READ);
    EXPECT_EQ(SubKeys(software), std::vector<std::string>{"Vellumcraft"});
    EXPECT_NE(FileText().find("[HKEY_CURRENT_USER\\Software\\Vellumcraft]\n\"Configs\"=\"b\"\n"),
              std::string::npos);
}

TEST_F(RegistryTest, EnumeratesSubKeysInCaseInsensitiveOrder) {
    HKEY root = Create(HKEY_CLASSES_ROOT, "CLSID");
    for (const char* name : {"b", "A", "c", "B2"})
        Create(root, name);
    EXPECT_EQ(SubKeys(root), (std::vector<std::string>{"A", "b", "B2", "c"}));

    char name[2];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(root, 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA)
        << "B2 and its zero need three bytes";
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(root, 4, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, HandlesAllowOnlyWhatTheyWereOpenedFor) {
    HKEY created = Create(HKEY_CURRENT_USER, "Software\\Test");
    ASSERT_EQ(SetString(created, "Name", "x"), ERROR_SUCCESS);
    HKEY reader = Open(HKEY_CURRENT_USER, "Software\\Test", KEY_READ);
    HKEY writer = Open(HKEY_CURRENT_USER, "Software\\Test", KEY_WRITE);
    EXPECT_EQ(SetString(reader, "Name", "y"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(reader, "Name"), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Get(writer, "Name"));
    EXPECT_EQ(SetString(writer, "Name", "y"), ERROR_SUCCESS);
    EXPECT_EQ(Get(reader, "Name"), (Text{"y", REG_SZ}));

    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExA(reader, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(sub, nullptr);
}

TEST_F(RegistryTest, DeletesValuesKeysAndTrees) {
    HKEY plugins = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal\\Plugins");
    HKEY ours = Create(plugins, "{70dde3ae-5add-4003-9600-c2f6830d7670}");
    ASSERT_EQ(SetDword(ours, "Enabled", 1), ERROR_SUCCESS);
    Create(ours, "Child\\Grandchild");
    Create(plugins, "Other");

    EXPECT_EQ(RegDeleteValueA(ours, "Enabled"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(ours, "Enabled"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(plugins, "{70dde3ae-5add-4003-9600-c2f6830d7670}"), ERROR_ACCESS_DENIED)
        << "a key with sub-keys stays";
    EXPECT_EQ(RegDeleteKeyA(ours, "Child\\Grandchild"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(ours, "Child\\Grandchild"), ERROR_FILE_NOT_FOUND);

    Create(ours, "Child\\Again");
    EXPECT_EQ(RegDeleteTreeA(plugins, "{70DDE3AE-5ADD-4003-9600-C2F6830D7670}"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(plugins), std::vector<std::string>{"Other"});
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE,
                   "SOFTWARE\\Decal\\Plugins\\{70dde3ae-5add-4003-9600-"
                   "c2f6830d7670}"),
              nullptr);
    EXPECT_EQ(RegDeleteTreeA(plugins, "Missing"), ERROR_FILE_NOT_FOUND);

    HKEY decal = Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal");
    ASSERT_EQ(SetString(decal, nullptr, "kept?"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(decal, nullptr), ERROR_SUCCESS)
        << "without a sub-key the key is emptied but stays";
    EXPECT_TRUE(SubKeys(decal).empty());
    EXPECT_FALSE(Get(decal, ""));
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal"), nullptr);
}

TEST_F(RegistryTest, HandleOfADeletedKeyFailsUntilClosed) {
    HKEY parent = Create(HKEY_CURRENT_USER, "Software\\Gone");
    HKEY child = Create(parent, "Child");
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Gone"), ERROR_SUCCESS);
    EXPECT_EQ(SetString(child, "x", "y"), ERROR_KEY_DELETED);
    EXPECT_FALSE(Get(parent, "x"));
    HKEY again = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(parent, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &again, nullptr),
        ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteTreeA(child, nullptr), ERROR_KEY_DELETED);

    // The same path made again is a new key: the old handles stay dead.
    Create(HKEY_CURRENT_USER, "Software\\Gone\\Child");
    EXPECT_EQ(SetString(child, "x", "y"), ERROR_KEY_DELETED);

    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(child), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x12345)), ERROR_INVALID_HANDLE);
    std::erase(open_, child);
}

TEST_F(RegistryTest, TextsThatNeedItAreWrittenAsHexAndReadBack) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Test");
    const std::string twoLines = "first\r\nsecond \"quoted\" \\ end";
    const std::string longPath = "%USERPROFILE%\\Documents\\Games\\Tarnik\\Configurations\\";
    const std::string accented = "K\xC3\xB6nig \xF0\x9F\x91\x91";  // König and a crown
    ASSERT_EQ(SetString(key, "Lines", twoLines), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Long", longPath, REG_EXPAND_SZ), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Name", accented), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "Odd\\\"Name\"", "v"), ERROR_SUCCESS);

    std::string text = FileText();
    EXPECT_NE(text.find("\"Lines\"=hex(1):66,00,"), std::string::npos);
    EXPECT_NE(text.find("\"Name\"=\"" + accented + "\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Odd\\\\\\\"Name\\\"\"=\"v\""), std::string::npos);
    // A long expandable string continues over lines no wider than regedit's.
    std::size_t start = text.find("\"Long\"=hex(2):");
    ASSERT_NE(start, std::string::npos);
    std::size_t end = text.find("00,00,00\n", start);
    ASSERT_NE(end, std::string::npos);
    std::string hexLines = text.substr(start, end - start);
    EXPECT_GE(std::count(hexLines.begin(), hexLines.end(), '\n'), 1);
    for (std::size_t pos = 0, next; pos < hexLines.size(); pos = next + 1) {
        next = std::min(hexLines.find('\n', pos), hexLines.size());
        EXPECT_LE(next - pos, 78u) << hexLines.substr(pos, next - pos);
    }

    TarnikRegistryReload();
    EXPECT_EQ(Get(key, "Lines"), (Text{twoLines, REG_SZ}));
    EXPECT_EQ(Get(key, "Long"), (Text{longPath, REG_EXPAND_SZ}));
    EXPECT_EQ(Get(key, "Name"), (Text{accented, REG_SZ}));
    EXPECT_EQ(Get(key, "odd\\\"name\""), (Text{"v", REG_SZ}));
}

TEST_F(RegistryTest, FileSurvivesAReloadByteForByte) {
    HKEY key = Create(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\CurVer");
    ASSERT_EQ(SetString(key, nullptr, "DECAL_KMW.Tarnik.1"), ERROR_SUCCESS);
    HKEY user = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(user, "Path", std::string(100, 'x'), REG_EXPAND_SZ), ERROR_SUCCESS);
    ASSERT_EQ(SetString(user, "Lines", "a\nb"), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(user, "Count", 3), ERROR_SUCCESS);
    const std::string before = FileText();

    TarnikRegistryReload();
    // A change and its undoing rewrite the whole file from what was read.
    HKEY scratch = Create(HKEY_CURRENT_USER, "Scratch");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Scratch"), ERROR_SUCCESS);
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(SetString(scratch, "x", "y"), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, ReadsAnExportWrittenByHand) {
    WriteFile(file_,
              "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
              "\r\n"
              "; a comment\r\n"
              "[HKEY_CURRENT_USER\\Software\\Vellumcraft]\r\n"
              "@=\"default\"\r\n"
              "\"Configs\"=\"D:\\\\Games\\\\Cfg\\\\\"\r\n"
              "\"Expand\"=hex(2):25,00,41,00,\\\r\n"
              "  25,00,00,00\r\n"
              "\"Binary\"=hex:01,02\r\n"
              "\"Flag\"=dword:0000002A\r\n"
              "[HKEY_NOWHERE\\Skipped]\r\n"
              "\"Lost\"=\"x\"\r\n");
    std::vector<std::string> traces;
    SetDebugOutputSink([&](const char* text) { traces.emplace_back(text); });
    TarnikRegistryReload();
    SetDebugOutputSink(nullptr);

    HKEY key = Open(HKEY_CURRENT_USER, "Software\\Vellumcraft", KEY_READ);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Get(key, nullptr), (Text{"default", REG_SZ}));
    EXPECT_EQ(Get(key, "Configs"), (Text{"D:\\Games\\Cfg\\", REG_SZ}));
    EXPECT_EQ(Get(key, "Expand"), (Text{"%A%", REG_EXPAND_SZ}));
    EXPECT_EQ(Get(key, "Flag"), (Text{"42", REG_DWORD}));
    EXPECT_FALSE(Get(key, "Binary"));
    EXPECT_EQ(traces.size(), 3u) << "the binary value, the unknown hive and its value";
}

TEST_F(RegistryTest, ReadsRegeditsUtf16Files) {
    std::u16string text =
        u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_CURRENT_USER\\Software\\K\u00F6nig]\r\n\"N\"=\"\u00E9\"\r\n";
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    WriteFile(file_, bytes);
    TarnikRegistryReload();
    HKEY key = Open(HKEY_CURRENT_USER, "Software\\K\xC3\xB6nig", KEY_READ);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Get(key, "N"), (Text{"\xC3\xA9", REG_SZ}));
}

TEST_F(RegistryTest, NeverOverwritesAFileThatIsNotARegistry) {
    WriteFile(file_, "precious notes\n");
    TarnikRegistryReload();
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FileText(), "precious notes\n");
}

TEST_F(RegistryTest, ATornTemporaryFileBesideItIsIgnored) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "C:\\Good\\"), ERROR_SUCCESS);
    const std::string torn =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vell";
    WriteFile(folder_ / "registry.reg.tmp-999-0", torn);

    TarnikRegistryReload();
    EXPECT_EQ(Get(key, "Configs"), (Text{"C:\\Good\\", REG_SZ}));
    ASSERT_EQ(SetString(key, "Configs", "C:\\Better\\"), ERROR_SUCCESS);
    EXPECT_NE(FileText().find("C:\\\\Better\\\\"), std::string::npos);
    EXPECT_EQ(ReadFile(folder_ / "registry.reg.tmp-999-0"), torn) << "left alone";
}

TEST_F(RegistryTest, AReadOnlyFolderMakesChangesFailWithoutDamage) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "C:\\Good\\"), ERROR_SUCCESS);
    const std::string good = FileText();

    std::optional<bool> failedCleanly = platform_test::WithReadOnlyFolder(folder_.Path(), [&] {
        HKEY sub = nullptr;
        return SetString(key, "Configs", "C:\\Bad\\") == ERROR_WRITE_FAULT &&
               Get(key, "Configs") == Text{"C:\\Good\\", REG_SZ} &&
               RegDeleteTreeA(HKEY_CURRENT_USER, "Software") == ERROR_WRITE_FAULT &&
               SetString(key, "Other", "x") == ERROR_WRITE_FAULT && !Get(key, "Other") &&
               RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) ==
                   ERROR_WRITE_FAULT &&
               sub == nullptr && RegOpenKeyExA(key, "Sub", 0, KEY_READ, &sub) != ERROR_SUCCESS;
    });
    if (!failedCleanly)
        GTEST_SKIP() << "cannot give up root here";
    EXPECT_TRUE(*failedCleanly);
    EXPECT_EQ(FileText(), good);
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"registry.reg"});
}

TEST_F(RegistryTest, SeesChangesAnotherProgramWroteToTheFile) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    ASSERT_EQ(SetString(key, "Configs", "C:\\Mine\\"), ERROR_SUCCESS);
    HKEY doomed = Create(HKEY_CURRENT_USER, "Software\\Doomed");

    // Another program replaces the file as this library would.
    std::string text = FileText();
    text.replace(text.find("Mine"), 4, "Theirs");
    text.erase(text.find("[HKEY_CURRENT_USER\\Software\\Doomed]\n\n"),
               std::strlen("[HKEY_CURRENT_USER\\Software\\Doomed]\n\n"));
    ASSERT_TRUE(WriteFileAtomically(file_, text));

    EXPECT_EQ(Get(key, "Configs"), (Text{"C:\\Theirs\\", REG_SZ})) << "same handle, new data";
    EXPECT_EQ(SetString(doomed, "x", "y"), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, FollowsTheVariableToAnotherFile) {
    HKEY first = Create(HKEY_CURRENT_USER, "Software\\First");
    const std::string firstText = FileText();
    // A host sets the variable after the module has used the registry, without a reload.
    const std::filesystem::path second = folder_ / "second.reg";
    platform_test::ScopedEnv moved("TARNIK_REGISTRY", second.c_str());
    HKEY plugin = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal\\Plugins\\{x}");
    ASSERT_EQ(SetDword(plugin, "Enabled", 1), ERROR_SUCCESS);
    EXPECT_EQ(TarnikRegistryPath(), second.string());
    EXPECT_NE(ReadFile(second).find("\"Enabled\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(ReadFile(second).find("First"), std::string::npos);
    EXPECT_EQ(FileText(), firstText);
    EXPECT_EQ(SetString(first, "x", "y"), ERROR_KEY_DELETED) << "its key is not in this file";
}

TEST_F(RegistryTest, LivesInTheUserDataFolderWithoutTheVariable) {
    TempFolder data;
    platform_test::ScopedEnv xdg("XDG_DATA_HOME", data.Path().c_str());
    platform_test::ScopedEnv location("TARNIK_REGISTRY", nullptr);
    TarnikRegistryReload();
    EXPECT_EQ(TarnikRegistryPath(), (data / "tarnik/registry.reg").string());
    Create(HKEY_CURRENT_USER, "Software\\Vellumcraft");
    EXPECT_TRUE(std::filesystem::exists(data / "tarnik/registry.reg")) << "folder made as needed";
}

}  // namespace
