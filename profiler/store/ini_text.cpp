#include "store/ini_text.h"

namespace {
constexpr std::size_t VALUE_LIMIT = 4095; // what a read of one key gives at most

bool inQuotes(const std::string& text)
{
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
}
} // namespace

bool isIniBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string valueAsRead(const std::string& raw)
{
    std::size_t begin = 0, end = raw.size();
    while (begin < end && isIniBlank(raw[begin]))
        ++begin;
    while (end > begin && isIniBlank(raw[end - 1]))
        --end;
    std::string value = raw.substr(begin, end - begin);
    if (inQuotes(value))
        value = value.substr(1, value.size() - 2);
    return value.substr(0, VALUE_LIMIT);
}

std::string valueToWrite(const std::string& text)
{
    std::string value = text.substr(0, text.find_first_of("\r\n"));
    if (!value.empty() && (inQuotes(value) || isIniBlank(value.front()) || isIniBlank(value.back())))
        return '"' + value + '"';
    return value;
}
