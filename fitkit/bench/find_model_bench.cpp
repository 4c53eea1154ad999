// findModel on a generated INF with 10,000 model lines whose match is the last one, against a bare
// SetupFindFirstLine/SetupFindNextLine walk of the same sections. Prints medians and their ratio.
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

    std::vector<double> search, walk;
    for (int run = 0; run < runs; ++run) {
        DeviceMatch match;
        match.deviceId = lastId;
        double start = now();
        DWORD code = inf.findModel(match);
        search.push_back(now() - start);
        if (code != 0 || !match.found) {
            fprintf(stderr, "no match: %lu\n", code);
            return 1;
        }

        start = now();
        long lines = 0;
        INFCONTEXT line;
        if (SetupFindFirstLineA(inf.handle.get(), "Manufacturer", nullptr, &line)) {
            do {
                INFCONTEXT model;
                if (SetupFindFirstLineA(inf.handle.get(), "Models", nullptr, &model)) {
                    do
                        ++lines;
                    while (SetupFindNextLine(&model, &model));
                }
            } while (SetupFindNextLine(&line, &line));
        }
        walk.push_back(now() - start);
        if (lines != MODEL_LINES) {
            fprintf(stderr, "walked %ld lines\n", lines);
            return 1;
        }
    }
    DeleteFileA(path.c_str());

    double s = median(search) * 1000.0, w = median(walk) * 1000.0;
    printf("%s, %d model lines, %d runs\n",
           tokens ? "descriptions as %string% tokens" : "descriptions in the lines", MODEL_LINES, runs);
    printf("  findModel, match on the last line: median %.3f ms\n", s);
    printf("  bare SetupFindFirstLine/SetupFindNextLine walk: median %.3f ms\n", w);
    printf("  ratio: %.1f\n", s / w);
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
