// Device profile transfer against a real settings file, real registry keys and the stand-in kernel
// driver, which logs the open, the request with the key's values at that moment, and the close.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "device_transfer.h"
#include "standin_driver_service.h"
#include "testlib/registry.h"
#include "testlib/temp_dir.h"

namespace {
constexpr const char* DEVICE_KEY = "Software\\PadkitTests\\Transfer";
constexpr const char* CONTROL_CODE = "2236423"; // 0x222007: unknown device, function 0x801, neither
constexpr const char* IOCTL_LINE = "ioctl code=0x00222007 in=0x00000000 out=0x00000000";
constexpr const char* EXCLUSIVE_OPEN = "create share=0x00000000\n";
constexpr const char* SHARED_OPEN = "create share=0x00000003\n";

void setValue(const char* name, const std::string& text, DWORD type = REG_SZ)
{
    setRegText(DEVICE_KEY, name, text, type);
}

// The value's text, or "<absent>".
std::string value(const char* name)
{
    return regText(DEVICE_KEY, name);
}

// The "value" lines that follow the request in the driver's log: what it found in the key.
std::map<std::string, std::string> valuesAtRequest(const std::string& log)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(
        log.substr(log.find("ioctl") == std::string::npos ? log.size() : log.find("ioctl")));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("value ", 0) != 0)
            continue;
        size_t eq = line.find('=');
        values[line.substr(6, eq - 6)] = line.substr(eq + 1);
    }
    return values;
}

class TransferTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        driver = new StandinDriverService;
        driverError = driver->install(tempPath("transfer_driver.log"), DEVICE_KEY);
    }
    static void TearDownTestSuite()
    {
        delete driver;
        driver = nullptr;
    }

    void SetUp() override
    {
        ASSERT_EQ(driverError, 0u) << "the stand-in driver could not be installed";
        path = tempPath("transfer.ini");
        DeleteFileA(path.c_str());
        store = std::make_unique<ProfileStore>(path);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, DEVICE_KEY);
        makeRegKey(DEVICE_KEY);
        settings("KEYS", "3");
        settings("1", "Gain");
        settings("2", "Deadzone");
        settings("3", "Curve");
        settings("REGPATH", DEVICE_KEY);
        settings("DEVNODE", StandinDriverService::DEVICE_PATH);
        settings("IOCTLCODE", CONTROL_CODE);
        driver->clearLog();
    }
    void TearDown() override
    {
        DeleteFileA(path.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, DEVICE_KEY);
        driver->clearLog();
    }

    void settings(const char* key, const char* text) { store->writeText(ini::SETTINGS, key, text); }
    std::string ini(const char* section, const char* key) { return store->readText(section, key); }
    bool hasKey(const char* section, const char* key)
    {
        char buffer[16] = {};
        GetPrivateProfileStringA(section, key, "<absent>", buffer, sizeof(buffer), path.c_str());
        return std::string(buffer) != "<absent>";
    }
    void profile(const char* section, const char* gain, const char* deadzone, const char* curve)
    {
        store->writeText(section, "Gain", gain);
        store->writeText(section, "Deadzone", deadzone);
        store->writeText(section, "Curve", curve);
    }

    static StandinDriverService* driver;
    static DWORD driverError;
    std::string path;
    std::unique_ptr<ProfileStore> store;
};
StandinDriverService* TransferTest::driver = nullptr;
DWORD TransferTest::driverError = 0;

TEST_F(TransferTest, ApplyWithSnapshotWritesKeySavesDefaultsThenTellsDriverExclusively)
{
    setValue("Gain", "100");
    setValue("Deadzone", "5");
    profile("C:\\Games\\Fly\\fly.exe", "70", "2", "soft");

    applyProfile(*store, "C:\\Games\\Fly\\fly.exe", true);

    EXPECT_EQ(value("Gain"), "70");
    EXPECT_EQ(value("Deadzone"), "2");
    EXPECT_EQ(value("Curve"), "soft");
    EXPECT_EQ(ini("DEFAULT", "Gain"), "100");
    EXPECT_EQ(ini("DEFAULT", "Deadzone"), "5");
    EXPECT_TRUE(hasKey("DEFAULT", "Curve")) << "an absent value is recorded as the empty text";
    EXPECT_EQ(ini("DEFAULT", "Curve"), "");

    std::string log = driver->log("close");
    EXPECT_EQ(log.find(EXCLUSIVE_OPEN), 0u) << log;
    EXPECT_NE(log.find(IOCTL_LINE), std::string::npos) << log;
    EXPECT_NE(log.find("close\n"), std::string::npos) << log;
    EXPECT_LT(log.find("ioctl"), log.find("close")) << log;
    std::map<std::string, std::string> seen = valuesAtRequest(log);
    EXPECT_EQ(seen["Gain"], "70") << "the key must hold the new values when the request arrives";
    EXPECT_EQ(seen["Deadzone"], "2");
    EXPECT_EQ(seen["Curve"], "soft");
}

TEST_F(TransferTest, SharedTransferOpensDriverShared)
{
    profile("TMP", "1", "2", "3");
    setValue("Gain", "9");
    transferDeviceValues(*store, "TMP", "DEFAULT", DriverSharing::Shared);
    std::string log = driver->log("close");
    EXPECT_EQ(log.find(SHARED_OPEN), 0u) << log;
    EXPECT_NE(log.find(IOCTL_LINE), std::string::npos) << log;
    EXPECT_EQ(valuesAtRequest(log)["Gain"], "1");
    EXPECT_EQ(ini("DEFAULT", "Gain"), "9");
}

TEST_F(TransferTest, RestoreWritesDefaultsBackAndBeforeAnySnapshotWritesEmptyTexts)
{
    setValue("Gain", "100");
    restoreDefaults(*store);
    EXPECT_EQ(value("Gain"), "");
    EXPECT_EQ(value("Deadzone"), "");
    EXPECT_EQ(value("Curve"), "");
    EXPECT_FALSE(hasKey("DEFAULT", "Gain")) << "restore takes no snapshot";
    EXPECT_EQ(driver->log("close").find(EXCLUSIVE_OPEN), 0u);

    setValue("Gain", "100");
    setValue("Deadzone", "5");
    setValue("Curve", "hard");
    profile("P", "70", "2", "soft");
    applyProfile(*store, "P", true);
    driver->clearLog();
    restoreDefaults(*store);
    EXPECT_EQ(value("Gain"), "100");
    EXPECT_EQ(value("Deadzone"), "5");
    EXPECT_EQ(value("Curve"), "hard");
    std::string log = driver->log("close");
    EXPECT_EQ(log.find(EXCLUSIVE_OPEN), 0u) << log;
    EXPECT_EQ(valuesAtRequest(log)["Curve"], "hard");
}

TEST_F(TransferTest, TwoAppliesWithoutRestoreKeepTheFirstProfileAsDefaults)
{
    setValue("Gain", "100");
    profile("A", "1", "1", "1");
    profile("B", "2", "2", "2");
    applyProfile(*store, "A", true);
    applyProfile(*store, "B", true);
    EXPECT_EQ(ini("DEFAULT", "Gain"), "1");
    EXPECT_EQ(value("Gain"), "2");
}

TEST_F(TransferTest, NoDeviceValuesWritesNothingButStillSendsTheRequest)
{
    settings("KEYS", "0");
    profile("P", "70", "2", "soft");
    setValue("Gain", "100");
    applyProfile(*store, "P", true);
    EXPECT_EQ(value("Gain"), "100");
    EXPECT_FALSE(hasKey("DEFAULT", "Gain"));
    std::string log = driver->log("close");
    EXPECT_NE(log.find(IOCTL_LINE), std::string::npos) << log;
}

TEST_F(TransferTest, DriverAbsentStillWritesValuesAndSnapshot)
{
    settings("DEVNODE", "\\\\.\\PadkitNoSuchDevice");
    setValue("Gain", "100");
    profile("P", "70", "2", "soft");
    applyProfile(*store, "P", true);
    EXPECT_EQ(value("Gain"), "70");
    EXPECT_EQ(ini("DEFAULT", "Gain"), "100");
    EXPECT_FALSE(notifyDriver(*store, DriverSharing::Exclusive));
    settings("DEVNODE", "");
    EXPECT_FALSE(notifyDriver(*store, DriverSharing::Shared));
    EXPECT_EQ(driver->log(), "");
}

TEST_F(TransferTest, ReadDeviceValuesCopiesWhatIsInForceWithoutTellingTheDriver)
{
    setValue("Gain", "100");
    setValue("Curve", "hard");
    readDeviceValues(*store, "TMP");
    EXPECT_EQ(ini("TMP", "Gain"), "100");
    EXPECT_EQ(ini("TMP", "Curve"), "hard");
    EXPECT_TRUE(hasKey("TMP", "Deadzone"));
    EXPECT_EQ(value("Gain"), "100");
    Sleep(100);
    EXPECT_EQ(driver->log(), "");
}

TEST_F(TransferTest, UnusualRegistryValuesSurviveSnapshotAndRestore)
{
    std::string longText(600, 'x');
    setValue("Gain", longText);               // longer than the usual 258 characters: kept whole
    setValue("Deadzone", "\x05", REG_BINARY); // not a text: recorded empty
    profile("P", "70", "2", "soft");
    applyProfile(*store, "P", true);
    EXPECT_EQ(ini("DEFAULT", "Gain"), longText);
    EXPECT_EQ(ini("DEFAULT", "Deadzone"), "");
    restoreDefaults(*store);
    EXPECT_EQ(value("Gain"), longText);
}

TEST_F(TransferTest, MissingOrEmptyKeyPathWritesNoRegistryValueAnywhere)
{
    settings("REGPATH", "");
    settings("KEYS", "1");
    settings("1", "PadkitStrayValue");
    store->writeText("P", "PadkitStrayValue", "1");
    applyProfile(*store, "P", true);
    char buffer[16];
    DWORD size = sizeof(buffer);
    EXPECT_NE(RegQueryValueExA(HKEY_LOCAL_MACHINE, "PadkitStrayValue", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    RegDeleteValueA(HKEY_LOCAL_MACHINE, "PadkitStrayValue");
    EXPECT_TRUE(hasKey("DEFAULT", "PadkitStrayValue"));
    EXPECT_NE(driver->log("close").find(IOCTL_LINE), std::string::npos) << "the driver is still told";

    settings("REGPATH", "Software\\PadkitTests\\NoSuchKey");
    driver->clearLog();
    applyProfile(*store, "P", true);
    EXPECT_NE(driver->log("close").find(IOCTL_LINE), std::string::npos);
}
} // namespace
