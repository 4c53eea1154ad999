#include "store/ini_text.h"

namespace {
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
    return value.substr(0, INI_TEXT_LIMIT);
}

std::string numberedKey(int number)
{
    return std::to_string(number);
}

unsigned long iniNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = static_cast<char>(text[i + 1] | 0x20);
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    unsigned long value = 0;
    for (; i < text.size(); ++i) {
        const char c = static_cast<char>(text[i] | 0x20);
        const unsigned digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99;
        if (digit >= base)
            break;
        value = (value * base + digit) & 0xFFFFFFFFul;
    }
    return negative ? (0ul - value) & 0xFFFFFFFFul : value;
}

std::string valueToWrite(const std::string& text)
{
    std::string value = text.substr(0, text.find_first_of("\r\n"));
    if (!value.empty() && (inQuotes(value) || isIniBlank(value.front()) || isIniBlank(value.back())))
        return '"' + value + '"';
    return value;
}
