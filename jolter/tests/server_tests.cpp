// The real jolter.dll, loaded as DirectInput loads it: exports, class factory, COM counting rules,
// and a driver bound where no pad is present (Wine lists no such HID device).

#include "tests/fake_pad.h"
#include "testlib/owned.h"

namespace {

const CLSID CLSID_Driver = {0x5C3A9E21, 0x7D4B, 0x4F08, {0xB6, 0xE2, 0x91, 0xA0, 0xD4, 0x7C, 0x3F, 0x15}};
const DWORD EXTERNAL_ID = 7302;

using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(WINAPI*)();

template <typename Function>
Function exported(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class Server : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll = testlib::Library(LoadLibraryA("jolter.dll"));
        ASSERT_TRUE(dll.valid()) << "LoadLibrary error " << GetLastError();
        getClassObject = exported<GetClassObject>(dll.get(), "DllGetClassObject");
        canUnloadNow = exported<CanUnloadNow>(dll.get(), "DllCanUnloadNow");
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
    const struct {
        const CLSID& clsid;
        const IID& iid;
        HRESULT result;
    } refused[] = {{CLSID_Driver, IID_IUnknown, E_NOINTERFACE},
                   {CLSID_Driver, IID_IDirectInputEffectDriver, E_NOINTERFACE},
                   {IID_IDirectInputEffectDriver, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
                   {IID_IDirectInputEffectDriver, IID_IUnknown, CLASS_E_CLASSNOTAVAILABLE}};
    for (const auto& c : refused) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(c.clsid, c.iid, &object), c.result);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(getClassObject(CLSID_Driver, IID_IClassFactory, nullptr), E_POINTER);
}

// Both objects answer IUnknown and their own interface, refuse the other's, and keep the module
// loaded until their last Release. The factory's AddRef and Release report the count, the driver's
// report 0.
TEST_F(Server, ReferencesKeepTheModuleLoadedUntilTheLastRelease)
{
    IClassFactory* classFactory = factory();
    ASSERT_NE(classFactory, nullptr);
    IDirectInputEffectDriver* effectDriver = driver(classFactory);
    ASSERT_NE(effectDriver, nullptr);
    const struct {
        IUnknown* object;
        const IID& own;
        const IID& foreign;
        bool counted;
    } cases[] = {{classFactory, IID_IClassFactory, IID_IDirectInputEffectDriver, true},
                 {effectDriver, IID_IDirectInputEffectDriver, IID_IClassFactory, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.object->AddRef(), c.counted ? 2u : 0u);
        void* same = nullptr;
        EXPECT_EQ(c.object->QueryInterface(IID_IUnknown, &same), S_OK);
        EXPECT_EQ(same, c.object);
        EXPECT_EQ(c.object->QueryInterface(c.own, &same), S_OK);
        EXPECT_EQ(same, c.object);
        EXPECT_EQ(c.object->QueryInterface(c.foreign, &same), E_NOINTERFACE);
        EXPECT_EQ(same, nullptr);
        for (ULONG left = 3; left > 0; --left) {
            EXPECT_EQ(canUnloadNow(), S_FALSE);
            EXPECT_EQ(c.object->Release(), c.counted ? left : 0u);
        }
        EXPECT_EQ(c.object->Release(), 0u);
    }
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
    // Locked through one factory, unlocked through another.
    for (const BOOL lock : {TRUE, FALSE}) {
        IClassFactory* classFactory = factory();
        EXPECT_EQ(classFactory->LockServer(lock), S_OK);
        classFactory->Release();
        EXPECT_EQ(canUnloadNow(), lock ? S_FALSE : S_OK);
    }
}

TEST_F(Server, BoundWithoutAPadWritesFailWhileStateAndSlotsChange)
{
    SettingsKey settings(EXTERNAL_ID);
    IClassFactory* classFactory = factory();
    DriverUnderTest effectDriver(driver(classFactory));
    classFactory->Release();

    EXPECT_EQ(effectDriver->DeviceID(0x800, EXTERNAL_ID, TRUE, 0, nullptr), S_OK);
    EXPECT_TRUE(settings.exists()) << "binding creates the device's settings key";
    EXPECT_EQ(effectDriver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON));
    EXPECT_EQ(effectDriver->SetGain(0, 10000), S_FALSE);
    EXPECT_EQ(effectDriver->SendForceFeedbackCommand(0, DISFFC_PAUSE), S_FALSE);
    EXPECT_EQ(effectDriver.state().dwState, DWORD(DIGFFS_EMPTY | DIGFFS_ACTUATORSON | DIGFFS_PAUSED));

    const DWORD id = effectDriver.downloadConstant(INFINITE);
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(effectDriver->StartEffect(0, id, 0, 1), S_FALSE);
    EXPECT_EQ(effectDriver.status(id), DWORD(DIEGES_PLAYING));
    BYTE raw[20] = {2, 20};
    DIEFFESCAPE escape = escapeOf(ESCAPE_RAW_REPORT, raw, sizeof(raw));
    EXPECT_EQ(effectDriver->Escape(0, 0, &escape), S_FALSE);

    EXPECT_EQ(effectDriver->DeviceID(0x800, EXTERNAL_ID, FALSE, 0, nullptr), S_OK);
}

} // namespace
