// Splits Transact-SQL text into tokens: words, @variables, @@globals, numbers,
// hex literals, quoted strings (single and double), [bracketed] names,
// punctuation, blanks and comments. Raises SqlError for an unclosed quote or
// comment.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox::sql {

enum class TokKind { Space, Comment, Word, Variable, Global, Number, Hex, String, DqString, Bracket, Punct };

struct Token {
    TokKind kind;
    std::string text;   // as written
    std::string value;  // strings: the unquoted value; others: same as text
    size_t offset;      // byte offset in the source
    int line;           // 1-based line of the token's first byte
    bool spaceBefore = false;  // blank or comment before it (set by the splitter)
};

std::vector<Token> Lex(std::string_view source);

// Case-insensitive keyword test for word tokens.
bool IsWord(const Token& t, std::string_view word);
bool IsPunct(const Token& t, char c);
bool IsSignificant(const Token& t);

}  // namespace sandbox::sql
