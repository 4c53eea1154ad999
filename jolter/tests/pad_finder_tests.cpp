// Matching the pad's product string, and the search over the HID devices Wine really lists.
#include <gtest/gtest.h>

#include <windows.h>
extern "C" {
#include <hidsdi.h>
}

#include "link/handles.h"
#include "link/pad_finder.h"

namespace {

TEST(PadFinder, ProductStringIsComparedByLowBytesAsAPrefix)
{
    const WCHAR exact[] = L"KPX240";
    const WCHAR longer[] = L"KPX240 Force Pad";
    const WCHAR shorter[] = L"KPX24";
    const WCHAR other[] = L"KPX241";
    const WCHAR highBytes[] = {0x414B, 0x1250, 0xFF58, 0x0132, 0x0134, 0x7F30, 0};
    EXPECT_TRUE(productMatches("KPX240", exact, 128));
    EXPECT_TRUE(productMatches("KPX240", longer, 128));
    EXPECT_FALSE(productMatches("KPX240", shorter, 128));
    EXPECT_FALSE(productMatches("KPX240", other, 128));
    EXPECT_TRUE(productMatches("KPX240", highBytes, 128));
    EXPECT_TRUE(productMatches("", shorter, 128));
    // A string that fills the platform's buffer without a terminator is read no further.
    EXPECT_TRUE(productMatches("KPX", longer, 3));
    EXPECT_FALSE(productMatches("KPX240", longer, 5));
}

// Wine lists its own virtual HID devices but no pad: the search walks the real interfaces, opens
// them and reads their product strings.
TEST(PadFinder, SearchesWinesHidDevices)
{
    UniqueHandle pad(FindPadDevice(PAD_PRODUCT));
    EXPECT_FALSE(pad);

    // The empty text matches the first device whose product string can be read; the handle is the
    // second open, usable for reports.
    UniqueHandle any(FindPadDevice(""));
    ASSERT_TRUE(any);
    WCHAR product[128] = {};
    EXPECT_TRUE(HidD_GetProductString(any.get(), product, sizeof(product)));
}

} // namespace
