// Device profile transfer against a real settings file, real registry keys and the stand-in kernel
// driver, which logs the open, the request with the key's values at that moment, and the close.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "store/device_key.h"
#include "store/device_transfer.h"
#include "store/device_value.h"
#include "testlib/owned.h"
#include "testlib/registry.h"
#include "testlib/services.h"
#include "testlib/temp_dir.h"
#include "tests/settings_lines.h"
#include "tests/standin_driver_service.h"

namespace {
constexpr const char* DEVICE_KEY = "Software\\PadkitTests\\Transfer";
constexpr const char* CONTROL_CODE = "2236423"; // 0x222007: unknown device, function 0x801, neither
constexpr const char* IOCTL_LINE = "ioctl code=0x00222007 in=0x00000000 out=0x00000000";
constexpr const char* EXCLUSIVE_OPEN = "create share=0x00000000\n";
constexpr const char* SHARED_OPEN = "create share=0x00000003\n";

// The text `of` gives for each device value of the list, each followed by "/".
std::string perName(const std::function<std::string(const char*)>& of)
{
    std::string text;
    for (const char* name : {"Gain", "Deadzone", "Curve"})
        text += of(name) + "/";
    return text;
}

// The three device values in the key.
std::string inForce()
{
    return perName([](const char* name) { return regText(DEVICE_KEY, name); });
}

// What the driver found in the key when the request arrived: the "value" lines after it in its log.
std::string atRequest(const std::string& log)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(log.substr(std::min(log.find("ioctl"), log.size())));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("value ", 0) == 0)
            values[line.substr(6, line.find('=') - 6)] = line.substr(line.find('=') + 1);
    return perName([&](const char* name) { return values.count(name) ? values[name] : "<absent>"; });
}

// One request: opened with `open`, the request, then the close; the key held `values` (as
// atRequest shows them) when the request arrived, where given.
void expectOneRequest(const std::string& log, const char* open, const char* values = nullptr)
{
    EXPECT_EQ(log.find(open), 0u) << log;
    EXPECT_NE(log.find(IOCTL_LINE), std::string::npos) << log;
    EXPECT_LT(log.find("ioctl"), log.find("close\n")) << log;
    if (values) {
        EXPECT_EQ(atRequest(log), values) << "what the key held when the request arrived";
    }
}

class TransferTest : public StandinDriverTest {
protected:
    static void SetUpTestSuite() { installDriver("transfer_driver.log", DEVICE_KEY); }

    void SetUp() override
    {
        ASSERT_EQ(driverError, 0u) << "the stand-in driver could not be installed";
        writeLines(*store, ini::SETTINGS,
                   std::string("KEYS=3\n1=Gain\n2=Deadzone\n3=Curve\nREGPATH=") + DEVICE_KEY +
                       "\nDEVNODE=" + StandinDriverService::DEVICE_PATH + "\nIOCTLCODE=" + CONTROL_CODE);
        profile("P", "70", "2", "soft");
        driver->clearLog();
    }
    void TearDown() override { driver->clearLog(); }

    void settings(const char* key, const char* text) { store->writeText(ini::SETTINGS, key, text); }
    // The section's three device values, as inForce() shows the key's.
    std::string saved(const char* section)
    {
        return perName([&](const char* name) { return store->readText(section, name, "<absent>"); });
    }
    void profile(const char* section, const char* gain, const char* deadzone, const char* curve)
    {
        store->writeText(section, "Gain", gain);
        store->writeText(section, "Deadzone", deadzone);
        store->writeText(section, "Curve", curve);
    }

    ScratchKey key{DEVICE_KEY, {{"Gain", "100"}}}; // the pad's own value; profile "P" has 70/2/soft
    TempDir folder{"transfer"};
    const std::string path = folder.file("transfer.ini");
    std::unique_ptr<ProfileStore> store = std::make_unique<ProfileStore>(path);
};

TEST_F(TransferTest, ApplyWithSnapshotWritesKeySavesDefaultsThenTellsDriverExclusively)
{
    key.set("Deadzone", "5");
    applyProfile(*store, "P", true);
    EXPECT_EQ(inForce(), "70/2/soft/");
    EXPECT_EQ(saved("DEFAULT"), "100/5//") << "an absent value is recorded as the empty text";
    expectOneRequest(driver->log("close"), EXCLUSIVE_OPEN, "70/2/soft/");
}

// On 64-bit Windows the pad's driver reads the native view, also when profiler is a 32-bit program.
TEST_F(TransferTest, DeviceKeyIsTheNativeViewOnEveryBuild)
{
    const bool twoViews = sizeof(void*) == 8 || runsUnderWow64();
    if (twoViews)
        setRegText(DEVICE_KEY, "Gain", "redirected", REG_SZ, KEY_WOW64_32KEY);
    setActiveMarker(*store, "P");
    applyProfile(*store, "P", true);
    EXPECT_EQ(saved("DEFAULT"), "100///") << "the snapshot reads the native value";
    EXPECT_EQ(inForce(), "70/2/soft/") << "a native reader sees the profile";
    EXPECT_EQ(regText(DEVICE_KEY, "PROFILEACTIVE"), "P");
    EXPECT_EQ(atRequest(driver->log("close")), "70/2/soft/");
    if (twoViews) {
        EXPECT_EQ(regText(DEVICE_KEY, "Gain", KEY_WOW64_32KEY), "redirected");
        EXPECT_EQ(regText(DEVICE_KEY, "PROFILEACTIVE", KEY_WOW64_32KEY), "<absent>");
    }
    deleteRegTree(DEVICE_KEY, KEY_WOW64_32KEY);
}

TEST_F(TransferTest, SharedTransferOpensDriverShared)
{
    profile("TMP", "1", "2", "3");
    applyProfile(*store, "TMP", true, DriverSharing::Shared);
    expectOneRequest(driver->log("close"), SHARED_OPEN, "1/2/3/");
    EXPECT_EQ(saved("DEFAULT"), "100///");
}

TEST_F(TransferTest, RestoreWritesDefaultsBackAndBeforeAnySnapshotNothing)
{
    restoreDefaults(*store);
    EXPECT_EQ(inForce(), "100/<absent>/<absent>/") << "no snapshot, nothing to put back";
    EXPECT_EQ(saved("DEFAULT"), "<absent>/<absent>/<absent>/") << "restore takes no snapshot";

    key.set("Deadzone", "5");
    key.set("Curve", "hard");
    applyProfile(*store, "P", true);
    driver->clearLog();
    restoreDefaults(*store);
    EXPECT_EQ(inForce(), "100/5/hard/");
    expectOneRequest(driver->log("close"), EXCLUSIVE_OPEN, "100/5/hard/");
    key.set("Gain", "after");
    restoreDefaults(*store);
    EXPECT_EQ(regText(DEVICE_KEY, "Gain"), "after") << "a snapshot is put back once";
}

// A snapshot never put back holds the pad's own values: the next game's snapshot must not take
// the first profile's values in their place.
TEST_F(TransferTest, TwoAppliesWithoutRestoreKeepThePadsOwnValuesAsDefaults)
{
    profile("B", "2", "2", "2");
    applyProfile(*store, "P", true);
    applyProfile(*store, "B", true);
    EXPECT_EQ(saved("DEFAULT"), "100///");
    EXPECT_EQ(inForce(), "2/2/2/");
}

// The restore puts back what the snapshot took, to the key it took it from, whatever the file says
// by the game's end.
TEST_F(TransferTest, RestoreFollowsTheSnapshotNotTheFileAsEditedDuringTheGame)
{
    const std::string otherKey = std::string(DEVICE_KEY) + "\\Other";
    struct Case {
        const char* edit;
        std::function<void()> make;
        const char* padAfter; // the three values in the pad's key
    } cases[] = {
        {"a value removed from DEFAULT", [&] { store->removeKey("DEFAULT", "Deadzone"); }, "100/2/hard/"},
        {"KEYS raised", [&] { settings("KEYS", "4"); settings("4", "Extra"); }, "100/5/hard/"},
        {"REGPATH changed", [&] { settings("REGPATH", otherKey.c_str()); }, "100/5/hard/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit);
        settings("KEYS", "3");
        settings("REGPATH", DEVICE_KEY);
        setRegText(otherKey, "Gain", "9");
        key.set("Gain", "100");
        key.set("Deadzone", "5");
        key.set("Curve", "hard");
        key.set("Extra", "mine");
        ASSERT_TRUE(applyProfile(*store, "P", true));
        c.make();
        restoreDefaults(*store);
        EXPECT_EQ(inForce(), c.padAfter);
        EXPECT_EQ(regText(DEVICE_KEY, "Extra"), "mine") << "a value the snapshot did not take is left alone";
        EXPECT_EQ(regText(otherKey, "Gain"), "9") << "another program's key is never written";
    }
}

TEST_F(TransferTest, NoDeviceValuesWritesNothingButStillSendsTheRequest)
{
    settings("KEYS", "0");
    applyProfile(*store, "P", true);
    EXPECT_EQ(inForce(), "100/<absent>/<absent>/");
    EXPECT_EQ(saved("DEFAULT"), "<absent>/<absent>/<absent>/");
    expectOneRequest(driver->log("close"), EXCLUSIVE_OPEN);
}

TEST_F(TransferTest, DriverAbsentStillWritesValuesAndSnapshot)
{
    settings("DEVNODE", "\\\\.\\PadkitNoSuchDevice");
    applyProfile(*store, "P", true);
    EXPECT_EQ(inForce(), "70/2/soft/");
    EXPECT_EQ(saved("DEFAULT"), "100///");
    EXPECT_FALSE(notifyDriver(*store, DriverSharing::Exclusive));
    settings("DEVNODE", "");
    EXPECT_FALSE(notifyDriver(*store, DriverSharing::Shared));
    EXPECT_EQ(driver->log(), "");
}

TEST_F(TransferTest, ReadDeviceValuesCopiesWhatIsInForceWithoutTellingTheDriver)
{
    key.set("Curve", "hard");
    readDeviceValues(*store, "TMP");
    EXPECT_EQ(saved("TMP"), "100//hard/");
    EXPECT_EQ(inForce(), "100/<absent>/hard/");
    Sleep(100);
    EXPECT_EQ(driver->log(), "");
}

// The value's type and bytes as the Unicode functions give them.
std::string rawValue(const char* name)
{
    HKEY opened = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, DEVICE_KEY, 0, KEY_READ | NATIVE_VIEW, &opened);
    testlib::Key key(opened);
    const std::wstring wide(name, name + lstrlenA(name));
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), wide.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return "<absent>";
    std::string bytes(size, '\0');
    RegQueryValueExW(key.get(), wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
    return std::to_string(type) + ":" + bytes;
}

// A value that is not a short text is neither written over by a profile nor by a restore, and the
// snapshot records it as left alone; a text of 4,095 characters is still one.
TEST_F(TransferTest, ValuesThatAreNotShortTextsAreLeftAlone)
{
    const DWORD dword = 5;
    struct Case {
        DWORD type;
        std::string bytes;
    } cases[] = {
        {REG_DWORD, std::string(reinterpret_cast<const char*>(&dword), sizeof(dword))},
        {REG_BINARY, std::string("\x01\x02\x00\x03", 4)},
        {REG_SZ, std::string(4096, 'x')},
        {REG_SZ, "two\r\nlines"},
        {REG_SZ, std::string("ab\0cd", 5)},
        {REG_EXPAND_SZ, "%TEMP%"},
        {REG_MULTI_SZ, std::string("a\0b\0", 4)},
        {REG_SZ, SKIPPED_VALUE},
    }; // setRegText adds a zero byte to each
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        setRegText(DEVICE_KEY, "Gain", c.bytes, c.type);
        const std::string before = rawValue("Gain");
        EXPECT_TRUE(applyProfile(*store, "P", true));
        EXPECT_EQ(rawValue("Gain"), before);
        EXPECT_EQ(inForce().substr(inForce().find('/')), "/2/soft/");
        EXPECT_EQ(store->readText("DEFAULT", "Gain"), SKIPPED_VALUE);
        restoreDefaults(*store);
        EXPECT_EQ(rawValue("Gain"), before);
    }
    // A text the code page cannot hold would come back from the ANSI functions with "?" in it.
    const std::wstring unicode = L"\x041f\x0440\x043e\x0444\x0438\x043b\x044c \x2605 caf\x00e9";
    {
        HKEY opened = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, DEVICE_KEY, 0, KEY_SET_VALUE | NATIVE_VIEW, &opened);
        testlib::Key key(opened);
        RegSetValueExW(key.get(), L"Gain", 0, REG_SZ, reinterpret_cast<const BYTE*>(unicode.c_str()),
                       static_cast<DWORD>((unicode.size() + 1) * sizeof(wchar_t)));
    }
    const std::string before = rawValue("Gain");
    applyProfile(*store, "P", true);
    EXPECT_EQ(store->readText("DEFAULT", "Gain"), SKIPPED_VALUE);
    restoreDefaults(*store);
    EXPECT_EQ(rawValue("Gain"), before) << "the Unicode text is not rewritten";

    const std::string longest(4095, 'y');
    key.set("Gain", longest);
    applyProfile(*store, "P", true);
    EXPECT_EQ(regText(DEVICE_KEY, "Gain"), "70");
    restoreDefaults(*store);
    EXPECT_EQ(regText(DEVICE_KEY, "Gain"), longest);
}

// "KEYS" counts no more names than "SETTINGS" holds, and at most 256; an empty name names nothing,
// not the key's default value.
TEST_F(TransferTest, TheDeviceValueListIsBoundedAndEmptyNamesAreSkipped)
{
    settings("KEYS", "100000");
    EXPECT_EQ(store->deviceValueNames(), (std::vector<std::string>{"Gain", "Deadzone", "Curve"}));
    for (int k = 4; k <= 300; ++k)
        settings(std::to_string(k).c_str(), ("Extra" + std::to_string(k)).c_str());
    settings("KEYS", "2147483647");
    EXPECT_EQ(store->deviceValueNames().size(), 256u);

    settings("KEYS", "3");
    settings("2", "");
    setRegText(DEVICE_KEY, "", "the key's own value");
    applyProfile(*store, "P", true);
    restoreDefaults(*store);
    EXPECT_EQ(regText(DEVICE_KEY, ""), "the key's own value");
    EXPECT_EQ(readFile(path).find("\n="), std::string::npos) << "no key without a name";
}

TEST_F(TransferTest, MissingOrEmptyKeyPathWritesNoRegistryValueAnywhere)
{
    writeLines(*store, ini::SETTINGS, "REGPATH=\nKEYS=1\n1=PadkitStrayValue");
    store->writeText("P", "PadkitStrayValue", "1");
    applyProfile(*store, "P", true);
    EXPECT_EQ(regText("", "PadkitStrayValue"), "<absent>");
    RegDeleteValueA(HKEY_LOCAL_MACHINE, "PadkitStrayValue");
    EXPECT_NE(store->readText("DEFAULT", "PadkitStrayValue", "<absent>"), "<absent>");
    EXPECT_NE(driver->log("close").find(IOCTL_LINE), std::string::npos) << "the driver is still told";

    settings("REGPATH", "Software\\PadkitTests\\NoSuchKey");
    driver->clearLog();
    applyProfile(*store, "P", true);
    EXPECT_NE(driver->log("close").find(IOCTL_LINE), std::string::npos);
}
} // namespace
