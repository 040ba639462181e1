#include "sandbox/engine/Procedures.h"

#include <sqlite3.h>

#include "sandbox/engine/Messages.h"
#include "sandbox/sql/SqlError.h"

namespace sandbox::engine {

using sql::IsPunct;
using sql::IsWord;
using sql::TokKind;
using sql::Token;

namespace {

struct Stmt {
    sqlite3_stmt* s = nullptr;
    ~Stmt() { sqlite3_finalize(s); }
};

void Prepare(sqlite3* db, const char* sql, Stmt& st) {
    if (sqlite3_prepare_v2(db, sql, -1, &st.s, nullptr) != SQLITE_OK) throw FromSqlite(sqlite3_errcode(db), sqlite3_errmsg(db));
}

std::string Column(sqlite3_stmt* s, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return p ? p : "";
}

}  // namespace

std::string ParseObjectName(const std::vector<Token>& t, size_t& i) {
    std::string name;
    while (i < t.size()) {
        if (t[i].kind == TokKind::Word || t[i].kind == TokKind::Bracket) {
            name = t[i].value;
            ++i;
        } else {
            break;
        }
        if (i < t.size() && IsPunct(t[i], '.')) {
            ++i;
            while (i < t.size() && IsPunct(t[i], '.')) ++i;  // db..name
            continue;
        }
        break;
    }
    if (name.empty()) throw SyntaxError(i < t.size() ? t[i].text : "end of input");
    return name;
}

sql::ColumnType ParseTypeTokens(const std::vector<Token>& t, size_t& i, size_t end) {
    if (i >= end || t[i].kind != TokKind::Word) throw SyntaxError(i < end ? t[i].text : "end of input");
    std::string text = t[i++].text;
    if (IsWord(t[i - 1], "double") && i < end && IsWord(t[i], "precision")) text += " " + t[i++].text;
    if (IsWord(t[i - 1], "char") && i < end && IsWord(t[i], "varying")) text += " " + t[i++].text;
    if (i < end && IsPunct(t[i], '(')) {
        while (i < end) {
            text += t[i].text;
            if (IsPunct(t[i++], ')')) break;
        }
    }
    const auto type = sql::TypeFromDeclared(text);
    if (!type) throw SqlError(2715, 16, 1, "Can't find type '" + text + "'.");
    return *type;
}

std::vector<ParamDecl> ParseParamDecls(std::string_view text) {
    std::vector<Token> t;
    for (Token& k : sql::Lex(text))
        if (sql::IsSignificant(k)) t.push_back(std::move(k));
    size_t i = 0, end = t.size();
    if (end >= 2 && IsPunct(t[0], '(') && IsPunct(t[end - 1], ')')) ++i, --end;
    std::vector<ParamDecl> out;
    while (i < end) {
        if (t[i].kind != TokKind::Variable) throw SyntaxError(t[i].text);
        ParamDecl p;
        p.name = t[i++].text;
        if (i < end && IsWord(t[i], "as")) ++i;
        p.type = ParseTypeTokens(t, i, end);
        if (i < end && IsPunct(t[i], '=')) {
            ++i;
            int depth = 0;
            while (i < end && !(depth == 0 && (IsPunct(t[i], ',') || IsWord(t[i], "output") || IsWord(t[i], "out")))) {
                if (IsPunct(t[i], '(')) ++depth;
                if (IsPunct(t[i], ')')) --depth;
                p.defaultValue.push_back(t[i++]);
            }
            if (p.defaultValue.empty()) throw SyntaxError("=");
        }
        if (i < end && (IsWord(t[i], "output") || IsWord(t[i], "out"))) {
            p.output = true;
            ++i;
        }
        for (const ParamDecl& q : out)
            if (sqlite3_stricmp(q.name.c_str(), p.name.c_str()) == 0)
                throw SqlError(132, 15, 1, "The parameter name '" + p.name + "' is used more than once.");
        out.push_back(std::move(p));
        if (i < end) {
            if (!IsPunct(t[i], ',')) throw SyntaxError(t[i].text);
            ++i;
        }
    }
    return out;
}

ProcDefinition ParseCreateProcedure(const sql::Statement& s, std::string_view batch) {
    const auto& t = s.tokens;
    size_t i = 2;  // after "create proc"
    ProcDefinition def;
    def.name = ParseObjectName(t, i);
    const size_t paramsStart = i;
    size_t as = i;
    int depth = 0;
    for (; as < t.size(); ++as) {
        if (IsPunct(t[as], '(')) ++depth;
        if (IsPunct(t[as], ')')) --depth;
        if (depth == 0 && IsWord(t[as], "as")) {
            // "@x as int" is a declaration, not the start of the body.
            if (as > paramsStart && t[as - 1].kind == TokKind::Variable) continue;
            break;
        }
    }
    if (as >= t.size() || as + 1 >= t.size()) throw SyntaxError(as < t.size() ? "as" : "end of input");
    size_t paramsEnd = as;
    if (paramsEnd >= paramsStart + 2 && IsWord(t[paramsEnd - 1], "recompile") && IsWord(t[paramsEnd - 2], "with"))
        paramsEnd -= 2;
    if (paramsEnd > paramsStart) {
        const size_t from = t[paramsStart].offset;
        const size_t to = t[paramsEnd - 1].offset + t[paramsEnd - 1].text.size();
        def.params = std::string(batch.substr(from, to - from));
    }
    ParseParamDecls(def.params);  // refuse bad declarations now, not at the first call
    def.body = std::string(batch.substr(t[as + 1].offset, s.end - t[as + 1].offset));
    return def;
}

std::optional<ProcDefinition> LoadProcedure(sqlite3* db, const std::string& name) {
    Stmt st;
    Prepare(db, "SELECT name, params, body FROM sandbox_procedures WHERE name = ?1", st);
    sqlite3_bind_text(st.s, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st.s);
    if (rc == SQLITE_DONE) return std::nullopt;
    if (rc != SQLITE_ROW) throw FromSqlite(rc, sqlite3_errmsg(db));
    return ProcDefinition{Column(st.s, 0), Column(st.s, 1), Column(st.s, 2)};
}

void StoreProcedure(sqlite3* db, const ProcDefinition& def) {
    if (LoadProcedure(db, def.name))
        throw SqlError(2714, 16, 2, "There is already an object named '" + def.name + "' in the database.");
    Stmt st;
    Prepare(db, "INSERT INTO sandbox_procedures(name, params, body) VALUES (?1, ?2, ?3)", st);
    sqlite3_bind_text(st.s, 1, def.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st.s, 2, def.params.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st.s, 3, def.body.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st.s) != SQLITE_DONE) throw FromSqlite(sqlite3_errcode(db), sqlite3_errmsg(db));
}

bool DropProcedure(sqlite3* db, const std::string& name) {
    Stmt st;
    Prepare(db, "DELETE FROM sandbox_procedures WHERE name = ?1", st);
    sqlite3_bind_text(st.s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st.s) != SQLITE_DONE) throw FromSqlite(sqlite3_errcode(db), sqlite3_errmsg(db));
    return sqlite3_changes(db) > 0;
}

}  // namespace sandbox::engine
