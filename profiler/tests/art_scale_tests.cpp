// The scale of the button faces and the About banner for a DPI, and the bitmaps drawn at each scale.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

#include "profiler_ids.h"
#include "shell/art_scale.h"
#include "ui/handles.h"

namespace {

TEST(ArtScale, NearestDrawnScaleForTheDpiAndTheLargerWhenHalfway)
{
    const struct {
        int dpi;
        int scale;
    } cases[] = {
        {96, 100},  {72, 100},  {119, 100}, {120, 150}, {144, 150}, {167, 150}, {168, 200},
        {192, 200}, {288, 200}, {0, 100},   {-96, 100}, {INT_MAX, 200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nearestArtScale(c.dpi), c.scale) << c.dpi << " dpi";
}

// Every picture is in the program at every scale, at its 100 % size times the scale.
TEST(ArtScale, EveryBitmapLoadsAtEveryScaleAtItsSize)
{
    const struct {
        int id;
        int width;
        int height;
    } pictures[] = {
        {IDB_ABOUT, 240, 61},     {IDB_NEW_UP, 36, 36},   {IDB_DELETE_UP, 36, 36},
        {IDB_RUN_UP, 36, 36},     {IDB_EDIT_UP, 36, 36},  {IDB_NEW_DOWN, 36, 36},
        {IDB_DELETE_DOWN, 36, 36}, {IDB_RUN_DOWN, 36, 36}, {IDB_EDIT_DOWN, 36, 36},
    };
    for (int scale : {100, 150, 200}) {
        for (const auto& p : pictures) {
            int id = scaledBitmapId(p.id, scale);
            OwnedBitmap bitmap(static_cast<HBITMAP>(
                LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
            BITMAP info = {};
            ASSERT_TRUE(bitmap.valid() && GetObjectA(bitmap.get(), sizeof(info), &info)) << "bitmap " << id;
            EXPECT_EQ(info.bmWidth, (p.width * scale + 50) / 100) << "bitmap " << id;
            EXPECT_EQ(info.bmHeight, (p.height * scale + 50) / 100) << "bitmap " << id;
        }
    }
}

} // namespace
