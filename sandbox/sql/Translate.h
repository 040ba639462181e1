// Turns the tokens of one Transact-SQL statement (or part of one) into SQLite
// SQL: double-quoted strings become string literals, 0x.. becomes X'..',
// @@globals become their values, "dbo." goes, '+' next to a string literal
// concatenates, "select top N" becomes LIMIT N, convert(type, x) becomes
// CAST(x AS type), and numeric date strings are rewritten to the stored form in
// the session's date order. @variables stay as SQLite named parameters.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sandbox/sql/DateTime.h"
#include "sandbox/sql/Lexer.h"

namespace sandbox::sql {

struct TranslateContext {
    DateOrder dateOrder = DateOrder::MDY;
    bool quotedIdentifiers = false;  // set quoted_identifier on: "x" names a column
    // The SQL literal for a global such as "@@spid" (lower case); throws SqlError
    // when it is unknown.
    std::function<std::string(const std::string&)> global;
};

std::string Translate(const std::vector<Token>& tokens, size_t from, size_t to, const TranslateContext& ctx);
inline std::string Translate(const std::vector<Token>& tokens, const TranslateContext& ctx) {
    return Translate(tokens, 0, tokens.size(), ctx);
}

// 'text' with embedded quotes doubled.
std::string QuoteString(std::string_view value);

// The date string rewritten to the stored form, or the value unchanged when it
// is no separated date with a four-digit year (a plain string stays a string).
std::string NormalizeDateLiteral(const std::string& value, DateOrder order);

}  // namespace sandbox::sql
