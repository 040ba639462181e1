#include "vcl/SysUtils.h"

#include <vector>

namespace vcl {

namespace {
[[noreturn]] void BadFormat(const std::string& format) {
    throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}
} // namespace

std::string Format(const std::string& format, std::initializer_list<TVarRec> args) {
    std::vector<const TVarRec*> list;
    for (const auto& a : args) list.push_back(&a);
    std::string out;
    out.reserve(format.size() + 32);
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= format.size()) BadFormat(format);
        char d = format[i];
        if (d == '%') {
            out += '%';
            continue;
        }
        if (next >= list.size()) BadFormat(format);
        const auto& v = list[next++]->Value();
        if (d == 'd' || d == 'D') {
            if (!std::holds_alternative<int64_t>(v)) BadFormat(format);
            out += std::to_string(std::get<int64_t>(v));
        } else if (d == 's' || d == 'S') {
            if (!std::holds_alternative<std::string>(v)) BadFormat(format);
            out += std::get<std::string>(v);
        } else {
            BadFormat(format);
        }
    }
    return out;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

} // namespace vcl
