// Date-time to text by pattern, and text to date-time.
#include <cctype>
#include <cmath>
#include <cstring>

#include "vcl/DateTime.h"
#include "vcl/SysUtils.h"

namespace vcl {

namespace {

struct TParts {
    uint16_t Year, Month, Day, Hour, Min, Sec, MSec;
    int WeekDay;  // 0 = Sunday
};

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool StartsWithNoCase(const std::string& s, size_t pos, const char* what) {
    const size_t n = std::strlen(what);
    if (pos + n > s.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (Upper(s[pos + i]) != Upper(what[i])) return false;
    return true;
}

void AppendNumber(std::string& out, unsigned value, int digits) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < digits) out.append(static_cast<size_t>(digits) - s.size(), '0');
    out += s;
}

// Whether the rest of the pattern (outside quotes) asks for a 12-hour clock.
bool Uses12Hour(const std::string& f, size_t pos) {
    char quote = 0;
    for (size_t i = pos; i < f.size(); ++i) {
        const char c = f[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (Upper(c) == 'A' &&
            (StartsWithNoCase(f, i, "AM/PM") || StartsWithNoCase(f, i, "A/P") || StartsWithNoCase(f, i, "AMPM")))
            return true;
    }
    return false;
}

void FormatInto(std::string& out, const std::string& f, const TParts& p, int depth) {
    if (depth > 2) return;  // ShortDateFormat naming "c" must not recurse for ever
    const TFormatSettings& fs = FormatSettings;
    char lastToken = ' ';
    size_t i = 0;
    while (i < f.size()) {
        const char starter = f[i];
        char token = Upper(starter);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        auto count = [&]() {
            size_t n = 1;
            while (i + n < f.size() && Upper(f[i + n]) == Upper(starter)) ++n;
            return static_cast<int>(n);
        };
        switch (token) {
        case 'Y': {
            const int n = count();
            if (n <= 2)
                AppendNumber(out, p.Year % 100, 2);
            else
                AppendNumber(out, p.Year, 4);
            i += static_cast<size_t>(n);
            break;
        }
        case 'M': {
            const int n = count();
            if (n <= 2)
                AppendNumber(out, p.Month, n);
            else if (n == 3)
                out += fs.ShortMonthNames[p.Month - 1];
            else
                out += fs.LongMonthNames[p.Month - 1];
            i += static_cast<size_t>(n);
            break;
        }
        case 'D': {
            const int n = count();
            if (n <= 2)
                AppendNumber(out, p.Day, n);
            else if (n == 3)
                out += fs.ShortDayNames[p.WeekDay];
            else if (n == 4)
                out += fs.LongDayNames[p.WeekDay];
            else if (n == 5)
                FormatInto(out, fs.ShortDateFormat, p, depth + 1);
            else
                FormatInto(out, fs.LongDateFormat, p, depth + 1);
            i += static_cast<size_t>(n);
            break;
        }
        case 'H': {
            const int n = count();
            unsigned h = p.Hour;
            if (Uses12Hour(f, i)) {
                h %= 12;
                if (h == 0) h = 12;
            }
            AppendNumber(out, h, n == 1 ? 1 : 2);
            i += static_cast<size_t>(n);
            break;
        }
        case 'N': {
            const int n = count();
            AppendNumber(out, p.Min, n == 1 ? 1 : 2);
            i += static_cast<size_t>(n);
            break;
        }
        case 'S': {
            const int n = count();
            AppendNumber(out, p.Sec, n == 1 ? 1 : 2);
            i += static_cast<size_t>(n);
            break;
        }
        case 'Z': {
            const int n = count();
            AppendNumber(out, p.MSec, n == 1 ? 1 : 3);
            i += static_cast<size_t>(n);
            break;
        }
        case 'T': {
            const int n = count();
            FormatInto(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, depth + 1);
            i += static_cast<size_t>(n);
            break;
        }
        case 'C': {
            const int n = count();
            FormatInto(out, fs.ShortDateFormat, p, depth + 1);
            if (p.Hour != 0 || p.Min != 0 || p.Sec != 0) {
                out += ' ';
                FormatInto(out, fs.LongTimeFormat, p, depth + 1);
            }
            i += static_cast<size_t>(n);
            break;
        }
        case 'A': {
            const bool pm = p.Hour >= 12;
            if (StartsWithNoCase(f, i, "AM/PM")) {
                // The pattern's own letters, so its case carries over.
                out += f.substr(pm ? i + 3 : i, 2);
                i += 5;
            } else if (StartsWithNoCase(f, i, "A/P")) {
                out += f[pm ? i + 2 : i];
                i += 3;
            } else if (StartsWithNoCase(f, i, "AMPM")) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += starter;
                ++i;
            }
            break;
        }
        case '/':
            out += fs.DateSeparator;
            ++i;
            break;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            break;
        case '"':
        case '\'': {
            size_t end = f.find(starter, i + 1);
            if (end == std::string::npos) end = f.size();
            out.append(f, i + 1, end - i - 1);
            i = end + 1;
            break;
        }
        default:
            out += starter;
            ++i;
            break;
        }
    }
}

TParts Crack(TDateTime dt) {
    TParts p{};
    DecodeDate(dt, p.Year, p.Month, p.Day);
    DecodeTime(dt, p.Hour, p.Min, p.Sec, p.MSec);
    if (p.Month == 0) {
        // Outside the calendar: show zeros rather than index the name tables.
        p.Month = 1;
        p.Day = 0;
    }
    p.WeekDay = p.Year ? DayOfWeek(dt) - 1 : 0;
    return p;
}

// --- parsing ------------------------------------------------------------------

struct TScanner {
    const std::string& S;
    size_t Pos = 0;

    void SkipBlanks() {
        while (Pos < S.size() && S[Pos] == ' ') ++Pos;
    }
    bool AtEnd() {
        SkipBlanks();
        return Pos >= S.size();
    }
    bool Number(int& value, int& digits) {
        SkipBlanks();
        size_t start = Pos;
        long long v = 0;
        while (Pos < S.size() && std::isdigit(static_cast<unsigned char>(S[Pos])) && Pos - start < 9)
            v = v * 10 + (S[Pos++] - '0');
        digits = static_cast<int>(Pos - start);
        if (digits == 0) return false;
        value = static_cast<int>(v);
        return true;
    }
    bool Char(char c) {
        SkipBlanks();
        if (Pos < S.size() && S[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder DateOrder() {
    for (char c : FormatSettings.ShortDateFormat) {
        const char u = Upper(c);
        if (u == 'D') return doDMY;
        if (u == 'Y') return doYMD;
        if (u == 'M') return doMDY;
    }
    return doMDY;
}

int CurrentYear() {
    uint16_t y, m, d;
    DecodeDate(Now(), y, m, d);
    return y;
}

bool ScanDate(TScanner& sc, TDateTime& date) {
    const size_t start = sc.Pos;
    int n1, n2, n3 = 0, d1, d2, d3 = 0;
    if (!sc.Number(n1, d1) || !sc.Char(FormatSettings.DateSeparator) || !sc.Number(n2, d2)) {
        sc.Pos = start;
        return false;
    }
    const bool three = sc.Char(FormatSettings.DateSeparator) && sc.Number(n3, d3);
    int y, m, d, yDigits;
    if (three) {
        switch (DateOrder()) {
        case doMDY: m = n1, d = n2, y = n3, yDigits = d3; break;
        case doDMY: d = n1, m = n2, y = n3, yDigits = d3; break;
        default: y = n1, m = n2, d = n3, yDigits = d1; break;
        }
        if (yDigits <= 2) {
            const int base = CurrentYear() - 50;
            y += base / 100 * 100;
            if (y < base) y += 100;
        }
    } else {
        y = CurrentYear();
        if (DateOrder() == doDMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    }
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31 ||
        !TryEncodeDate(static_cast<uint16_t>(y), static_cast<uint16_t>(m), static_cast<uint16_t>(d), date)) {
        sc.Pos = start;
        return false;
    }
    return true;
}

bool ScanAmPm(TScanner& sc, int& ampm) {
    sc.SkipBlanks();
    const auto tryWord = [&](const std::string& w, int v) {
        if (!w.empty() && StartsWithNoCase(sc.S, sc.Pos, w.c_str())) {
            sc.Pos += w.size();
            ampm = v;
            return true;
        }
        return false;
    };
    return tryWord(FormatSettings.TimeAMString, 0) || tryWord(FormatSettings.TimePMString, 1) ||
           tryWord("AM", 0) || tryWord("PM", 1);
}

bool ScanTime(TScanner& sc, TDateTime& time) {
    const size_t start = sc.Pos;
    int h, n = 0, s = 0, z = 0, digits;
    int ampm = -1;
    if (!sc.Number(h, digits)) return false;
    if (sc.Char(FormatSettings.TimeSeparator)) {
        if (!sc.Number(n, digits)) return sc.Pos = start, false;
        if (sc.Char(FormatSettings.TimeSeparator)) {
            if (!sc.Number(s, digits)) return sc.Pos = start, false;
            if (sc.Char(FormatSettings.DecimalSeparator) || sc.Char('.')) {
                if (!sc.Number(z, digits)) return sc.Pos = start, false;
            }
        }
    } else if (!ScanAmPm(sc, ampm)) {
        // A bare number is not a time.
        sc.Pos = start;
        return false;
    }
    if (ampm < 0) ScanAmPm(sc, ampm);
    if (ampm >= 0) {
        if (h < 1 || h > 12) return sc.Pos = start, false;
        h = h % 12 + (ampm == 1 ? 12 : 0);
    }
    if (h > 23 || n > 59 || s > 59 || z > 999 ||
        !TryEncodeTime(static_cast<uint16_t>(h), static_cast<uint16_t>(n), static_cast<uint16_t>(s),
                       static_cast<uint16_t>(z), time)) {
        sc.Pos = start;
        return false;
    }
    return true;
}

} // namespace

std::string FormatDateTime(const std::string& Format, TDateTime DateTime) {
    std::string out;
    FormatInto(out, Format.empty() ? std::string("c") : Format, Crack(DateTime), 0);
    return out;
}

std::string DateTimeToStr(TDateTime DateTime) {
    return FormatDateTime("c", DateTime);
}

std::string DateToStr(TDateTime DateTime) {
    return FormatDateTime("ddddd", DateTime);
}

std::string TimeToStr(TDateTime DateTime) {
    return FormatDateTime("tt", DateTime);
}

TDateTime StrToDate(const std::string& S) {
    TScanner sc{S};
    TDateTime d;
    if (!ScanDate(sc, d) || !sc.AtEnd()) throw EConvertError(vcl::Format("'%s' is not a valid date", {S}));
    return d;
}

TDateTime StrToTime(const std::string& S) {
    TScanner sc{S};
    TDateTime t;
    if (!ScanTime(sc, t) || !sc.AtEnd()) throw EConvertError(vcl::Format("'%s' is not a valid time", {S}));
    return t;
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value) {
    TScanner sc{S};
    TDateTime d = 0, t = 0;
    if (ScanDate(sc, d)) {
        if (!sc.AtEnd() && !ScanTime(sc, t)) return false;
    } else if (!ScanTime(sc, t)) {
        return false;
    }
    if (!sc.AtEnd()) return false;
    Value = d < 0 ? d - t : d + t;
    return true;
}

TDateTime StrToDateTime(const std::string& S) {
    TDateTime v;
    if (!TryStrToDateTime(S, v)) throw EConvertError(vcl::Format("'%s' is not a valid date and time", {S}));
    return v;
}

} // namespace vcl
