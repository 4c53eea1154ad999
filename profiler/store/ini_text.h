#pragma once
// How the platform's private-profile reader treats a value: blanks around it are dropped, then one
// pair of surrounding quotes (double or single). Writing must undo that, or a value is changed.
#include <string>

bool isIniBlank(char c);
// A value as the reader gives it from the raw text after "=".
std::string valueAsRead(const std::string& raw);
// What to write so that the reader gives `text` back: a text with blanks or a pair of quotes at its
// ends goes inside one more pair of double quotes. A line break would start a new line of the file:
// the text ends before it.
std::string valueToWrite(const std::string& text);
