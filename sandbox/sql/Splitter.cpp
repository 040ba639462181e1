#include "sandbox/sql/Splitter.h"

#include <algorithm>

namespace sandbox::sql {

namespace {

bool OneOf(const Token& t, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return IsWord(t, w); });
}

bool StartsStatement(const Token& t) {
    return OneOf(t, {"select", "insert", "update", "delete", "create", "drop", "alter", "set", "use", "print",
                     "raiserror", "exec", "execute", "waitfor", "declare", "return", "begin", "commit", "rollback",
                     "truncate", "pragma"});
}

// Words after which a statement keyword belongs to the statement in progress.
bool ContinuesAfter(const Token& prev) {
    return OneOf(prev, {"union", "all", "intersect", "except", "as", "explain", "plan", "on", "do", "of", "for",
                        "instead", "before", "after", "then", "else", "or", "conflict", "not", "exists", "in",
                        "into", "distinct"});
}

struct Current {
    Statement stmt;
    bool consumeRest = false;
    bool bodySeen = false;      // insert's select/values, with's main statement
    bool updatePending = false;  // an "update" waiting for its "set"
};

}  // namespace

std::vector<Statement> SplitBatch(std::string_view source) {
    const std::vector<Token> tokens = Lex(source);
    std::vector<Statement> out;
    Current cur;
    int depth = 0;
    bool space = false;

    auto finish = [&] {
        if (!cur.stmt.tokens.empty()) {
            const Token& last = cur.stmt.tokens.back();
            cur.stmt.end = last.offset + last.text.size();
            out.push_back(std::move(cur.stmt));
        }
        cur = Current{};
        depth = 0;
    };
    auto append = [&](const Token& t) {
        Token copy = t;
        copy.spaceBefore = space && !cur.stmt.tokens.empty();
        if (cur.stmt.tokens.empty()) {
            cur.stmt.begin = t.offset;
            cur.stmt.line = t.line;
        }
        cur.stmt.tokens.push_back(std::move(copy));
        space = false;
    };

    for (const Token& t : tokens) {
        if (!IsSignificant(t)) {
            space = true;
            continue;
        }
        auto& toks = cur.stmt.tokens;
        if (cur.consumeRest) {
            append(t);
            continue;
        }
        if (IsPunct(t, ';') && depth == 0) {
            finish();
            space = false;
            continue;
        }
        if (toks.empty()) {
            append(t);
            if (IsWord(t, "update")) cur.updatePending = true;
            if (IsPunct(t, '(')) ++depth;
            continue;
        }
        if (toks.size() == 1 && IsWord(toks[0], "create") && OneOf(t, {"proc", "procedure", "trigger"})) {
            cur.consumeRest = true;
            append(t);
            continue;
        }
        if (IsPunct(t, '(')) ++depth;
        if (IsPunct(t, ')') && depth > 0) --depth;
        if (depth == 0 && t.kind == TokKind::Word) {
            const Token& first = toks.front();
            const Token& prev = toks.back();
            bool boundary = StartsStatement(t) && !ContinuesAfter(prev) && !IsPunct(prev, '.');
            if (boundary && (OneOf(first, {"insert", "replace"})) && !cur.bodySeen && IsWord(t, "select")) {
                boundary = false;
                cur.bodySeen = true;
            }
            if (boundary && IsWord(first, "with") && !cur.bodySeen &&
                OneOf(t, {"select", "insert", "update", "delete", "replace"})) {
                boundary = false;
                cur.bodySeen = true;
            }
            if (boundary && IsWord(t, "set") && (cur.updatePending || IsWord(prev, "update"))) boundary = false;
            if (boundary && IsWord(first, "alter") && OneOf(t, {"drop", "add"})) boundary = false;
            if (boundary) {
                finish();
                append(t);
                if (IsWord(t, "update")) cur.updatePending = true;
                continue;
            }
            if (IsWord(t, "values") && OneOf(first, {"insert", "replace"})) cur.bodySeen = true;
            if (IsWord(t, "update") && IsWord(prev, "do")) cur.updatePending = true;
            if (IsWord(t, "set")) cur.updatePending = false;
        }
        append(t);
    }
    finish();
    return out;
}

}  // namespace sandbox::sql
