#pragma once
// How the platform's private-profile reader treats a value: blanks around it are dropped, then one
// pair of surrounding quotes (double or single). Writing must undo that, or a value is changed.
#include <string>

// The longest text a read of one key gives.
constexpr std::size_t INI_TEXT_LIMIT = 4095;

// The name of entry `number` of a numbered list ("1", "2", …).
std::string numberedKey(int number);
// A key's text as the platform's integer read takes it: blanks, a sign, then digits in the base its
// prefix names (0x, 0o, 0b; decimal without one), up to the first other character, modulo 2^32.
unsigned long iniNumber(const std::string& text);

bool isIniBlank(char c);
// A value as the reader gives it from the raw text after "=".
std::string valueAsRead(const std::string& raw);
// What to write so that the reader gives `text` back: a text with blanks or a pair of quotes at its
// ends goes inside one more pair of double quotes. A line break would start a new line of the file:
// the text ends before it.
std::string valueToWrite(const std::string& text);
