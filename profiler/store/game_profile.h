#pragma once
#include <string>
#include <vector>

// One game profile as the settings file stores it: the section named by `location` holds the rest.
struct GameProfile {
    std::string location;                  // full path of the game's executable; the section name
    std::string title;                     // "ProfileTitle"
    std::string parameters;                // "AppParams"
    std::string startDirectory;            // "AppDirection"
    std::vector<std::string> deviceValues; // one text per name of the device value list
};
