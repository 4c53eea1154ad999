#include "inf/inf_file.h"

#include <windows.h>
#include <setupapi.h>

#include <cstring>

#include "inf/models_section.h"

static const char MANUFACTURER_SECTION[] = "Manufacturer";
static const size_t CLASS_NAME_SIZE = 64;

DWORD InfFieldReader::read(INFCONTEXT& line, DWORD index, std::string& out)
{
    DWORD required = 0;
    while (!SetupGetStringFieldA(&line, index, buffer.data(), static_cast<DWORD>(buffer.size()), &required)) {
        DWORD code = GetLastError();
        if (code != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) {
            out.clear();
            return code;
        }
        buffer.resize(required);
    }
    out.assign(buffer.data()); // keeps the capacity `out` already has
    return 0;
}

DWORD readInfField(INFCONTEXT& line, DWORD index, std::string& out)
{
    InfFieldReader reader;
    return reader.read(line, index, out);
}

DWORD InfFile::openInf(const std::string& name)
{
    std::string file = name;
    if (!file.empty() && file[0] == '"') {
        file.erase(0, 1);
        if (!file.empty() && file.back() == '"')
            file.pop_back();
    }
    if (file.find('\\') == std::string::npos)
        file = ".\\" + file;

    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(file.c_str(), MAX_PATH, full, nullptr);
    if (length == 0)
        return GetLastError();
    if (length >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    path = full;

    HINF opened = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return GetLastError();
    handle.reset(opened);

    char classBuffer[CLASS_NAME_SIZE] = {};
    if (!SetupDiGetINFClassA(path.c_str(), &classGuid, classBuffer, sizeof(classBuffer), nullptr))
        return GetLastError();
    className = classBuffer;

    static const GUID zero = {};
    if (memcmp(&classGuid, &zero, sizeof(GUID)) == 0) {
        // A class named without a GUID: ask the system; an unknown class keeps the zero GUID.
        DWORD count = 0;
        SetupDiClassGuidsFromNameA(className.c_str(), &classGuid, 1, &count);
    }
    return 0;
}

// Fields 2 and on of a model line, up to the first that cannot be read; one empty id when none.
// The texts of the previous line are overwritten in place.
static void readIds(InfFieldReader& reader, INFCONTEXT& line, std::vector<std::string>& ids)
{
    DWORD count = SetupGetFieldCount(&line);
    size_t used = 0;
    for (DWORD i = 2; i <= count; ++i) {
        if (used == ids.size())
            ids.emplace_back();
        if (reader.read(line, i, ids[used]) != 0)
            break;
        ++used;
    }
    if (used == 0) {
        if (ids.empty())
            ids.emplace_back();
        ids[0].clear();
        used = 1;
    }
    ids.resize(used);
}

// Walks the lines of `section`, reading fields 0 and 1 of each (and fields 2 and on with `withIds`)
// into one line record that every line reuses; the visitor gets the line's context too.
template <typename Visit>
static DWORD walkSection(HINF inf, const char* section, bool withIds, Visit visit)
{
    INFCONTEXT line = {};
    if (!SetupFindFirstLineA(inf, section, nullptr, &line))
        return GetLastError();
    InfFieldReader reader;
    ModelLine model;
    do {
        DWORD code = reader.read(line, 0, model.description);
        if (code == 0)
            code = reader.read(line, 1, model.installSection);
        if (code != 0)
            return code;
        if (withIds)
            readIds(reader, line, model.ids);
        DWORD stored = 0;
        if (!visit(line, model, &stored))
            return stored;
    } while (SetupFindNextLine(&line, &line));
    return ERROR_NO_MORE_ITEMS;
}

DWORD InfFile::enumManufacturers(ManufacturerVisitor visitor, void* context)
{
    // A Manufacturer line: name, models section, then the decorations the section comes in.
    return walkSection(handle.get(), MANUFACTURER_SECTION, true,
                       [&](INFCONTEXT& context_, const ModelLine& line, DWORD* code) {
                           std::string models =
                               actualModelsSection(handle.get(), context_, line.installSection, line.ids);
                           return visitor(*this, line.description, models, context, code);
                       });
}

DWORD InfFile::enumModels(const std::string& section, ModelVisitor visitor, void* context)
{
    return walkSection(handle.get(), section.c_str(), true, [&](INFCONTEXT&, const ModelLine& line, DWORD* code) {
        return visitor(*this, line, context, code);
    });
}

static bool visitModel(InfFile&, const ModelLine& line, void* context, DWORD* code)
{
    DeviceMatch& match = *static_cast<DeviceMatch*>(context);
    for (const std::string& id : line.ids) {
        // Exact, case-sensitive: equal bytes are equal multibyte characters.
        if (match.deviceId.empty() || id == match.deviceId) {
            match.deviceId = id;
            match.description = line.description;
            match.found = true;
            *code = 0;
            return false;
        }
    }
    return true;
}

static bool visitManufacturer(InfFile& inf, const std::string& name, const std::string& modelsSection,
                              void* context, DWORD* code)
{
    DeviceMatch& match = *static_cast<DeviceMatch*>(context);
    match.manufacturer = name;
    *code = inf.enumModels(modelsSection, visitModel, &match);
    if (match.found)
        return false;
    return *code == ERROR_NO_MORE_ITEMS; // searched to its end: try the next manufacturer
}

DWORD InfFile::findModel(DeviceMatch& match)
{
    return enumManufacturers(visitManufacturer, &match);
}
