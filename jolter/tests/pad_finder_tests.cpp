// The pad search: product-string matching, the walk over a scripted interface list, and the HID
// devices Wine really lists.
#include <gtest/gtest.h>

#include <windows.h>
extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "link/direct_input.h"
#include "link/handles.h"
#include "link/pad_finder.h"

namespace {

TEST(PadFinder, ProductStringIsComparedByLowBytesAsAPrefix)
{
    const WCHAR highBytes[] = {0x414B, 0x1250, 0xFF58, 0x0132, 0x0134, 0x7F30, 0};
    const struct {
        const char* wanted;
        const WCHAR* product;
        size_t units;
        bool matches;
    } cases[] = {
        {"KPX240", L"KPX240", 128, true},
        {"KPX240", L"KPX240 Force Pad", 128, true},
        {"KPX240", L"KPX24", 128, false},
        {"KPX240", L"KPX241", 128, false},
        {"KPX240", highBytes, 128, true},
        {"", L"KPX24", 128, true},
        // A string that fills the platform's buffer without a terminator is read no further.
        {"KPX", L"KPX240 Force Pad", 3, true},
        {"KPX240", L"KPX240 Force Pad", 5, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(productMatches(c.wanted, c.product, c.units), c.matches) << c.wanted << " / " << c.units;
}

// Interfaces described by the test; "handles" are events, so every open is a real handle that the
// search must close again.
class ScriptedInterfaces : public HidInterfaceList {
public:
    struct Interface {
        std::wstring product;
        bool readable = true;
        int opensAllowed = 1000;
    };

    bool valid() override { return true; }
    PathResult devicePath(DWORD index, char* path, size_t size) override
    {
        asked.push_back(index);
        if (index >= interfaces.size())
            return NO_MORE_INTERFACES;
        if (!interfaces[index].readable)
            return PATH_UNREADABLE;
        lstrcpynA(path, std::to_string(index).c_str(), int(size));
        return PATH_READ;
    }
    // Paths are the interfaces' indices; any other path names no device.
    UniqueHandle open(const char* path, DWORD access) override
    {
        char* end = nullptr;
        const size_t at = std::strtoul(path, &end, 10);
        if (*path == '\0' || *end != '\0' || at >= interfaces.size() || interfaces[at].opensAllowed-- <= 0)
            return UniqueHandle();
        opened.push_back({CreateEventA(nullptr, FALSE, FALSE, nullptr), at});
        if (access != 0)
            readWrite.push_back(at);
        return UniqueHandle(opened.back().first);
    }
    bool productString(HANDLE device, WCHAR* buffer, ULONG bytes) override
    {
        const size_t at = ownerOf(device);
        if (at == size_t(-1) || interfaces[at].product.empty())
            return false;
        lstrcpynW(buffer, interfaces[at].product.c_str(), int(bytes / sizeof(WCHAR)));
        return true;
    }
    // Index of the interface whose live handle `found` is (closed handle values are reused, so the
    // latest open with that value), and whether every other open was closed.
    size_t ownerOf(HANDLE found) const
    {
        const auto latest =
            std::find_if(opened.rbegin(), opened.rend(), [&](const Open& o) { return o.first == found; });
        return latest == opened.rend() ? size_t(-1) : latest->second;
    }
    bool othersClosed(HANDLE found) const
    {
        return std::none_of(opened.begin(), opened.end(), [&](const Open& o) {
            DWORD flags = 0;
            return o.first != found && GetHandleInformation(o.first, &flags);
        });
    }

    std::vector<Interface> interfaces;
    std::vector<DWORD> asked;
    using Open = std::pair<HANDLE, size_t>; // a handle handed out and its interface
    std::vector<Open> opened;
    std::vector<size_t> readWrite; // interfaces opened with access rights, in order
};

// Forty mice, with the pad's product string at the given places.
std::vector<ScriptedInterfaces::Interface> mice(std::vector<size_t> padsAt)
{
    std::vector<ScriptedInterfaces::Interface> list(40, {L"Mouse"});
    for (size_t at : padsAt)
        list[at].product = L"KPX240";
    return list;
}

// The search asks for the interfaces in order until the list ends or one matches, probes each it
// can read and open without access rights, opens only the first match for reading and writing and
// closes every other handle. A machine with a gaming keyboard and mouse, a headset and a few USB
// devices lists dozens of HID collections. A given interface that is the pad is taken without a
// search; any other given path leaves the search as it would be without one.
TEST(PadFinder, TakesTheGivenPadOrElseTheFirstMatchItCanReadAndOpen)
{
    const size_t NONE = size_t(-1);
    const struct {
        const char* what;
        std::vector<ScriptedInterfaces::Interface> interfaces;
        size_t found, asked, opened;
        const WCHAR* given = nullptr;
    } cases[] = {
        {"given pad", mice({30, 35}), 35, 0, 2, L"35"},
        {"given mouse", mice({30, 35}), 30, 31, 33, L"3"},
        {"given path of no device", mice({30}), 30, 31, 32, L"\\\\?\\hid#gone"},
        // Another pad does not stand in for the one DirectInput named.
        {"given pad that cannot be opened twice", {{L"KPX240"}, {L"KPX240", true, 1}}, NONE, 0, 1, L"1"},
        {"prefixes", {{L"Keyboard", false}, {L"KPX24"}, {L""}, {L"KPX240 Pro"}, {L"KPX240"}}, 3, 4, 4},
        {"deep in a long list", mice({30, 35}), 30, 31, 32},
        {"not in a long list", mice({}), NONE, 41, 40},
        // A path that cannot be read, a device that cannot even be opened to be queried.
        {"unreadable, unopenable", {{L"Keyboard", false}, {L"Mouse", true, 0}, {L"KPX240"}}, 2, 3, 2},
        {"second open fails", {{L"KPX240", true, 1}, {L"KPX240"}}, NONE, 1, 1},
    };
    for (const auto& c : cases) {
        ScriptedInterfaces list;
        list.interfaces = c.interfaces;
        const UniqueHandle pad = findPadAmong(PAD_PRODUCT, c.given, list);
        EXPECT_EQ(pad.valid() ? list.ownerOf(pad.get()) : NONE, c.found) << c.what;
        EXPECT_EQ(list.readWrite.empty() ? NONE : list.readWrite.back(), c.found) << c.what;
        EXPECT_LE(list.readWrite.size(), c.given ? 2u : 1u) << c.what;
        EXPECT_TRUE(list.othersClosed(pad.get())) << c.what;
        std::vector<DWORD> asked(c.asked);
        std::iota(asked.begin(), asked.end(), 0);
        EXPECT_EQ(list.asked, asked) << c.what;
        EXPECT_EQ(list.opened.size(), c.opened) << c.what;
    }
}

// DeviceID's last parameter names a device only as a DIHIDFFINITINFO of the platform's size.
TEST(PadFinder, GivenInterfaceNeedsAFullInitInfoWithAPath)
{
    WCHAR path[] = L"\\\\?\\hid#vid_f055&pid_0240#1";
    const DIHIDFFINITINFO full = {sizeof(DIHIDFFINITINFO), path, {}};
    const DIHIDFFINITINFO larger = {sizeof(DIHIDFFINITINFO) + 8, path, {}};
    const DIHIDFFINITINFO small = {sizeof(DIHIDFFINITINFO) - 1, path, {}};
    const DIHIDFFINITINFO noPath = {sizeof(DIHIDFFINITINFO), nullptr, {}};
    EXPECT_EQ(givenInterface(&full), path);
    EXPECT_EQ(givenInterface(&larger), path);
    EXPECT_EQ(givenInterface(&small), nullptr);
    EXPECT_EQ(givenInterface(&noPath), nullptr);
    EXPECT_EQ(givenInterface(nullptr), nullptr);
}

// Wine lists its own virtual HID devices but no pad: the search walks the real interfaces, opens
// them and reads their product strings.
TEST(PadFinder, SearchesWinesHidDevices)
{
    EXPECT_FALSE(findPadDevice(PAD_PRODUCT, nullptr).valid());

    // The empty text matches the first device whose product string can be read; the handle is the
    // second open, usable for reports.
    const UniqueHandle any = findPadDevice("", nullptr);
    ASSERT_TRUE(any.valid());
    WCHAR product[128] = {};
    EXPECT_TRUE(HidD_GetProductString(any.get(), product, sizeof(product)));
}

} // namespace
