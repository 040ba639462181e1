#include "sandbox/sql/Lexer.h"

#include <cctype>
#include <strings.h>

#include "sandbox/sql/SqlError.h"

namespace sandbox::sql {

namespace {

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '#' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '#' || c == '$' || c >= 0x80; }

std::string Excerpt(std::string_view s, size_t from) {
    return std::string(s.substr(from, 30));
}

}  // namespace

std::vector<Token> Lex(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    int line = 1;
    auto push = [&](TokKind kind, size_t start, size_t end, std::string value, int startLine) {
        out.push_back(Token{kind, std::string(s.substr(start, end - start)), std::move(value), start, startLine});
    };
    while (i < s.size()) {
        const size_t start = i;
        const int startLine = line;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) {
                if (s[i] == '\n') ++line;
                ++i;
            }
            push(TokKind::Space, start, i, " ", startLine);
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] != '\n') ++i;
            push(TokKind::Comment, start, i, " ", startLine);
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            const size_t end = s.find("*/", i + 2);
            if (end == std::string_view::npos) {
                SqlError e(113, 15, 1, "Missing end comment mark '*/'.");
                e.AbortsBatch = true;
                throw e;
            }
            for (size_t k = i; k < end; ++k)
                if (s[k] == '\n') ++line;
            i = end + 2;
            push(TokKind::Comment, start, i, " ", startLine);
        } else if (c == '\'' || c == '"') {
            const char q = static_cast<char>(c);
            std::string value;
            ++i;
            for (;;) {
                if (i >= s.size()) {
                    SqlError e(105, 15, 1,
                               "Unclosed quote before the character string '" + Excerpt(s, start + 1) + "'.");
                    e.AbortsBatch = true;
                    throw e;
                }
                if (s[i] == q) {
                    if (i + 1 < s.size() && s[i + 1] == q) {
                        value += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (s[i] == '\n') ++line;
                value += s[i++];
            }
            push(q == '\'' ? TokKind::String : TokKind::DqString, start, i, std::move(value), startLine);
        } else if (c == '[') {
            const size_t end = s.find(']', i + 1);
            if (end == std::string_view::npos) {
                SqlError e(105, 15, 1, "Unclosed quote before the character string '" + Excerpt(s, start + 1) + "'.");
                e.AbortsBatch = true;
                throw e;
            }
            i = end + 1;
            push(TokKind::Bracket, start, i, std::string(s.substr(start + 1, end - start - 1)), startLine);
        } else if (c == '@') {
            const bool global = i + 1 < s.size() && s[i + 1] == '@';
            i += global ? 2 : 1;
            while (i < s.size() && IsIdentChar(static_cast<unsigned char>(s[i]))) ++i;
            push(global ? TokKind::Global : TokKind::Variable, start, i, std::string(s.substr(start, i - start)),
                 startLine);
        } else if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            i += 2;
            while (i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i]))) ++i;
            push(TokKind::Hex, start, i, std::string(s.substr(start + 2, i - start - 2)), startLine);
        } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
                size_t j = i + 1;
                if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
                if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
                    i = j;
                    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
                }
            }
            push(TokKind::Number, start, i, std::string(s.substr(start, i - start)), startLine);
        } else if (IsIdentStart(c)) {
            while (i < s.size() && IsIdentChar(static_cast<unsigned char>(s[i]))) ++i;
            push(TokKind::Word, start, i, std::string(s.substr(start, i - start)), startLine);
        } else {
            // Two-character operators stay together so that "!=" or "<=" survive.
            static const char* const kPairs[] = {"!=", "<>", "<=", ">=", "||", "==", "<<", ">>", "!<", "!>"};
            size_t len = 1;
            for (const char* p : kPairs)
                if (s.substr(i, 2) == p) len = 2;
            i += len;
            push(TokKind::Punct, start, i, std::string(s.substr(start, len)), startLine);
        }
    }
    return out;
}

bool IsWord(const Token& t, std::string_view word) {
    return t.kind == TokKind::Word && t.text.size() == word.size() &&
           strncasecmp(t.text.data(), word.data(), word.size()) == 0;
}

bool IsPunct(const Token& t, char c) { return t.kind == TokKind::Punct && t.text.size() == 1 && t.text[0] == c; }

bool IsSignificant(const Token& t) { return t.kind != TokKind::Space && t.kind != TokKind::Comment; }

}  // namespace sandbox::sql
