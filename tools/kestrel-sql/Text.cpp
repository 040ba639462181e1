#include "tools/kestrel-sql/Text.h"

#include <cctype>
#include <cstdio>

namespace KestrelSql {

std::string TrimText(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string LowerText(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return LowerText(a) == LowerText(b); }

std::string FirstWord(const std::string& s, std::string& rest) {
    const std::string t = TrimText(s);
    size_t i = 0;
    while (i < t.size() && static_cast<unsigned char>(t[i]) > ' ') ++i;
    rest = TrimText(t.substr(i));
    return t.substr(0, i);
}

std::string Printable(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') r += "\\n";
        else if (c == '\t') r += "\\t";
        else if (c == '\r') r += "\\r";
        else if (c < ' ' || c == 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            r += buf;
        } else r += ch;
    }
    return r;
}

std::string HexBytes(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string r = "0x";
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        r += digits[c >> 4];
        r += digits[c & 15];
    }
    return r;
}

} // namespace KestrelSql
