#include "inf/models_section.h"

#include <cstdlib>
#include <cstring>

namespace {
struct Decoration {
    bool valid = false;
    std::string architecture;
    DWORD major = 0, minor = 0;
};

// "NT", "NTamd64", "NTx86.5.1", "NT.6.0.1": the architecture and the first two version parts; the
// product type and suite mask that may follow are not compared.
Decoration parse(const std::string& text)
{
    Decoration d;
    if (text.size() < 2 || _strnicmp(text.c_str(), "NT", 2) != 0)
        return d;
    size_t dot = text.find('.', 2);
    d.architecture = text.substr(2, dot == std::string::npos ? std::string::npos : dot - 2);
    if (dot != std::string::npos) {
        const char* rest = text.c_str() + dot + 1;
        d.major = static_cast<DWORD>(strtoul(rest, nullptr, 10));
        const char* next = strchr(rest, '.');
        if (next)
            d.minor = static_cast<DWORD>(strtoul(next + 1, nullptr, 10));
    }
    d.valid = true;
    return d;
}

bool sectionExists(const std::string& section, void* inf)
{
    return SetupGetLineCountA(static_cast<HINF>(inf), section.c_str()) >= 0;
}

struct SectionCheck {
    HINF inf;
    const std::string* section;
};

bool decoratedExists(const std::string& decoration, void* context)
{
    const SectionCheck& check = *static_cast<SectionCheck*>(context);
    return sectionExists(*check.section + "." + decoration, check.inf);
}
} // namespace

ModelsPlatform runningPlatform()
{
    ModelsPlatform platform;
    platform.architecture = sizeof(void*) == 8 ? "amd64" : "x86";
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExA(&version)) {
        platform.nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        platform.major = version.dwMajorVersion;
        platform.minor = version.dwMinorVersion;
    }
    return platform;
}

std::string chooseModelsDecoration(const std::vector<std::string>& decorations, const ModelsPlatform& platform,
                                   bool (*exists)(const std::string& decoration, void* context), void* context)
{
    if (!platform.nt)
        return {};
    std::string best;
    Decoration bestParts;
    for (const std::string& text : decorations) {
        Decoration d = parse(text);
        if (!d.valid || (!d.architecture.empty() && _stricmp(d.architecture.c_str(), platform.architecture.c_str())))
            continue;
        if (d.major > platform.major || (d.major == platform.major && d.minor > platform.minor))
            continue;
        if (bestParts.valid) {
            bool higher = d.major != bestParts.major ? d.major > bestParts.major : d.minor > bestParts.minor;
            bool sameVersion = d.major == bestParts.major && d.minor == bestParts.minor;
            bool moreSpecific = sameVersion && !d.architecture.empty() && bestParts.architecture.empty();
            if (!higher && !moreSpecific)
                continue;
        }
        if (!exists(text, context))
            continue;
        best = text;
        bestParts = d;
    }
    return best;
}

std::string actualModelsSection(HINF inf, INFCONTEXT& line, const std::string& section,
                                const std::vector<std::string>& decorations)
{
    using GetActual = BOOL(WINAPI*)(PINFCONTEXT, PSP_ALTPLATFORM_INFO, PSTR, DWORD, PDWORD, PVOID);
    auto getActual = reinterpret_cast<GetActual>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("setupapi.dll"), "SetupDiGetActualModelsSectionA")));
    char name[MAX_INF_SECTION_NAME_LENGTH + 1] = {};
    if (getActual && getActual(&line, nullptr, name, sizeof(name), nullptr, nullptr) && name[0])
        return name;
    SectionCheck check{inf, &section};
    std::string decoration = chooseModelsDecoration(decorations, runningPlatform(), decoratedExists, &check);
    return decoration.empty() ? section : section + "." + decoration;
}
