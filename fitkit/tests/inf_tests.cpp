// INF reading on INF files of the tests, through the platform's SetupAPI.
#include <gtest/gtest.h>

#include "inf/inf_file.h"
#include "inf/models_section.h"
#include "support/inf_text.h"
#include "testlib/temp_dir.h"

static const char VERSION[] = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=FitkitTestPad\r\n";

TEST(OpenInf, ResolvesTheNameAndReadsTheClass)
{
    TempDir dir;
    dir.write("pad.inf", padInf());
    dir.write("sub\\pad.inf", padInf());
    dir.write("noguid.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=NoSuchFitkitClass\r\n");
    dir.write("known.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=HIDClass\r\n");
    CurrentDirectory here(dir.path());
    const GUID zero = {};
    struct Case {
        std::string name;
        std::string path;
        const char* className;
        const GUID* guid; // null: any GUID but zero (a class the system knows)
    } cases[] = {
        {"pad.inf", dir.file("pad.inf"), "FitkitTestPad", &PAD_CLASS_GUID},
        {"\"pad.inf\"", dir.file("pad.inf"), "FitkitTestPad", &PAD_CLASS_GUID},
        // A name with a backslash gets no ".\\" and is expanded as written.
        {"sub\\pad.inf", dir.file("sub\\pad.inf"), "FitkitTestPad", &PAD_CLASS_GUID},
        {dir.file("sub\\pad.inf"), dir.file("sub\\pad.inf"), "FitkitTestPad", &PAD_CLASS_GUID},
        {"noguid.inf", dir.file("noguid.inf"), "NoSuchFitkitClass", &zero},
        {"known.inf", dir.file("known.inf"), "HIDClass", nullptr},
    };
    for (const Case& c : cases) {
        InfFile inf;
        ASSERT_EQ(inf.openInf(c.name), 0u) << c.name;
        EXPECT_TRUE(inf.handle.valid());
        EXPECT_EQ(inf.path, c.path);
        EXPECT_EQ(inf.className, c.className);
        EXPECT_EQ(memcmp(&inf.classGuid, c.guid ? c.guid : &zero, sizeof(GUID)) == 0, c.guid != nullptr)
            << c.name;
    }
}

TEST(OpenInf, ReportsWhatCannotBeOpened)
{
    TempDir dir;
    CurrentDirectory here(dir.path());
    std::string garbage(4096, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919) % 251);
    dir.write("garbage.inf", garbage);
    for (const std::string& name : {std::string("garbage.inf"), std::string("absent.inf"), std::string(),
                                    std::string(300, 'a') + ".inf"}) {
        InfFile inf;
        DWORD code = inf.openInf(name);
        EXPECT_NE(code, 0u) << name;
        if (name.size() > MAX_PATH) {
            EXPECT_EQ(code, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
        }
        EXPECT_FALSE(inf.handle.valid()) << name;
    }
}

TEST(FindModel, FirstMatchInInfOrder)
{
    const std::string longId(500, 'L'); // Wine keeps fields of up to 511 characters
    const std::string noIds =
        std::string(VERSION) +
        "[Manufacturer]\r\nM=Models\r\n[Models]\r\nBare Pad=Install\r\nPad=Install,ID\\TWO\r\n";
    const DWORD NO_MATCH = ERROR_NO_MORE_ITEMS, FAILED = 1; // FAILED: any other non-zero code
    // The models section that this process's platform installs from: NTamd64 for the 64-bit build,
    // NTx86 for the 32-bit one (a 32-bit program is x86 also on 64-bit Windows).
    const bool amd64 = sizeof(void*) == 8;
    const std::string amd64Models = "[Models.NTamd64]\r\nPad amd64=I,ID\\PAD\r\n";
    const std::string both = std::string(VERSION) +
                             "[Manufacturer]\r\nM=Models,NTx86,NTamd64\r\n[Models]\r\nPad plain=I,ID\\PAD\r\n"
                             "[Models.NTx86]\r\nPad x86=I,ID\\PAD\r\n" + amd64Models;
    const std::string amd64Only = std::string(VERSION) + "[Manufacturer]\r\nM=Models,NTamd64\r\n" + amd64Models;
    struct Case {
        const char* name;
        std::string inf;
        std::string id;
        DWORD code;
        std::string deviceId, description, manufacturer; // deviceId "" when not found
    } cases[] = {
        {"empty id: the first", padInf(), "", 0, PAD_ID, PAD_DESCRIPTION, "Fitkit Tests"},
        {"compatible id", padInf(), PAD_COMPATIBLE_ID, 0, PAD_COMPATIBLE_ID, PAD_DESCRIPTION, "Fitkit Tests"},
        {"second manufacturer", padInf(), SECOND_ID, 0, SECOND_ID, SECOND_DESCRIPTION, "Other Maker"},
        {"other letter case: both manufacturers searched", padInf(), "usb\\vid_1f3a&pid_240b", NO_MATCH, "",
         "", "Other Maker"},
        {"a line without ids offers the empty id", noIds, "", 0, "", "Bare Pad", "M"},
        {"after a line without ids", noIds, "ID\\TWO", 0, "ID\\TWO", "Pad", "M"},
        {"fields longer than any first guess",
         std::string(VERSION) + "[Manufacturer]\r\nM=Models\r\n[Models]\r\n" + std::string(400, 'D') +
             "=Install," + std::string(3000, 'X') + "," + longId + "\r\n",
         longId, 0, longId, std::string(400, 'D'), "M"},
        {"no Manufacturer section", VERSION, "", FAILED, "", "", ""},
        {"a missing models section stops the search",
         std::string(VERSION) +
             "[Manufacturer]\r\nM=Missing\r\nN=Models\r\n[Models]\r\nPad=Install,ID\\TWO\r\n",
         "ID\\TWO", FAILED, "", "", "M"},
        {"the platform's decorated section", both, "ID\\PAD", 0, "ID\\PAD", amd64 ? "Pad amd64" : "Pad x86",
         "M"},
        {"a section for amd64 alone", amd64Only, "ID\\PAD", amd64 ? 0 : FAILED, "ID\\PAD",
         amd64 ? "Pad amd64" : "", "M"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        InfFile inf;
        ASSERT_EQ(inf.openInf(dir.write("test.inf", c.inf)), 0u);
        DeviceMatch match;
        match.deviceId = c.id;
        DWORD code = inf.findModel(match);
        if (c.code == FAILED) {
            EXPECT_NE(code, 0u);
            EXPECT_NE(code, NO_MATCH);
        } else {
            EXPECT_EQ(code, c.code);
        }
        bool found = c.code == 0;
        EXPECT_EQ(match.found, found);
        EXPECT_EQ(match.deviceId, found ? c.deviceId : c.id);
        EXPECT_EQ(match.description, c.description);
        EXPECT_EQ(match.manufacturer, c.manufacturer);
    }
}

TEST(ModelsSection, TheBestDecorationThatFitsThePlatform)
{
    const ModelsPlatform amd64_10{true, "amd64", 10, 0}, amd64_7{true, "amd64", 6, 1}, x86_xp{true, "x86", 5, 1},
        x86_10{true, "x86", 10, 0}, win98{false, "x86", 4, 10};
    struct Case {
        std::vector<std::string> decorations;
        ModelsPlatform platform;
        const char* chosen;
    } cases[] = {
        {{"NTamd64"}, amd64_10, "NTamd64"},
        {{"NTamd64"}, x86_10, ""},
        {{"NTx86", "NTamd64"}, amd64_10, "NTamd64"},
        {{"NTx86", "NTamd64"}, x86_xp, "NTx86"},
        {{"NT", "NTamd64"}, amd64_10, "NTamd64"},
        {{"NTamd64", "NT"}, amd64_10, "NTamd64"},
        {{"NT", "NTamd64"}, x86_10, "NT"},
        {{"NTamd64.10.0", "NTamd64.6.1", "NTamd64"}, amd64_10, "NTamd64.10.0"},
        {{"NTamd64.10.0", "NTamd64.6.1", "NTamd64"}, amd64_7, "NTamd64.6.1"},
        {{"NTx86.6.0", "NTx86.5.1"}, x86_xp, "NTx86.5.1"},
        {{"NTx86.6.0"}, x86_xp, ""},
        {{"ntAMD64"}, amd64_10, "ntAMD64"},
        {{"NTia64", "Win98", ""}, amd64_10, ""},
        {{"NTx86"}, win98, ""},
        {{"NTamd64.10.0", "NTamd64"}, amd64_10, "NTamd64"}, // NTamd64.10.0 has no section
    };
    auto exists = [](const std::string& decoration, void*) { return decoration != "NTamd64.10.0"; };
    auto always = [](const std::string&, void*) { return true; };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        bool (*check)(const std::string&, void*) = i + 1 == std::size(cases) ? +exists : +always;
        EXPECT_EQ(chooseModelsDecoration(c.decorations, c.platform, check, nullptr), c.chosen) << "case " << i;
    }
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
    InfFile inf;
    const std::string models =
        std::string(VERSION) + "[Models]\r\n%Pad%=Pad_Install,USB\\ONE,HID\\ONE\r\nShort=Install," +
        std::string(300, 'S') + "\r\nBare=Install\r\n[Strings]\r\nPad=\"Fitkit Test Pad\"\r\n";
    ASSERT_EQ(inf.openInf(dir.write("models.inf", models)), 0u);
    Walk all{{}, 0};
    EXPECT_EQ(inf.enumModels("Models", collectModel, &all), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    // Each line's own ids only, however many the line before had.
    EXPECT_EQ(all.seen,
              (std::vector<std::string>{"Fitkit Test Pad|Pad_Install|USB\\ONE|HID\\ONE",
                                        "Short|Install|" + std::string(300, 'S'), "Bare|Install|"}));

    Walk stop{{}, 1};
    EXPECT_EQ(inf.enumModels("Models", collectModel, &stop), 1234u);
    EXPECT_EQ(inf.enumModels("NoSuchSection", collectModel, &stop), 0xE0000102u);
}
