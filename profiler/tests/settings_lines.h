#pragma once
// Settings given as the lines of a section, as they stand in the file.
#include <sstream>
#include <string>

#include "store/profile_store.h"

// Writes each "key=text" line of `lines` into `section` through the store.
inline void writeLines(const ProfileStore& store, const char* section, const std::string& lines)
{
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        store.writeText(section, line.substr(0, equals).c_str(), line.substr(equals + 1));
    }
}
