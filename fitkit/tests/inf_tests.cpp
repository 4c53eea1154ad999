// INF reading on INF files of the tests, through the platform's SetupAPI.
#include <gtest/gtest.h>

#include "inf/inf_file.h"
#include "support/inf_text.h"
#include "testlib/temp_dir.h"

static DeviceMatch search(InfFile& inf, const std::string& id, DWORD* code)
{
    DeviceMatch match;
    match.deviceId = id;
    *code = inf.findModel(match);
    return match;
}

TEST(OpenInf, ResolvesQuotesRelativeNamesAndClass)
{
    TempDir dir;
    dir.write("pad.inf", padInf());
    dir.write("sub\\pad.inf", padInf());
    CurrentDirectory here(dir.path());

    InfFile bare;
    ASSERT_EQ(bare.openInf("pad.inf"), 0u);
    EXPECT_EQ(bare.path, dir.file("pad.inf"));
    EXPECT_TRUE(bare.handle.isOpen());
    EXPECT_EQ(bare.className, "FitkitTestPad");
    const GUID expected = {0x2B7C41E0, 0x5A3D, 0x4E19, {0x8F, 0x62, 0x0D, 0x9B, 0x3C, 0x7A, 0x1E, 0x54}};
    EXPECT_EQ(memcmp(&bare.classGuid, &expected, sizeof(GUID)), 0);

    InfFile quoted;
    ASSERT_EQ(quoted.openInf("\"pad.inf\""), 0u);
    EXPECT_EQ(quoted.path, dir.file("pad.inf"));

    // A name with a backslash gets no ".\\" and is expanded as written.
    InfFile sub;
    ASSERT_EQ(sub.openInf("sub\\pad.inf"), 0u);
    EXPECT_EQ(sub.path, dir.file("sub\\pad.inf"));

    InfFile full;
    ASSERT_EQ(full.openInf(dir.file("sub\\pad.inf")), 0u);
    EXPECT_EQ(full.path, dir.file("sub\\pad.inf"));
}

TEST(OpenInf, ReportsWhatCannotBeOpened)
{
    TempDir dir;
    CurrentDirectory here(dir.path());
    InfFile missing;
    EXPECT_NE(missing.openInf("absent.inf"), 0u);
    EXPECT_FALSE(missing.handle.isOpen());
    InfFile empty;
    EXPECT_NE(empty.openInf(""), 0u);
    std::string garbage(4096, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919) % 251);
    dir.write("garbage.inf", garbage);
    InfFile broken;
    EXPECT_NE(broken.openInf("garbage.inf"), 0u);
    InfFile overlong;
    EXPECT_EQ(overlong.openInf(std::string(300, 'a') + ".inf"),
              static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(overlong.handle.isOpen());
}

TEST(OpenInf, AcceptsAnUnknownClassWithoutGuid)
{
    TempDir dir;
    dir.write("noguid.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=NoSuchFitkitClass\r\n"
                            "[Manufacturer]\r\nM=Models\r\n[Models]\r\nPad=Install,ID\\ONE\r\n");
    dir.write("known.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=HIDClass\r\n");
    CurrentDirectory here(dir.path());
    InfFile unknown;
    ASSERT_EQ(unknown.openInf("noguid.inf"), 0u);
    EXPECT_EQ(unknown.className, "NoSuchFitkitClass");
    static const GUID zero = {};
    EXPECT_EQ(memcmp(&unknown.classGuid, &zero, sizeof(GUID)), 0);

    // A class the system knows gets its GUID from the system.
    InfFile known;
    ASSERT_EQ(known.openInf("known.inf"), 0u);
    EXPECT_NE(memcmp(&known.classGuid, &zero, sizeof(GUID)), 0);
}

TEST(FindModel, MatchesIdsExactlyInInfOrder)
{
    TempDir dir;
    dir.write("pad.inf", padInf());
    CurrentDirectory here(dir.path());
    InfFile inf;
    ASSERT_EQ(inf.openInf("pad.inf"), 0u);
    DWORD code = 1;

    DeviceMatch first = search(inf, "", &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.found);
    EXPECT_EQ(first.deviceId, PAD_ID);
    EXPECT_EQ(first.description, PAD_DESCRIPTION);
    EXPECT_EQ(first.manufacturer, "Fitkit Tests");

    DeviceMatch compatible = search(inf, PAD_COMPATIBLE_ID, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(compatible.found);
    EXPECT_EQ(compatible.deviceId, PAD_COMPATIBLE_ID);
    EXPECT_EQ(compatible.description, PAD_DESCRIPTION);

    DeviceMatch second = search(inf, SECOND_ID, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(second.found);
    EXPECT_EQ(second.description, SECOND_DESCRIPTION);
    EXPECT_EQ(second.manufacturer, "Other Maker");

    DeviceMatch otherCase = search(inf, "usb\\vid_1f3a&pid_240b", &code);
    EXPECT_EQ(code, static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_FALSE(otherCase.found);
    EXPECT_EQ(otherCase.manufacturer, "Other Maker") << "both manufacturers searched";
}

TEST(FindModel, HandlesLinesWithoutIdsAndBrokenSections)
{
    TempDir dir;
    std::string longId(3000, 'L');
    dir.write("longid.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=FitkitTestPad\r\n"
                            "[Manufacturer]\r\nM=Models\r\n[Models]\r\n" +
                                std::string(400, 'D') + "=Install," + longId + ",ID\\AFTER\r\n");
    dir.write("noids.inf",
              "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=FitkitTestPad\r\n"
              "[Manufacturer]\r\nM=Models\r\n[Models]\r\nBare Pad=Install\r\nPad=Install,ID\\TWO\r\n");
    dir.write("nomfg.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=FitkitTestPad\r\n");
    dir.write("nomodels.inf",
              "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=FitkitTestPad\r\n"
              "[Manufacturer]\r\nM=Missing\r\nN=Models\r\n[Models]\r\nPad=Install,ID\\TWO\r\n");
    CurrentDirectory here(dir.path());
    DWORD code = 0;

    InfFile noIds;
    ASSERT_EQ(noIds.openInf("noids.inf"), 0u);
    DeviceMatch any = search(noIds, "", &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(any.found);
    EXPECT_EQ(any.deviceId, "") << "a line without ids offers the empty id";
    EXPECT_EQ(any.description, "Bare Pad");
    DeviceMatch two = search(noIds, "ID\\TWO", &code);
    EXPECT_TRUE(two.found);
    EXPECT_EQ(two.description, "Pad");

    InfFile longLine;
    ASSERT_EQ(longLine.openInf("longid.inf"), 0u);
    DeviceMatch after = search(longLine, "ID\\AFTER", &code);
    EXPECT_TRUE(after.found);
    EXPECT_EQ(after.description, std::string(400, 'D'));

    InfFile noManufacturer;
    ASSERT_EQ(noManufacturer.openInf("nomfg.inf"), 0u);
    DeviceMatch none = search(noManufacturer, "", &code);
    EXPECT_NE(code, 0u);
    EXPECT_NE(code, static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_FALSE(none.found);

    // A models section that is missing stops the search before the next manufacturer.
    InfFile noModels;
    ASSERT_EQ(noModels.openInf("nomodels.inf"), 0u);
    DeviceMatch stopped = search(noModels, "ID\\TWO", &code);
    EXPECT_NE(code, 0u);
    EXPECT_NE(code, static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_FALSE(stopped.found);
    EXPECT_EQ(stopped.manufacturer, "M");
}

struct Walk {
    std::vector<std::string> seen;
    size_t stopAt;
};

static bool collectModel(InfFile&, const ModelLine& line, void* context, DWORD* code)
{
    Walk& walk = *static_cast<Walk*>(context);
    std::string text = line.description + "|" + line.installSection;
    for (const std::string& id : line.ids)
        text += "|" + id;
    walk.seen.push_back(text);
    if (walk.seen.size() == walk.stopAt) {
        *code = 1234;
        return false;
    }
    return true;
}

TEST(EnumModels, HandsEachLineToTheVisitorUntilItStops)
{
    TempDir dir;
    dir.write("pad.inf", padInf());
    CurrentDirectory here(dir.path());
    InfFile inf;
    ASSERT_EQ(inf.openInf("pad.inf"), 0u);

    Walk all{{}, 0};
    EXPECT_EQ(inf.enumModels("PadModels", collectModel, &all), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    ASSERT_EQ(all.seen.size(), 1u);
    EXPECT_EQ(all.seen[0], "Fitkit Test Pad|Pad_Install|USB\\VID_1F3A&PID_240B|HID\\VID_1F3A&PID_240B");

    Walk stop{{}, 1};
    EXPECT_EQ(inf.enumModels("PadModels", collectModel, &stop), 1234u);
    EXPECT_EQ(inf.enumModels("NoSuchSection", collectModel, &stop), 0xE0000102u);
}
