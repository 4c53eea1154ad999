#include "editor/text_rules.h"

#include "store/profile_store.h"

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Length in bytes of the character at text[i]: 2 for a lead byte followed by its trail byte.
std::size_t characterLength(const std::string& text, std::size_t i, UINT codePage)
{
    bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) != FALSE;
    return lead && i + 1 < text.size() ? 2 : 1;
}
} // namespace

std::string trimText(const std::string& text, UINT codePage)
{
    std::size_t begin = std::string::npos;
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = characterLength(text, i, codePage);
        if (length > 1 || !isBlank(text[i])) {
            if (begin == std::string::npos)
                begin = i;
            end = i + length;
        }
        i += length;
    }
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin);
}

ChosenFile splitChosenFile(const std::string& path, UINT codePage)
{
    std::size_t separator = std::string::npos;
    for (std::size_t i = 0; i < path.size(); i += characterLength(path, i, codePage)) {
        if (path[i] == '\\' || path[i] == '/')
            separator = i;
    }
    ChosenFile chosen;
    chosen.startDirectory = separator == std::string::npos ? path : path.substr(0, separator);
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < name.size(); i += characterLength(name, i, codePage)) {
        if (name[i] == '.')
            dot = i;
    }
    chosen.title = name.substr(0, dot);
    return chosen;
}

bool isProgramLocation(const std::string& location, UINT codePage)
{
    for (const char* section : {ini::SETTINGS, ini::PROFILES, ini::DEFAULT_SECTION, ini::TMP}) {
        if (lstrcmpiA(location.c_str(), section) == 0)
            return false;
    }
    for (std::size_t i = 0; i < location.size(); i += characterLength(location, i, codePage)) {
        if (location[i] == '\\')
            return true;
    }
    return false;
}
