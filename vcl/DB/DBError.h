// Errors of the dataset framework.
#pragma once

#include <initializer_list>
#include <string>

// Also brings EAbort and Abort, which dataset code raises.
#include "vcl/SysUtils.h"

namespace vcl {

class TComponent;

// Raised by datasets, fields, field definitions and data links.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// Raises EDatabaseError with msg; when the component has a name the message
// reads "Name: msg".
[[noreturn]] void DatabaseError(const std::string& msg, TComponent* component = nullptr);
// As DatabaseError with Format(fmt, args) as the message.
[[noreturn]] void DatabaseErrorFmt(const std::string& fmt, std::initializer_list<TVarRec> args,
                                   TComponent* component = nullptr);

} // namespace vcl
