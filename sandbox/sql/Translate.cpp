#include "sandbox/sql/Translate.h"

#include <cctype>

#include "sandbox/sql/SqlError.h"
#include "sandbox/sql/Types.h"

namespace sandbox::sql {

namespace {

bool IsStringToken(const Token& t) { return t.kind == TokKind::String || t.kind == TokKind::DqString; }

// Index of the ')' closing the '(' at `open`, or `to` when unbalanced.
size_t MatchParen(const std::vector<Token>& t, size_t open, size_t to) {
    int depth = 0;
    for (size_t i = open; i < to; ++i) {
        if (IsPunct(t[i], '(')) ++depth;
        if (IsPunct(t[i], ')') && --depth == 0) return i;
    }
    return to;
}

// SQLite's CAST to a datetime name has NUMERIC affinity and would read
// '1990-04-15' as 1990: such a conversion keeps the value as it is.
bool IsDateTimeType(const std::vector<Token>& t, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to; ++i) text += t[i].text + (t[i].kind == TokKind::Word ? " " : "");
    const auto type = TypeFromDeclared(text);
    return type && (type->kind == Kind::DateTime || type->kind == Kind::SmallDateTime);
}

bool HasFourDigitRun(const std::string& s) {
    int run = 0;
    for (char c : s) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            ++run;
        } else {
            if (run == 4) return true;
            run = 0;
        }
    }
    return run == 4;
}

}  // namespace

std::string QuoteString(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out += '\'';
    for (char c : value) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::string NormalizeDateLiteral(const std::string& value, DateOrder order) {
    if (value.size() < 8 || value.size() > 40 || !HasFourDigitRun(value)) return value;
    const auto parsed = ParseDateTime(value, order);
    if (!parsed || !parsed->hasDate || !parsed->separatedDate) return value;
    return FormatCanonical(parsed->parts);
}

std::string Translate(const std::vector<Token>& t, size_t from, size_t to, const TranslateContext& ctx) {
    std::string out;
    std::string limit;
    bool hasLimit = false;
    int depth = 0;
    for (size_t i = from; i < to; ++i) {
        const Token& tok = t[i];
        if (tok.spaceBefore && i > from) out += ' ';
        if (IsPunct(tok, '(')) ++depth;
        if (IsPunct(tok, ')')) --depth;
        if (depth == 0 && IsWord(tok, "limit")) hasLimit = true;
        switch (tok.kind) {
            case TokKind::DqString:
                if (ctx.quotedIdentifiers) {
                    out += tok.text;
                    continue;
                }
                [[fallthrough]];
            case TokKind::String:
                out += QuoteString(NormalizeDateLiteral(tok.value, ctx.dateOrder));
                continue;
            case TokKind::Hex:
                out += "X'";
                if (tok.value.size() % 2) out += '0';
                out += tok.value;
                out += '\'';
                continue;
            case TokKind::Global: {
                std::string name = tok.text;
                for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (!ctx.global) throw SqlError(137, 15, 2, "Must declare variable '" + tok.text + "'.");
                out += ctx.global(name);
                continue;
            }
            case TokKind::Word:
                // Transact-SQL may leave out "into" after insert and "from" after delete.
                if (i == from && i + 1 < to && (t[i + 1].kind == TokKind::Word || t[i + 1].kind == TokKind::Bracket)) {
                    if (IsWord(tok, "insert") && !IsWord(t[i + 1], "into") && !IsWord(t[i + 1], "or")) {
                        out += tok.text + " into";
                        continue;
                    }
                    if (IsWord(tok, "delete") && !IsWord(t[i + 1], "from")) {
                        out += tok.text + " from";
                        continue;
                    }
                }
                if (IsWord(tok, "dbo") && i + 1 < to && IsPunct(t[i + 1], '.')) {
                    ++i;  // owner prefix: SQLite would read it as a schema name
                    continue;
                }
                if (IsWord(tok, "top") && i + 1 < to && t[i + 1].kind == TokKind::Number && i > from &&
                    (IsWord(t[i - 1], "select") || IsWord(t[i - 1], "distinct") || IsWord(t[i - 1], "all"))) {
                    limit = t[i + 1].text;
                    if (tok.spaceBefore && i > from) out.pop_back();
                    ++i;
                    continue;
                }
                if (IsWord(tok, "convert") && i + 1 < to && IsPunct(t[i + 1], '(')) {
                    const size_t close = MatchParen(t, i + 1, to);
                    size_t comma = i + 2;
                    int d = 0;
                    for (; comma < close; ++comma) {
                        if (IsPunct(t[comma], '(')) ++d;
                        if (IsPunct(t[comma], ')')) --d;
                        if (d == 0 && IsPunct(t[comma], ',')) break;
                    }
                    if (close < to && comma < close) {
                        size_t exprEnd = comma + 1;
                        d = 0;
                        for (; exprEnd < close; ++exprEnd) {
                            if (IsPunct(t[exprEnd], '(')) ++d;
                            if (IsPunct(t[exprEnd], ')')) --d;
                            if (d == 0 && IsPunct(t[exprEnd], ',')) break;  // a style argument is dropped
                        }
                        if (IsDateTimeType(t, i + 2, comma))
                            out += "(" + Translate(t, comma + 1, exprEnd, ctx) + ")";
                        else
                            out += "CAST(" + Translate(t, comma + 1, exprEnd, ctx) + " AS " +
                                   Translate(t, i + 2, comma, ctx) + ")";
                        i = close;
                        continue;
                    }
                }
                if (IsWord(tok, "cast") && i + 1 < to && IsPunct(t[i + 1], '(')) {
                    const size_t close = MatchParen(t, i + 1, to);
                    size_t as = close;
                    int d = 0;
                    for (size_t k = i + 2; k < close; ++k) {
                        if (IsPunct(t[k], '(')) ++d;
                        if (IsPunct(t[k], ')')) --d;
                        if (d == 0 && IsWord(t[k], "as")) as = k;
                    }
                    if (close < to && as < close && IsDateTimeType(t, as + 1, close)) {
                        out += "(" + Translate(t, i + 2, as, ctx) + ")";
                        i = close;
                        continue;
                    }
                }
                out += tok.text;
                continue;
            case TokKind::Punct:
                if (tok.text == "+" && ((i > from && IsStringToken(t[i - 1])) || (i + 1 < to && IsStringToken(t[i + 1])))) {
                    out += "||";
                    continue;
                }
                out += tok.text;
                continue;
            default:
                out += tok.text;
                continue;
        }
    }
    if (!limit.empty() && !hasLimit) out += " LIMIT " + limit;
    return out;
}

}  // namespace sandbox::sql
