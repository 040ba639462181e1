#include "tests/fakeoc/Props.h"

#include <cstring>

namespace FakeOC::Detail {

namespace {

// A text property comes with a length or CS_NULLTERM; an integer with CS_UNUSED.
bool IsTextLength(int32_t buflen) { return buflen >= 0 || buflen == Code::NullTerm; }

std::string TextOf(const void* buffer, int32_t buflen) {
    const char* p = static_cast<const char*>(buffer);
    return buflen == Code::NullTerm ? std::string(p) : std::string(p, static_cast<std::size_t>(buflen));
}

} // namespace

void LogPropArgs(CallScope& c, const void* handle, int32_t action, int32_t property, const void* buffer,
                 int32_t buflen, const int32_t* outlen) {
    if (!c.Logging()) return;
    c.Handle(handle);
    c.Int(action);
    c.Int(property);
    if (action == Code::Set && buffer && IsTextLength(buflen)) c.Arg(TextOf(buffer, buflen));
    else if (action == Code::Set && buffer && buflen == Code::Unused) {
        int32_t v;
        std::memcpy(&v, buffer, sizeof v);
        c.Int(v);
    } else c.Ptr(buffer);
    c.Int(buflen);
    c.Ptr(outlen);
}

int32_t PropAction(CallScope& c, std::unordered_map<int32_t, Prop>& props, int32_t action, int32_t property,
                   void* buffer, int32_t buflen, int32_t* outlen) {
    if (action == Code::Set) {
        if (!buffer) {
            c.Misuse("CS_SET with a null buffer");
            return Code::Fail;
        }
        Prop p;
        if (IsTextLength(buflen)) {
            p.IsText = true;
            p.Text = TextOf(buffer, buflen);
        } else if (buflen == Code::Unused) {
            std::memcpy(&p.Int, buffer, sizeof p.Int);
        } else {
            return Code::Fail; // a negative length other than CS_NULLTERM / CS_UNUSED
        }
        props[property] = std::move(p);
        return Code::Succeed;
    }
    if (action == Code::Get) {
        if (!buffer) {
            c.Misuse("CS_GET with a null buffer");
            return Code::Fail;
        }
        auto it = props.find(property);
        bool text = it != props.end() ? it->second.IsText : buflen != Code::Unused;
        if (!text) {
            int32_t v = it != props.end() ? it->second.Int : 0;
            std::memcpy(buffer, &v, sizeof v);
            if (outlen) *outlen = sizeof v;
            return Code::Succeed;
        }
        std::string value = it != props.end() ? it->second.Text : std::string();
        if (outlen) *outlen = static_cast<int32_t>(value.size());
        if (buflen < 0 || static_cast<std::size_t>(buflen) < value.size()) return Code::Fail; // too small
        std::memcpy(buffer, value.data(), value.size());
        if (static_cast<std::size_t>(buflen) > value.size()) static_cast<char*>(buffer)[value.size()] = 0;
        return Code::Succeed;
    }
    if (action == Code::Clear) {
        props.erase(property);
        return Code::Succeed;
    }
    return Code::Fail;
}

} // namespace FakeOC::Detail
