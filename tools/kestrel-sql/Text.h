// Small text helpers of the shell.
#pragma once

#include <string>
#include <vector>

namespace KestrelSql {

std::string TrimText(const std::string& s);
std::string LowerText(const std::string& s);
bool EqualsNoCase(const std::string& a, const std::string& b);
// Splits off the first blank-separated word of s; the rest is trimmed.
std::string FirstWord(const std::string& s, std::string& rest);
// A cell's text for a person: control characters written as \n, \t, \r, \xNN.
std::string Printable(const std::string& s);
std::string HexBytes(const std::string& bytes);

} // namespace KestrelSql
