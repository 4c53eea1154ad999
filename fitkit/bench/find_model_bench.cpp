// findModel on a generated INF with 10,000 model lines whose match is the last one, against a floor
// that does the same necessary work: the same walk of the Manufacturer and models sections, each
// line's field count, and one SetupGetStringFieldA per field findModel reads, into a fixed buffer.
// A bare walk that reads no field is shown beside them. Prints medians and the ratio to the floor.
// Usage: fitkit_find_model_bench [runs [token-runs]]. The model descriptions are written in the
// lines; token-runs > 0 also measures an INF whose descriptions are %string% tokens.
#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "inf/inf_file.h"

static const int MODEL_LINES = 10000;

static double now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

static double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

static std::string writeInf(bool tokens)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "fitkit-bench.inf";
    std::string text = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=FitkitBenchPad\r\n"
                       "ClassGuid={0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9}\r\n"
                       "[Manufacturer]\r\n%Maker%=Models\r\n[Models]\r\n";
    char line[160];
    for (int i = 0; i < MODEL_LINES; ++i) {
        snprintf(
            line, sizeof(line),
            tokens ? "%%Pad%d%%=Pad_Install,USB\\VID_1F3A&PID_%04X,HID\\VID_1F3A&PID_%04X\r\n"
                   : "\"Bench Pad number %d\"=Pad_Install,USB\\VID_1F3A&PID_%04X,HID\\VID_1F3A&PID_%04X\r\n",
            i, i, i);
        text += line;
    }
    text += "[Pad_Install]\r\n[Strings]\r\nMaker=\"Bench Maker\"\r\n";
    for (int i = 0; tokens && i < MODEL_LINES; ++i) {
        snprintf(line, sizeof(line), "Pad%d=\"Bench Pad number %d\"\r\n", i, i);
        text += line;
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return std::string();
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return path;
}

// The floor: fields 0 and 1 of each Manufacturer line, then of each model line of the section that
// field 1 names its field count and every field, each read once into a fixed buffer.
static long readFields(HINF inf)
{
    char field[512];
    long lines = 0;
    INFCONTEXT line;
    if (!SetupFindFirstLineA(inf, "Manufacturer", nullptr, &line))
        return 0;
    do {
        SetupGetStringFieldA(&line, 0, field, sizeof(field), nullptr);
        SetupGetStringFieldA(&line, 1, field, sizeof(field), nullptr);
        INFCONTEXT model;
        if (!SetupFindFirstLineA(inf, field, nullptr, &model))
            continue;
        do {
            DWORD count = SetupGetFieldCount(&model);
            for (DWORD i = 0; i <= count; ++i)
                SetupGetStringFieldA(&model, i, field, sizeof(field), nullptr);
            ++lines;
        } while (SetupFindNextLine(&model, &model));
    } while (SetupFindNextLine(&line, &line));
    return lines;
}

// A walk of the same lines that reads nothing.
static long walkLines(HINF inf)
{
    long lines = 0;
    INFCONTEXT line;
    if (!SetupFindFirstLineA(inf, "Manufacturer", nullptr, &line))
        return 0;
    do {
        INFCONTEXT model;
        if (SetupFindFirstLineA(inf, "Models", nullptr, &model)) {
            do
                ++lines;
            while (SetupFindNextLine(&model, &model));
        }
    } while (SetupFindNextLine(&line, &line));
    return lines;
}

template <typename Work>
static double timed(Work work)
{
    double start = now();
    bool ok = work();
    double elapsed = now() - start;
    return ok ? elapsed : -1.0;
}

static int measure(bool tokens, int runs)
{
    std::string path = writeInf(tokens);
    InfFile inf;
    if (path.empty() || inf.openInf(path) != 0) {
        fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    char lastId[64];
    snprintf(lastId, sizeof(lastId), "HID\\VID_1F3A&PID_%04X", MODEL_LINES - 1);

    std::vector<double> search, floor, walk;
    for (int run = 0; run < runs; ++run) {
        search.push_back(timed([&] {
            DeviceMatch match;
            match.deviceId = lastId;
            return inf.findModel(match) == 0 && match.found;
        }));
        floor.push_back(timed([&] { return readFields(inf.handle.get()) == MODEL_LINES; }));
        walk.push_back(timed([&] { return walkLines(inf.handle.get()) == MODEL_LINES; }));
        if (search.back() < 0 || floor.back() < 0 || walk.back() < 0) {
            fprintf(stderr, "a search or walk went wrong\n");
            return 1;
        }
    }
    DeleteFileA(path.c_str());

    double s = median(search) * 1000.0, f = median(floor) * 1000.0, w = median(walk) * 1000.0;
    printf("%s, %d model lines, %d runs\n",
           tokens ? "descriptions as %string% tokens" : "descriptions in the lines", MODEL_LINES, runs);
    printf("  findModel, match on the last line: median %.3f ms\n", s);
    printf("  floor, the same fields each read once into a fixed buffer: median %.3f ms\n", f);
    printf("  bare walk, no field read: median %.3f ms\n", w);
    printf("  ratio findModel / floor: %.2f\n", s / f);
    return 0;
}

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    int tokenRuns = argc > 2 ? atoi(argv[2]) : 0;
    int result = measure(false, runs);
    if (result == 0 && tokenRuns > 0)
        result = measure(true, tokenRuns);
    return result;
}
