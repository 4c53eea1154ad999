// The real jolter.dll, loaded as DirectInput loads it: exports, class factory, COM counting rules,
// and a driver bound where no pad is present (Wine lists no such HID device).
#include <gtest/gtest.h>

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <string>

#include "testlib/owned.h"
#include "testlib/registry.h"

namespace {

const CLSID CLSID_Driver = {0x5C3A9E21, 0x7D4B, 0x4F08, {0xB6, 0xE2, 0x91, 0xA0, 0xD4, 0x7C, 0x3F, 0x15}};
const DWORD EXTERNAL_ID = 7302;

using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(WINAPI*)();

class Server : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll = testlib::Library(LoadLibraryA("jolter.dll"));
        ASSERT_TRUE(dll.valid()) << "LoadLibrary error " << GetLastError();
        getClassObject = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllGetClassObject")));
        canUnloadNow = reinterpret_cast<CanUnloadNow>(
            reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllCanUnloadNow")));
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_NE(canUnloadNow, nullptr);
        ASSERT_EQ(canUnloadNow(), S_OK);
    }
    void TearDown() override
    {
        if (dll.valid()) {
            EXPECT_EQ(canUnloadNow(), S_OK) << "a test left an object or a lock behind";
            dll.reset();
        }
    }
    IClassFactory* factory()
    {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(CLSID_Driver, IID_IClassFactory, &object), S_OK);
        return static_cast<IClassFactory*>(object);
    }
    IDirectInputEffectDriver* driver(IClassFactory* from)
    {
        void* object = nullptr;
        EXPECT_EQ(from->CreateInstance(nullptr, IID_IDirectInputEffectDriver, &object), S_OK);
        return static_cast<IDirectInputEffectDriver*>(object);
    }

    testlib::Library dll;
    GetClassObject getClassObject = nullptr;
    CanUnloadNow canUnloadNow = nullptr;
};

TEST_F(Server, ClassObjectIsServedOnlyForItsClassAsAClassFactory)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(CLSID_Driver, IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(CLSID_Driver, IID_IDirectInputEffectDriver, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    for (REFIID iid : {IID_IClassFactory, IID_IUnknown}) {
        object = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(IID_IDirectInputEffectDriver, iid, &object), CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(getClassObject(CLSID_Driver, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, FactoryCountsItsReferencesAndKeepsTheModuleLoaded)
{
    IClassFactory* first = factory();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(first->AddRef(), 2u);
    void* unknown = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, first);
    EXPECT_EQ(first->QueryInterface(IID_IDirectInputEffectDriver, &unknown), E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(first->Release(), 2u);
    EXPECT_EQ(first->Release(), 1u);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, CreateInstanceRefusesAggregationAndForeignInterfacesWithoutLeaking)
{
    IClassFactory* classFactory = factory();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(classFactory->CreateInstance(reinterpret_cast<IUnknown*>(classFactory),
                                           IID_IDirectInputEffectDriver, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(classFactory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(classFactory->CreateInstance(nullptr, IID_IDirectInputEffectDriver, nullptr), E_POINTER);
    classFactory->Release();
    // Only the factory was alive: nothing the refused calls made is left.
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, LockServerHoldsTheModule)
{
    IClassFactory* classFactory = factory();
    EXPECT_EQ(classFactory->LockServer(TRUE), S_OK);
    classFactory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    classFactory = factory();
    EXPECT_EQ(classFactory->LockServer(FALSE), S_OK);
    classFactory->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Server, DriverReferencesReportZeroAndTheLastReleaseFreesIt)
{
    IClassFactory* classFactory = factory();
    IDirectInputEffectDriver* effectDriver = driver(classFactory);
    ASSERT_NE(effectDriver, nullptr);
    classFactory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(effectDriver->AddRef(), 0u);
    void* unknown = nullptr;
    EXPECT_EQ(effectDriver->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, effectDriver);
    EXPECT_EQ(effectDriver->QueryInterface(IID_IClassFactory, &unknown), E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(effectDriver->Release(), 0u);
    EXPECT_EQ(effectDriver->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(effectDriver->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

class SettingsKey {
public:
    SettingsKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()); }
    ~SettingsKey()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OV\\4B7D");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OV");
    }
    bool exists() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    void set(const char* name, const char* text) { ASSERT_TRUE(setRegText(path, name, text)); }
    const std::string path = "Software\\OV\\4B7D\\" + std::to_string(EXTERNAL_ID);
};

DIEFFECT constantOnX(DWORD* axis, LONG* direction, DICONSTANTFORCE* force)
{
    *axis = 0x01000002;
    *direction = 0;
    force->lMagnitude = 5000;
    DIEFFECT effect = {};
    effect.dwSize = sizeof(effect);
    effect.dwFlags = DIEFF_OBJECTIDS | DIEFF_CARTESIAN;
    effect.dwDuration = INFINITE;
    effect.cAxes = 1;
    effect.rgdwAxes = axis;
    effect.rglDirection = direction;
    effect.cbTypeSpecificParams = sizeof(*force);
    effect.lpvTypeSpecificParams = force;
    return effect;
}

TEST_F(Server, BoundWithoutAPadWritesFailWhileStateAndSlotsChange)
{
    SettingsKey settings;
    IClassFactory* classFactory = factory();
    IDirectInputEffectDriver* effectDriver = driver(classFactory);
    classFactory->Release();

    EXPECT_EQ(effectDriver->DeviceID(0x800, EXTERNAL_ID, TRUE, 0, nullptr), S_OK);
    EXPECT_TRUE(settings.exists()) << "binding creates the device's settings key";
    DIDEVICESTATE state = {sizeof(state), 0, 0};
    EXPECT_EQ(effectDriver->GetForceFeedbackState(0, &state), S_OK);
    EXPECT_EQ(state.dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON));
    EXPECT_EQ(effectDriver->SetGain(0, 10000), S_FALSE);
    EXPECT_EQ(effectDriver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_FALSE);
    EXPECT_EQ(effectDriver->GetForceFeedbackState(0, &state), S_OK);
    EXPECT_EQ(state.dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON | DIGFFS_PAUSED));

    DWORD axis;
    LONG direction;
    DICONSTANTFORCE force;
    DIEFFECT effect = constantOnX(&axis, &direction, &force);
    DWORD id = 0;
    EXPECT_EQ(effectDriver->DownloadEffect(0, 0x21, &id, &effect, 0), S_OK);
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(effectDriver->StartEffect(0, id, 0, 1), S_FALSE);
    DWORD status = 0;
    EXPECT_EQ(effectDriver->GetEffectStatus(0, id, &status), S_OK);
    EXPECT_EQ(status, DWORD(DIEGES_PLAYING));
    BYTE raw[20] = {2, 20};
    DIEFFESCAPE escape = {sizeof(escape), 0, raw, sizeof(raw), nullptr, 0};
    EXPECT_EQ(effectDriver->Escape(0, 0, &escape), S_FALSE);

    EXPECT_EQ(effectDriver->DeviceID(0x800, EXTERNAL_ID, FALSE, 0, nullptr), S_OK);
    effectDriver->Release();
}

// FFENABLED is seen through the status of a started effect: held (not sent) when disabled.
TEST_F(Server, EnabledSettingIsReadAtBinding)
{
    SettingsKey settings;
    IClassFactory* classFactory = factory();
    const struct {
        const char* text;
        DWORD status;
    } cases[] = {{"0", DIEGES_PLAYING | DIEGES_EMULATED},
                 {"2", DIEGES_PLAYING | DIEGES_EMULATED},
                 {"yes", DIEGES_PLAYING | DIEGES_EMULATED},
                 {" +1", DIEGES_PLAYING},
                 {"1", DIEGES_PLAYING}};
    for (const auto& c : cases) {
        settings.set("FFENABLED", c.text);
        IDirectInputEffectDriver* effectDriver = driver(classFactory);
        effectDriver->DeviceID(0x800, EXTERNAL_ID, TRUE, 0, nullptr);
        DWORD axis;
        LONG direction;
        DICONSTANTFORCE force;
        DIEFFECT effect = constantOnX(&axis, &direction, &force);
        DWORD id = 0;
        ASSERT_EQ(effectDriver->DownloadEffect(0, 0x21, &id, &effect, 0), S_OK);
        // Held: nothing to write, so S_OK even without a pad; sent: the write fails.
        EXPECT_EQ(effectDriver->StartEffect(0, id, 0, 1), c.status == DIEGES_PLAYING ? S_FALSE : S_OK)
            << c.text;
        DWORD status = 0;
        EXPECT_EQ(effectDriver->GetEffectStatus(0, id, &status), S_OK);
        EXPECT_EQ(status, c.status) << '"' << c.text << '"';
        effectDriver->Release();
    }
    classFactory->Release();
}

} // namespace
