#include "sandbox/sql/DateTime.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

namespace sandbox::sql {

namespace {

struct Piece {
    enum Kind { Num, Word, Sep } kind;
    std::string text;
};

bool Lower(std::string_view a, const char* b) {
    return a.size() == strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

int MonthFromName(std::string_view w) {
    static const char* const kNames[] = {"january", "february", "march",     "april",   "may",      "june",
                                         "july",    "august",   "september", "october", "november", "december"};
    if (w.size() < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        const std::string_view full = kNames[m];
        if (w.size() > full.size()) continue;
        if (strncasecmp(w.data(), full.data(), w.size()) == 0) return m + 1;
    }
    return 0;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

int ExpandYear(const std::string& digits) {
    const int y = std::stoi(digits);
    if (digits.size() <= 2) return y < 50 ? 2000 + y : 1900 + y;
    return y;
}

bool ValidDate(int y, int m, int d) {
    return y >= 1753 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

std::vector<Piece> Split(std::string_view s) {
    std::vector<Piece> out;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
            if (!out.empty() && out.back().kind != Piece::Sep) out.push_back({Piece::Sep, " "});
        } else if (std::isdigit(c)) {
            size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            out.push_back({Piece::Num, std::string(s.substr(i, j - i))});
            i = j;
        } else if (std::isalpha(c)) {
            size_t j = i;
            while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) ++j;
            out.push_back({Piece::Word, std::string(s.substr(i, j - i))});
            i = j;
        } else if (c == '/' || c == '-' || c == '.' || c == ':' || c == ',') {
            if (!out.empty() && out.back().kind == Piece::Sep && out.back().text == " ") out.pop_back();
            out.push_back({Piece::Sep, std::string(1, static_cast<char>(c))});
            ++i;
        } else {
            return {};  // a character no date form uses
        }
    }
    if (!out.empty() && out.back().kind == Piece::Sep && out.back().text == " ") out.pop_back();
    return out;
}

// Reads "H[:M[:S[(.|:)F]]] [am|pm]" from pieces [i, end); returns false on anything else.
bool ParseTime(const std::vector<Piece>& p, size_t i, size_t end, DateTimeParts& out) {
    std::vector<std::string> nums;
    std::string ampm;
    bool fracSep = false;
    while (i < end) {
        if (p[i].kind == Piece::Num) {
            nums.push_back(p[i].text);
            ++i;
            if (i < end && p[i].kind == Piece::Sep) {
                if (p[i].text == ":") {
                    ++i;
                    continue;
                }
                if (p[i].text == "." && nums.size() == 3) {
                    fracSep = true;
                    ++i;
                    continue;
                }
                if (p[i].text == " ") {
                    ++i;
                    continue;
                }
                return false;
            }
        } else if (p[i].kind == Piece::Word && (Lower(p[i].text, "am") || Lower(p[i].text, "pm"))) {
            ampm = p[i].text;
            ++i;
            if (i != end) return false;
        } else {
            return false;
        }
    }
    if (nums.empty() || nums.size() > 4) return false;
    for (const auto& n : nums)
        if (n.size() > 9) return false;
    int h = std::stoi(nums[0]);
    const int m = nums.size() > 1 ? std::stoi(nums[1]) : 0;
    const int sec = nums.size() > 2 ? std::stoi(nums[2]) : 0;
    int ms = 0;
    if (nums.size() > 3) {
        std::string f = nums[3];
        // After a point the digits are a fraction (".1" is a tenth, ".123456" is
        // cut to milliseconds); after a colon they count thousandths, as in ASE.
        if (fracSep) f = (f + "000").substr(0, 3);
        ms = std::stoi(f);
        if (!fracSep && ms > 999) return false;
    }
    if (nums.size() == 1 && ampm.empty()) return false;  // a bare number is not a time
    if (!ampm.empty()) {
        if (h < 1 || h > 12) return false;
        const bool pm = Lower(ampm, "pm");
        if (h == 12) h = 0;
        if (pm) h += 12;
    }
    if (h > 23 || m > 59 || sec > 59) return false;
    out.hour = h;
    out.minute = m;
    out.second = sec;
    out.millis = ms;
    return true;
}

bool AssignOrdered(const std::string& a, const std::string& b, const std::string& c, DateOrder order,
                   DateTimeParts& out) {
    const std::string* y = nullptr;
    const std::string* m = nullptr;
    const std::string* d = nullptr;
    switch (order) {
        case DateOrder::MDY: m = &a, d = &b, y = &c; break;
        case DateOrder::DMY: d = &a, m = &b, y = &c; break;
        case DateOrder::YMD: y = &a, m = &b, d = &c; break;
        case DateOrder::YDM: y = &a, d = &b, m = &c; break;
        case DateOrder::MYD: m = &a, y = &b, d = &c; break;
        case DateOrder::DYM: d = &a, y = &b, m = &c; break;
    }
    if (m->size() > 2 || d->size() > 2 || (y->size() != 2 && y->size() != 4)) return false;
    out.year = ExpandYear(*y);
    out.month = std::stoi(*m);
    out.day = std::stoi(*d);
    return ValidDate(out.year, out.month, out.day);
}

// The date pieces [0, end): fills out and the flags.
bool ParseDate(const std::vector<Piece>& p, size_t end, DateOrder order, ParsedDate& out) {
    std::vector<const Piece*> q;
    for (size_t i = 0; i < end; ++i) q.push_back(&p[i]);
    auto& d = out.parts;
    // Unseparated digits.
    if (q.size() == 1 && q[0]->kind == Piece::Num) {
        const std::string& t = q[0]->text;
        if (t.size() != 8 && t.size() != 6) return false;
        const size_t ylen = t.size() - 4;
        d.year = ExpandYear(t.substr(0, ylen));
        d.month = std::stoi(t.substr(ylen, 2));
        d.day = std::stoi(t.substr(ylen + 2, 2));
        return ValidDate(d.year, d.month, d.day);
    }
    // Numeric with one kind of separator.
    if (q.size() == 5 && q[0]->kind == Piece::Num && q[2]->kind == Piece::Num && q[4]->kind == Piece::Num &&
        q[1]->kind == Piece::Sep && q[3]->kind == Piece::Sep && q[1]->text == q[3]->text &&
        (q[1]->text == "/" || q[1]->text == "-" || q[1]->text == ".")) {
        out.separatedDate = true;
        if (q[0]->text.size() == 4) {
            d.year = std::stoi(q[0]->text);
            if (q[2]->text.size() > 2 || q[4]->text.size() > 2) return false;
            d.month = std::stoi(q[2]->text);
            d.day = std::stoi(q[4]->text);
            return ValidDate(d.year, d.month, d.day);
        }
        return AssignOrdered(q[0]->text, q[2]->text, q[4]->text, order, d);
    }
    // Month names: keep numbers and the month word, allowing blanks, commas, '-' and '/'.
    int month = 0;
    std::vector<std::string> nums;
    int monthPos = -1;
    for (const Piece* x : q) {
        if (x->kind == Piece::Word) {
            if (month) return false;
            month = MonthFromName(x->text);
            if (!month) return false;
            monthPos = static_cast<int>(nums.size());
        } else if (x->kind == Piece::Num) {
            nums.push_back(x->text);
        } else if (x->text != " " && x->text != "," && x->text != "-" && x->text != "/" && x->text != ".") {
            return false;
        }
    }
    if (!month || nums.empty() || nums.size() > 2) return false;
    out.separatedDate = true;
    d.month = month;
    if (nums.size() == 1) {  // "Apr 1990": the first of the month
        if (nums[0].size() != 4) return false;
        d.year = std::stoi(nums[0]);
        d.day = 1;
    } else if (nums[0].size() == 4) {  // 1990 Apr 15
        d.year = std::stoi(nums[0]);
        d.day = std::stoi(nums[1]);
    } else if (monthPos == 0 || monthPos == 1) {  // Apr 15 1990, 15 Apr 1990
        if (nums[0].size() > 2) return false;
        d.day = std::stoi(nums[0]);
        d.year = ExpandYear(nums[1]);
        if (nums[1].size() != 2 && nums[1].size() != 4) return false;
    } else {  // 15 1990 Apr
        if (nums[0].size() > 2) return false;
        d.day = std::stoi(nums[0]);
        d.year = ExpandYear(nums[1]);
    }
    return ValidDate(d.year, d.month, d.day);
}

}  // namespace

std::optional<DateOrder> DateOrderFromName(std::string_view name) {
    static const char* const kNames[] = {"mdy", "dmy", "ymd", "ydm", "myd", "dym"};
    for (int i = 0; i < 6; ++i)
        if (Lower(name, kNames[i])) return static_cast<DateOrder>(i + 1);
    return std::nullopt;
}

std::optional<ParsedDate> ParseDateTime(std::string_view text, DateOrder order) {
    if (text.size() > 64) return std::nullopt;
    const std::vector<Piece> p = Split(text);
    if (p.empty()) return std::nullopt;
    // The time starts at the first number followed by ':' or by am/pm.
    size_t timeStart = p.size();
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i].kind != Piece::Num) continue;
        size_t j = i + 1;
        if (j < p.size() && p[j].kind == Piece::Sep && p[j].text == " ") ++j;
        if (j < p.size() && ((p[j].kind == Piece::Sep && p[j].text == ":") ||
                             (p[j].kind == Piece::Word && (Lower(p[j].text, "am") || Lower(p[j].text, "pm"))))) {
            timeStart = i;
            break;
        }
    }
    ParsedDate out;
    size_t dateEnd = timeStart;
    // Drop the separator between date and time: ' ' or ISO's 'T'.
    while (dateEnd > 0 && ((p[dateEnd - 1].kind == Piece::Sep && p[dateEnd - 1].text == " ") ||
                           (p[dateEnd - 1].kind == Piece::Word && Lower(p[dateEnd - 1].text, "t") &&
                            timeStart < p.size())))
        --dateEnd;
    if (dateEnd > 0) {
        out.hasDate = true;
        if (!ParseDate(p, dateEnd, order, out)) return std::nullopt;
    }
    if (timeStart < p.size() && !ParseTime(p, timeStart, p.size(), out.parts)) return std::nullopt;
    if (!out.hasDate && timeStart == p.size()) return std::nullopt;
    return out;
}

std::string FormatCanonical(const DateTimeParts& p) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second, p.millis);
    return buf;
}

// Days from 1970-01-01 (proleptic Gregorian), after H. Hinnant's civil algorithms.
static int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

int64_t DaysSince1900(int year, int month, int day) {
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - DaysFromCivil(1900, 1, 1);
}

DateTimeParts PartsFromDays(int64_t days, int64_t ticks) {
    int64_t z = days + DaysFromCivil(1900, 1, 1) + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    DateTimeParts p;
    p.year = static_cast<int>(y + (m <= 2));
    p.month = static_cast<int>(m);
    p.day = static_cast<int>(d);
    const int64_t secs = ticks / 300;
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs / 60 % 60);
    p.second = static_cast<int>(secs % 60);
    p.millis = static_cast<int>((ticks % 300 * 1000 + 150) / 300);
    return p;
}

WireDateTime ToWireDateTime(const DateTimeParts& p) {
    int64_t days = DaysSince1900(p.year, p.month, p.day);
    // ASE keeps 1/300 s: round the milliseconds to the nearest tick.
    int64_t ticks = (static_cast<int64_t>(p.hour) * 3600 + p.minute * 60 + p.second) * 300 + (p.millis * 300 + 500) / 1000;
    if (ticks >= 25920000) {
        ticks -= 25920000;
        ++days;
    }
    return WireDateTime{static_cast<int32_t>(days), static_cast<uint32_t>(ticks)};
}

std::optional<std::pair<uint16_t, uint16_t>> ToWireSmallDateTime(const DateTimeParts& p) {
    int64_t days = DaysSince1900(p.year, p.month, p.day);
    int64_t minutes = p.hour * 60 + p.minute + (p.second * 1000 + p.millis >= 29998 ? 1 : 0);
    if (minutes >= 1440) {
        minutes -= 1440;
        ++days;
    }
    if (days < 0 || days > 65535) return std::nullopt;
    return std::make_pair(static_cast<uint16_t>(days), static_cast<uint16_t>(minutes));
}

}  // namespace sandbox::sql
