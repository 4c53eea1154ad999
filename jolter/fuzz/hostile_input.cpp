#include "fuzz/hostile_input.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "link/handles.h"
#include "pad_reports/effect_types.h"

namespace {

struct PagesTraits {
    static BYTE* empty() { return nullptr; }
    static BYTE* normal(BYTE* pages) { return pages; }
    static void close(BYTE* pages) { VirtualFree(pages, 0, MEM_RELEASE); }
};
using Pages = Owned<PagesTraits>;

// Regions of data pages each followed by a no-access page; a placement puts its bytes at the very
// end of a region's data.
class GuardedRegions {
public:
    static constexpr size_t DATA_SIZE = 16 * 4096;
    static constexpr int COUNT = 8;

    GuardedRegions()
    {
        for (Pages& region : regions_) {
            region.reset(static_cast<BYTE*>(
                VirtualAlloc(nullptr, DATA_SIZE + 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)));
            DWORD old = 0;
            VirtualProtect(region.get() + DATA_SIZE, 4096, PAGE_NOACCESS, &old);
        }
    }

    void reset() { next_ = 0; }
    // Copies `size` bytes (at most DATA_SIZE) so that they end at the guard page.
    void* place(const void* data, size_t size)
    {
        BYTE* end = regions_[next_++ % COUNT].get() + DATA_SIZE;
        std::memcpy(end - size, data, size);
        return end - size;
    }

private:
    Pages regions_[COUNT];
    int next_ = 0;
};

const DWORD AXIS_IDS[] = {0x01000002, 0x01000102, 0x01000202, 0, 4, 8, 0xFFFFFFFF};
const DWORD TYPE_IDS[] = {0x00, TYPE_CONSTANT, TYPE_RAMP,  TYPE_SINE, TYPE_SPRING, TYPE_OTHER,
                          0xC6, 0xE7,          0xFFFFFFFF, 0x20,      0x80};
const DWORD COMMANDS[] = {DISFFC_RESET,
                          DISFFC_STOPALL,
                          DISFFC_PAUSE,
                          DISFFC_CONTINUE,
                          DISFFC_SETACTUATORSON,
                          DISFFC_SETACTUATORSOFF,
                          0,
                          3,
                          0x40,
                          0xFFFFFFFF};

class Fuzzer {
public:
    Fuzzer(IDirectInputEffectDriver* driver, SinkPad& pad, uint32_t seed, FuzzCounts& counts,
           std::string& failure)
        : driver_(driver), pad_(pad), random_(seed), counts_(counts), failure_(failure)
    {
    }

    bool step()
    {
        regions_.reset();
        pad_.now += pick(4) == 0 ? static_cast<DWORD>(random_()) : pick(3000);
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            return download();
        case 3:
            return check("StartEffect", driver_->StartEffect(0, effectId(), pick(4), pick(5)));
        case 4:
            return check("StopEffect", driver_->StopEffect(0, effectId()));
        case 5:
            return check("DestroyEffect", driver_->DestroyEffect(0, effectId()));
        case 6: {
            auto* status = static_cast<DWORD*>(regions_.place("\0\0\0\0", sizeof(DWORD)));
            return check("GetEffectStatus",
                         driver_->GetEffectStatus(0, effectId(), pick(8) ? status : nullptr));
        }
        case 7:
            return escape();
        case 8:
            return check(
                "SendForceFeedbackCommand",
                driver_->SendForceFeedbackCommand(0, COMMANDS[pick(sizeof(COMMANDS) / sizeof(DWORD))]));
        default: {
            DIDEVICESTATE blank = {};
            auto* state = static_cast<DIDEVICESTATE*>(regions_.place(&blank, sizeof(blank)));
            if (pick(2))
                return check("SetGain", driver_->SetGain(0, static_cast<DWORD>(random_())));
            return check("GetForceFeedbackState",
                         driver_->GetForceFeedbackState(0, pick(8) ? state : nullptr));
        }
        }
    }

private:
    DWORD pick(DWORD n) { return static_cast<DWORD>(random_() % n); }
    LONG anyLong()
    {
        static const LONG edges[] = {0, 1, -1, 10000, -10000, 0x7FFFFFFF, LONG(0x80000000), 332, 333};
        return pick(3) ? edges[pick(sizeof(edges) / sizeof(LONG))] : static_cast<LONG>(random_());
    }
    DWORD effectId() { return pick(10) ? pick(258) : static_cast<DWORD>(random_()); }

    bool check(const char* call, HRESULT result)
    {
        ++counts_.calls;
        if (result == S_OK)
            ++counts_.ok;
        else if (result == S_FALSE)
            ++counts_.refused;
        else if (result == DIERR_OUTOFMEMORY)
            ++counts_.outOfMemory;
        else {
            char code[16];
            snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(result));
            failure_ = std::string(call) + " returned " + code;
            return false;
        }
        return true;
    }

    DWORD axisCount()
    {
        switch (pick(8)) {
        case 0:
            return 0;
        case 1:
            return 33 + pick(4000); // beyond any device
        default:
            return 1 + pick(4);
        }
    }

    const void* typeBlock(DWORD* size)
    {
        // A block of random length (often just short of a structure), or none at all.
        static const DWORD sizes[] = {0, 3, 4, 7, 8, 15, 16, 23, 24, 25, 47, 48, 72, 96};
        *size = pick(6) ? sizes[pick(sizeof(sizes) / sizeof(DWORD))] : pick(200);
        std::vector<LONG> block((*size + 3) / 4);
        for (LONG& value : block)
            value = anyLong();
        if (pick(10) == 0)
            return nullptr;
        return regions_.place(block.data(), *size);
    }

    bool download()
    {
        DIEFFECT effect = {};
        static const DWORD structureSizes[] = {sizeof(DIEFFECT), sizeof(DIEFFECT_DX5),
                                               sizeof(DIEFFECT_DX5) - 4, 0};
        effect.dwSize = structureSizes[pick(8) ? pick(2) : pick(4)];
        effect.dwFlags = pick(4) ? DIEFF_OBJECTIDS | DIEFF_CARTESIAN : static_cast<DWORD>(random_());
        effect.dwDuration = pick(4) ? pick(3000000) : (pick(2) ? INFINITE : static_cast<DWORD>(random_()));
        effect.cAxes = axisCount();
        std::vector<DWORD> axes(effect.cAxes);
        std::vector<LONG> directions(effect.cAxes);
        for (DWORD i = 0; i < effect.cAxes; ++i) {
            axes[i] = AXIS_IDS[pick(sizeof(AXIS_IDS) / sizeof(DWORD))];
            directions[i] = anyLong();
        }
        if (effect.cAxes > 0) {
            if (pick(12))
                effect.rgdwAxes =
                    static_cast<DWORD*>(regions_.place(axes.data(), axes.size() * sizeof(DWORD)));
            if (pick(12))
                effect.rglDirection =
                    static_cast<LONG*>(regions_.place(directions.data(), directions.size() * sizeof(LONG)));
        }
        effect.lpvTypeSpecificParams = const_cast<void*>(typeBlock(&effect.cbTypeSpecificParams));

        // The structure itself is only as long as its dwSize says.
        const DIEFFECT* passed = nullptr;
        if (pick(30))
            passed = static_cast<const DIEFFECT*>(
                regions_.place(&effect, effect.dwSize >= sizeof(DWORD) ? effect.dwSize : sizeof(DWORD)));

        DWORD requested = pick(3) ? 0 : effectId();
        auto* id = static_cast<DWORD*>(regions_.place(&requested, sizeof(requested)));
        const DWORD type =
            pick(5) ? TYPE_IDS[pick(sizeof(TYPE_IDS) / sizeof(DWORD))] : static_cast<DWORD>(random_());
        const DWORD flags = pick(2) ? DIEP_START : static_cast<DWORD>(random_());
        const bool withId = pick(40) != 0;
        const HRESULT result = driver_->DownloadEffect(0, type, withId ? id : nullptr, passed, flags);
        if (!check("DownloadEffect", result))
            return false;
        if (withId && (*id > 255 || (result == S_OK && *id == 0))) {
            failure_ = "DownloadEffect handed back effect id " + std::to_string(*id);
            return false;
        }
        return true;
    }

    bool escape()
    {
        const DWORD length = pick(40);
        std::vector<BYTE> bytes(length);
        for (BYTE& b : bytes)
            b = static_cast<BYTE>(random_());
        if (length > 1 && pick(2))
            bytes[1] = static_cast<BYTE>(pick(2) ? length : pick(40));
        void* buffer = pick(10) ? regions_.place(bytes.data(), length) : nullptr;

        DIEFFESCAPE request = {};
        request.dwSize = sizeof(request);
        static const DWORD commands[] = {0, 0, 0, 0x100, 1, 0xFFFFFFFF};
        request.dwCommand = commands[pick(sizeof(commands) / sizeof(DWORD))];
        request.lpvInBuffer = buffer;
        request.cbInBuffer = length;
        auto* passed = static_cast<DIEFFESCAPE*>(regions_.place(&request, sizeof(request)));
        return check("Escape", driver_->Escape(0, pick(8) ? 0 : pick(3), pick(30) ? passed : nullptr));
    }

    IDirectInputEffectDriver* driver_;
    SinkPad& pad_;
    std::mt19937 random_;
    FuzzCounts& counts_;
    std::string& failure_;
    GuardedRegions regions_;
};

} // namespace

SinkPad::SinkPad() = default;
SinkPad::~SinkPad() = default;

UniqueHandle SinkPad::openPad(const char*, const WCHAR*)
{
    return UniqueHandle(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
}

bool fuzzDriver(IDirectInputEffectDriver* driver, SinkPad& pad, uint32_t seed, long operations,
                FuzzCounts& counts, std::string& failure)
{
    Fuzzer fuzzer(driver, pad, seed, counts, failure);
    for (long i = 0; i < operations; ++i) {
        if (!fuzzer.step())
            return false;
    }
    return true;
}
