// What the query's own sources share and nobody else needs.
#pragma once

#include <string>

#include "vcl/SysUtils.h"

namespace SybConnect::QueryInternal {

// A client-library step the execution refused to go on after ("ct_send
// failed", ...). The failure path joins the diagnostics the library queued
// for that step to this text.
class EExecFailure : public vcl::Exception {
public:
    using vcl::Exception::Exception;
};

[[noreturn]] inline void ExecFailed(const char* Text) { throw EExecFailure(Text); }

} // namespace SybConnect::QueryInternal
