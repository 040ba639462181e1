// ASE's wording for the messages the sandbox sends, and SQLite's errors turned
// into the ASE messages a client would get for the same fault.
#pragma once

#include <string>

#include "sandbox/sql/SqlError.h"

namespace sandbox::engine {

constexpr int kGenericError = 16000;  // SQLite errors with no ASE counterpart, SQLite's own text

SqlError FromSqlite(int rc, const std::string& message);

SqlError ObjectNotFound(const std::string& name);            // 208
SqlError ProcedureNotFound(const std::string& name);         // 2812
SqlError DatabaseNotFound(const std::string& name);          // 911
SqlError SyntaxError(const std::string& near);               // 102
SqlError MustDeclare(const std::string& variable);           // 137
std::string ChangedDatabase(const std::string& name);        // 5701

}  // namespace sandbox::engine
