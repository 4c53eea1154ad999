#pragma once
// The driver package's INF: its setup class and the model line of the device to install for.
// Every operation returns a Windows or SetupAPI error code, 0 for success.
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "owned.h"

struct InfTraits {
    using Value = HINF;
    static HINF empty() { return INVALID_HANDLE_VALUE; }
    void release(HINF inf) const { SetupCloseInfFile(inf); }
};
using InfHandle = Owned<InfTraits>;

// A model line: description (key), install section (field 1), ids (fields 2...; never empty).
struct ModelLine {
    std::string description;
    std::string installSection;
    std::vector<std::string> ids;
};

struct DeviceMatch {
    std::string deviceId;     // requested id; after a match, the id as the INF writes it
    std::string manufacturer; // Manufacturer line being or last searched
    std::string description;  // matching model line's description
    bool found = false;
};

class InfFile;

// Visitors return whether the walk goes on; when they stop it, `*code` is the walk's result.
using ManufacturerVisitor = bool (*)(InfFile& inf, const std::string& name, const std::string& modelsSection,
                                     void* context, DWORD* code);
using ModelVisitor = bool (*)(InfFile& inf, const ModelLine& line, void* context, DWORD* code);

// Reads fields of INF lines (field 0 is the key, with %strings% resolved) through one buffer that
// grows when a field needs more, so that a walk asks once per field and allocates almost never.
class InfFieldReader {
public:
    DWORD read(INFCONTEXT& line, DWORD index, std::string& out);

private:
    std::vector<char> buffer = std::vector<char>(256);
};

// Reads field `index` of an INF line on its own.
DWORD readInfField(INFCONTEXT& line, DWORD index, std::string& out);

class InfFile {
public:
    std::string path; // full path, at most MAX_PATH - 1 characters
    std::string className;
    InfHandle handle;
    GUID classGuid = {};

    DWORD openInf(const std::string& name);
    DWORD enumManufacturers(ManufacturerVisitor visitor, void* context);
    DWORD enumModels(const std::string& section, ModelVisitor visitor, void* context);
    // The first model line, in INF order, that lists match.deviceId (or any line when it is empty).
    DWORD findModel(DeviceMatch& match);
};
