#include "tools/kestrel-sql/Params.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "components/SybConnect.h"
#include "tools/kestrel-sql/Text.h"

namespace KestrelSql {

namespace {

// Exactly n digits at t[i...].
bool Fixed(const std::string& t, size_t& i, size_t n, int& value) {
    value = 0;
    for (size_t k = 0; k < n; ++k, ++i) {
        if (i >= t.size() || !std::isdigit(static_cast<unsigned char>(t[i]))) return false;
        value = value * 10 + (t[i] - '0');
    }
    return true;
}

bool Expect(const std::string& t, size_t& i, char c) {
    if (i >= t.size() || t[i] != c) return false;
    ++i;
    return true;
}

size_t SkipDigits(const std::string& t, size_t& i) {
    const size_t from = i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    return i - from;
}

// yyyy-mm-dd, then optionally [ T]hh:nn[:ss[.z[z[z]]]].
bool ReadDate(const std::string& t, vcl::TDateTime& out) {
    size_t i = 0;
    int y, mo, d, h = 0, mi = 0, sec = 0, ms = 0;
    if (!Fixed(t, i, 4, y) || !Expect(t, i, '-') || !Fixed(t, i, 2, mo) || !Expect(t, i, '-') || !Fixed(t, i, 2, d))
        return false;
    if (i < t.size()) {
        if (!Expect(t, i, ' ') && !Expect(t, i, 'T')) return false;
        if (!Fixed(t, i, 2, h) || !Expect(t, i, ':') || !Fixed(t, i, 2, mi)) return false;
        if (Expect(t, i, ':')) {
            if (!Fixed(t, i, 2, sec)) return false;
            if (Expect(t, i, '.')) {
                const size_t from = i;
                const size_t n = SkipDigits(t, i);
                if (n < 1 || n > 3) return false;
                size_t at = from;
                Fixed(t, at, n, ms);
                for (size_t k = n; k < 3; ++k) ms *= 10;
            }
        }
        if (i != t.size()) return false;
    }
    vcl::TDateTime date = 0, time = 0;
    if (!vcl::TryEncodeDate(static_cast<uint16_t>(y), static_cast<uint16_t>(mo), static_cast<uint16_t>(d), date) ||
        !vcl::TryEncodeTime(static_cast<uint16_t>(h), static_cast<uint16_t>(mi), static_cast<uint16_t>(sec),
                            static_cast<uint16_t>(ms), time))
        return false;
    // Before 1899-12-30 the time part counts backwards from the date.
    out = date < 0 ? date - time : date + time;
    return true;
}

// [+-]digits, or when Real also with a fraction and an exponent.
bool IsNumber(const std::string& t, bool Real) {
    size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    const size_t intDigits = SkipDigits(t, i);
    if (!Real) return intDigits > 0 && i == t.size();
    size_t fracDigits = 0;
    if (Expect(t, i, '.')) fracDigits = SkipDigits(t, i);
    if (intDigits + fracDigits == 0) return false;
    if (Expect(t, i, 'e') || Expect(t, i, 'E')) {
        if (!Expect(t, i, '-')) Expect(t, i, '+');
        if (SkipDigits(t, i) == 0) return false;
    }
    return i == t.size();
}

} // namespace

TParamValue ParseParamValue(const std::string& Text) {
    const std::string t = TrimText(Text);
    TParamValue v;
    v.Source = t;
    if (t.empty()) throw std::invalid_argument("\\set needs a name and a value");
    if (EqualsNoCase(t, "null")) return v;
    if (t.size() >= 2 && t.front() == '\'' && t.back() == '\'') {
        std::string s;
        for (size_t i = 1; i + 1 < t.size(); ++i) {
            if (t[i] == '\'') {
                if (i + 2 < t.size() && t[i + 1] == '\'') ++i;
                else throw std::invalid_argument("'" + t + "' is not a quoted string: write a quote inside it as ''");
            }
            s += t[i];
        }
        v.Kind = TParamValue::String;
        v.Text = s;
        return v;
    }
    if (IsNumber(t, false)) {
        errno = 0;
        const long long n = std::strtoll(t.c_str(), nullptr, 10);
        if (errno == 0) {
            v.Kind = TParamValue::Integer;
            v.Int = n;
            return v;
        }
    }
    if (IsNumber(t, true)) {
        v.Kind = TParamValue::Float;
        v.Real = std::strtod(t.c_str(), nullptr);
        return v;
    }
    if (ReadDate(t, v.Date)) {
        v.Kind = TParamValue::DateTime;
        return v;
    }
    throw std::invalid_argument("cannot read the value '" + t +
                                "': write a number, a 'quoted string', a date (2020-01-31 [14:30[:00[.000]]]) or null");
}

void ApplyParams(SybConnect::TSybQuery& Query, const TVariables& Variables) {
    vcl::TParams& params = *Query.GetParams();
    for (int i = 0; i < params.Count(); ++i) {
        vcl::TParam& p = *params.Items(i);
        const auto found = Variables.find(LowerText(p.GetName()));
        if (found == Variables.end())
            throw std::runtime_error("no value for the parameter :" + p.GetName() + " (give it one with \\set " +
                                     p.GetName() + " VALUE)");
        const TParamValue& v = found->second;
        switch (v.Kind) {
        case TParamValue::Null:
            p.SetDataType(vcl::ftString);
            p.Clear();
            p.SetBound(true);
            break;
        case TParamValue::Integer:
            if (v.Int >= std::numeric_limits<int32_t>::min() && v.Int <= std::numeric_limits<int32_t>::max())
                p.SetAsInteger(static_cast<int32_t>(v.Int));
            else
                p.SetAsFloat(static_cast<double>(v.Int));
            break;
        case TParamValue::Float: p.SetAsFloat(v.Real); break;
        case TParamValue::String: p.SetAsString(v.Text); break;
        case TParamValue::DateTime: p.SetAsDateTime(v.Date); break;
        }
    }
}

} // namespace KestrelSql
