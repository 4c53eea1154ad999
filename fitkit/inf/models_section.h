#pragma once
// Which models section of a Manufacturer line the running platform installs from: the line lists
// the section's name and the decorations it comes in (TargetOSVersion:
// NT[architecture][.major[.minor[...]]]), and the platform takes the best of those that fit it.
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

struct ModelsPlatform {
    bool nt = true;
    std::string architecture; // as INF decorations spell it: "x86", "amd64"
    DWORD major = 0, minor = 0;
};

// The platform of this process: its own architecture (a 32-bit process is x86, also on 64-bit
// Windows) and the reported Windows version.
ModelsPlatform runningPlatform();

// The decoration that fits the platform best, or "" for the undecorated section: of those naming
// no architecture or the platform's, and no version above the platform's, the highest version
// wins, then one that names the architecture; among equals the first. `exists` says whether the
// section `name.decoration` is in the INF. Windows 9x has no decorated sections.
std::string chooseModelsDecoration(const std::vector<std::string>& decorations, const ModelsPlatform& platform,
                                   bool (*exists)(const std::string& decoration, void* context),
                                   void* context);

// The models section the platform installs from for the Manufacturer line at `line`, whose field 1
// is `section` and fields 2 and on `decorations`: SetupDiGetActualModelsSectionA where setupapi.dll
// has it, else the rule above; the undecorated name when nothing fits.
std::string actualModelsSection(HINF inf, INFCONTEXT& line, const std::string& section,
                                const std::vector<std::string>& decorations);
