// Exceptions, formatting and string helpers of the host class library.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <variant>

namespace vcl {

// Root of every exception the library and the components raise. Thrown by
// value, caught by reference; Message() is the text the caller sees.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    ~Exception() override = default;

    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Raised by Assert/AssertFail. The message reads
// "Assertion failure: <check> (<unit>, line <n>)".
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// "List index out of bounds (%d)" from lists that are indexed outside their range.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// The silent exception: an operation abandoned on purpose (an error handler
// answered daAbort). Applications do not report it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};
// Raises EAbort ("Operation aborted").
[[noreturn]] void Abort();

// An object that is not of the class an operation needs.
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception("Invalid class typecast") {}
    using Exception::Exception;
};

[[noreturn]] void AssertFail(const std::string& check, const std::string& unit, int line);
inline void Assert(bool condition, const std::string& check, const std::string& unit, int line) {
    if (!condition) AssertFail(check, unit, line);
}

// One argument of Format: an integer for %d, a string for %s.
class TVarRec {
public:
    TVarRec(int v) : FValue(static_cast<int64_t>(v)) {}
    TVarRec(long v) : FValue(static_cast<int64_t>(v)) {}
    TVarRec(long long v) : FValue(static_cast<int64_t>(v)) {}
    TVarRec(unsigned v) : FValue(static_cast<int64_t>(v)) {}
    TVarRec(const char* v) : FValue(std::string(v ? v : "")) {}
    TVarRec(std::string v) : FValue(std::move(v)) {}
    const std::variant<int64_t, std::string>& Value() const { return FValue; }

private:
    std::variant<int64_t, std::string> FValue;
};

// Format with %d (decimal integer), %s (string) and %% (a percent sign).
// A directive that does not match its argument, or a missing argument, raises
// EConvertError naming the format.
std::string Format(const std::string& format, std::initializer_list<TVarRec> args);

std::string IntToStr(int64_t value);

// Blanks and control characters (code 32 and below) at either end are removed.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// ASCII-only case mapping: a..z / A..Z change, every other byte stays.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);

} // namespace vcl
