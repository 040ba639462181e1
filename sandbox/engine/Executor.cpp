#include "sandbox/engine/Executor.h"

#include <cerrno>
#include <cstdlib>
#include <sqlite3.h>
#include <strings.h>
#include <unistd.h>

#include "sandbox/engine/Messages.h"
#include "sandbox/engine/Procedures.h"
#include "sandbox/engine/ResultSet.h"
#include "sandbox/sql/Translate.h"
#include "sandbox/tds/Wire.h"

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

bool OneOf(const Token& t, std::initializer_list<std::string_view> words) {
    for (auto w : words)
        if (IsWord(t, w)) return true;
    return false;
}

// Words that end the select list of "select @x = ..., @y = ...".
bool EndsSelectList(const Token& t) {
    return OneOf(t, {"from", "where", "group", "having", "order", "limit", "union", "intersect", "except"});
}

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

sqlite3* Executor::Db() const { return S.db->Handle(); }

void Executor::RunBatch(std::string_view text, Variables params) {
    Frame f;
    f.vars = std::move(params);
    std::vector<sql::Statement> stmts;
    try {
        stmts = sql::SplitBatch(text);
    } catch (const SqlError& e) {
        ReportError(e, 1, f);
        return;
    }
    RunStatements(stmts, text, f);
}

void Executor::RunRpc(const std::string& name, std::vector<CallArg> args) {
    Frame f;
    try {
        CallProcedure(name, args, f);
    } catch (const SqlError& e) {
        if (R.Cancelled()) throw Cancelled{};
        ReportError(e, 1, f);
    }
}

void Executor::RunStatements(const std::vector<sql::Statement>& stmts, std::string_view source, Frame& f) {
    for (const sql::Statement& s : stmts) {
        R.ThrowIfCancelled();
        try {
            RunStatement(s, source, f);
        } catch (const SqlError& e) {
            // An interrupted SQLite step reports an error; the attention is what happened.
            if (R.Cancelled()) throw Cancelled{};
            ReportError(e, s.line, f);
            if (e.AbortsBatch) break;
        }
        if (f.returned) break;
    }
}

void Executor::ReportError(const SqlError& e, int line, Frame& f) {
    R.Message(ServerMessage{e.Number, e.Severity, e.State, e.Text, f.procName, line});
    const bool error = e.Severity > 10;
    Done(f, error ? tds::kDoneError : 0, 0);
    if (error) f.failed = true;
    S.lastError = e.Number;
    if (S.tranCount > 0 && sqlite3_get_autocommit(Db())) S.tranCount = 0;  // SQLite rolled back
}

void Executor::Done(const Frame& f, uint16_t status, int64_t count) {
    if (!sqlite3_get_autocommit(Db())) status |= tds::kDoneInXact;
    const int32_t c = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(count);
    R.Done(f.depth == 0 ? tds::kTokDone : tds::kTokDoneInProc, status, c);
}

void Executor::RunStatement(const sql::Statement& s, std::string_view source, Frame& f) {
    const auto& t = s.tokens;
    if (t.empty()) return;
    const Token& k = t[0];
    const bool second = t.size() > 1;
    if (IsWord(k, "select") && t.size() > 2 && t[1].kind == TokKind::Variable && IsPunct(t[2], '='))
        return RunAssign(s, f);
    if (IsWord(k, "set")) {
        if (second && t[1].kind == TokKind::Variable) return RunSetVariable(s, f);
        return RunSet(s, f);
    }
    if (IsWord(k, "print")) return RunPrint(s, f);
    if (IsWord(k, "raiserror")) return RunRaiserror(s, f);
    if (IsWord(k, "use")) return RunUse(s, f);
    if (IsWord(k, "waitfor")) return RunWaitFor(s, f);
    if (IsWord(k, "declare")) return RunDeclare(s, f);
    if (IsWord(k, "return")) return RunReturn(s, f);
    if (IsWord(k, "exec") || IsWord(k, "execute")) return RunExec(s, f);
    if (OneOf(k, {"begin", "commit", "rollback", "save"})) return RunTransaction(s, f);
    if (IsWord(k, "create") && second && OneOf(t[1], {"proc", "procedure"})) return RunCreateProcedure(s, source, f);
    if (IsWord(k, "create") && second && IsWord(t[1], "database")) return RunCreateDatabase(s, f);
    if (IsWord(k, "drop") && second && OneOf(t[1], {"proc", "procedure"})) return RunDropProcedure(s, f);
    if (IsWord(k, "truncate") && second && IsWord(t[1], "table")) {
        size_t i = 2;
        return RunSql("DELETE FROM " + Translate(t, i, t.size(), f), f, false);
    }
    const bool dml = OneOf(k, {"insert", "update", "delete", "replace", "with"});
    const std::string text = Translate(t, 0, t.size(), f);
    RunSql(text, f, dml, IsWord(k, "select") ? SelectHints(t, f) : std::vector<ColumnHint>{});
}

std::vector<ColumnHint> Executor::SelectHints(const std::vector<Token>& t, Frame& f) {
    size_t i = 1;
    if (i < t.size() && (IsWord(t[i], "distinct") || IsWord(t[i], "all"))) ++i;
    if (i + 1 < t.size() && IsWord(t[i], "top") && t[i + 1].kind == TokKind::Number) i += 2;
    std::vector<ColumnHint> hints;
    int depth = 0;
    size_t start = i;
    for (size_t j = i; j <= t.size(); ++j) {
        const bool end = j == t.size() || (depth == 0 && (EndsSelectList(t[j]) || IsWord(t[j], "into")));
        if (j < t.size() && IsPunct(t[j], '(')) ++depth;
        if (j < t.size() && IsPunct(t[j], ')')) --depth;
        if (!end && !(depth == 0 && IsPunct(t[j], ','))) continue;
        const size_t a = start, b = j;
        if (a >= b) return {};
        // "*" and "t.*" stand for several columns: the list no longer lines up.
        if (IsPunct(t[b - 1], '*') && (b - a == 1 || IsPunct(t[b - 2], '.'))) return {};
        ColumnHint h;
        h.expressionText = Translate(t, a, b, f);
        const size_t exprEnd = b - a >= 3 && IsWord(t[b - 2], "as") ? b - 2 : b;
        try {
            if (exprEnd - a == 1 && t[a].kind == TokKind::Variable) {
                const auto it = f.vars.find(t[a].text);
                if (it != f.vars.end()) h.type = it->second.type;
            } else if (exprEnd - a >= 6 && IsPunct(t[a + 1], '(') && IsPunct(t[exprEnd - 1], ')')) {
                size_t k = a + 2;
                if (IsWord(t[a], "convert")) {
                    h.type = ParseTypeTokens(t, k, exprEnd);
                } else if (IsWord(t[a], "cast")) {
                    size_t as = exprEnd;
                    int d = 0;
                    for (size_t m = a + 2; m + 1 < exprEnd; ++m) {
                        if (IsPunct(t[m], '(')) ++d;
                        if (IsPunct(t[m], ')')) --d;
                        if (d == 0 && IsWord(t[m], "as")) as = m;
                    }
                    if (as < exprEnd) {
                        k = as + 1;
                        h.type = ParseTypeTokens(t, k, exprEnd - 1);
                    }
                }
            }
        } catch (const SqlError&) {
            h.type.reset();  // not a type the sandbox maps: typed by value
        }
        hints.push_back(std::move(h));
        if (end) break;
        start = j + 1;
    }
    return hints;
}

std::string Executor::Translate(const std::vector<Token>& t, size_t from, size_t to, Frame& f) {
    sql::TranslateContext ctx;
    ctx.dateOrder = S.dateOrder;
    ctx.quotedIdentifiers = S.quotedIdentifier;
    ctx.global = [this, &f](const std::string& name) { return Global(name, f); };
    return sql::Translate(t, from, to, ctx);
}

std::string Executor::Global(const std::string& name, const Frame& f) {
    auto num = [](int64_t v) { return std::to_string(v); };
    if (name == "@@spid") return num(S.spid);
    if (name == "@@version")
        return sql::QuoteString("kestrel-sandbox/1.0/SQLite " + std::string(sqlite3_libversion()) +
                                "/development and test server, not a production database");
    if (name == "@@servername") return sql::QuoteString(S.settings->serverName);
    if (name == "@@textsize") return num(S.textSize);
    if (name == "@@rowcount") return num(S.lastRowCount);
    if (name == "@@error") return num(S.lastError);
    if (name == "@@trancount") return num(S.tranCount);
    if (name == "@@transtate") return num(S.tranCount > 0 ? 0 : 1);
    if (name == "@@identity") return num(sqlite3_last_insert_rowid(Db()));
    if (name == "@@language") return "'us_english'";
    if (name == "@@datefirst") return num(S.dateFirst);
    if (name == "@@nestlevel") return num(f.depth);
    if (name == "@@max_connections") return "64";
    if (name == "@@isolation") return "1";
    if (name == "@@sqlstatus") return "0";
    if (name == "@@maxcharlen" || name == "@@ncharsize") return "1";
    if (name == "@@client_csname") return "'iso_1'";
    if (name == "@@procid") return "0";
    throw MustDeclare(name);
}

void Executor::Bind(sqlite3_stmt* stmt, Frame& f) {
    const int n = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= n; ++i) {
        const char* name = sqlite3_bind_parameter_name(stmt, i);
        if (!name || name[0] != '@') continue;  // SQLite's own ? and :x stay NULL
        const auto it = f.vars.find(name);
        if (it == f.vars.end()) throw MustDeclare(name);
        sql::BindValue(stmt, i, it->second.value);
    }
}

void Executor::RunSql(const std::string& sqlText, Frame& f, bool countChanges, const std::vector<ColumnHint>& hints) {
    Stmt st;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(Db(), sqlText.c_str(), static_cast<int>(sqlText.size()), &st.s, &tail);
    if (rc != SQLITE_OK) throw FromSqlite(rc, sqlite3_errmsg(Db()));
    if (!st.s) return;  // only a comment
    Bind(st.s, f);
    rc = sqlite3_step(st.s);
    if (sqlite3_column_count(st.s) > 0) {
        const int64_t rows = StreamRows(Db(), st.s, rc, R, S.Encode(), S.rowCountLimit, hints);
        S.lastRowCount = rows;
        S.lastError = 0;
        Done(f, S.noCount ? 0 : tds::kDoneCount, rows);
        return;
    }
    while (rc == SQLITE_ROW) rc = sqlite3_step(st.s);
    if (rc != SQLITE_DONE) throw FromSqlite(rc, sqlite3_errmsg(Db()));
    const int64_t count = countChanges ? sqlite3_changes(Db()) : 0;
    S.lastRowCount = count;
    S.lastError = 0;
    Done(f, countChanges && !S.noCount ? tds::kDoneCount : 0, count);
}

sql::Value Executor::Evaluate(const std::vector<Token>& t, size_t from, size_t to, Frame& f) {
    if (from >= to) throw SyntaxError(from < t.size() ? t[from].text : "end of input");
    const std::string sqlText = "SELECT " + Translate(t, from, to, f);
    Stmt st;
    int rc = sqlite3_prepare_v2(Db(), sqlText.c_str(), static_cast<int>(sqlText.size()), &st.s, nullptr);
    if (rc != SQLITE_OK) throw FromSqlite(rc, sqlite3_errmsg(Db()));
    Bind(st.s, f);
    rc = sqlite3_step(st.s);
    if (rc == SQLITE_ROW) return sql::Value::From(sql::ValueView::FromColumn(st.s, 0));
    if (rc != SQLITE_DONE) throw FromSqlite(rc, sqlite3_errmsg(Db()));
    return {};
}

void Executor::Assign(Frame& f, const std::string& name, const sql::Value& v) {
    const auto it = f.vars.find(name);
    if (it == f.vars.end()) throw MustDeclare(name);
    it->second.value = it->second.type ? Coerce(v, *it->second.type, S.dateOrder) : v;
}

void Executor::RunAssign(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    struct Item {
        std::string name;
        size_t from, to;
    };
    std::vector<Item> items;
    size_t i = 1;
    for (;;) {
        if (i + 1 >= t.size() || t[i].kind != TokKind::Variable || !IsPunct(t[i + 1], '='))
            throw SqlError(141, 15, 1,
                           "A SELECT statement that assigns a value to a variable must not be combined with "
                           "data-retrieval operations.");
        Item item{t[i].text, i + 2, i + 2};
        int depth = 0;
        size_t j = i + 2;
        for (; j < t.size(); ++j) {
            if (IsPunct(t[j], '(')) ++depth;
            if (IsPunct(t[j], ')')) --depth;
            if (depth == 0 && (IsPunct(t[j], ',') || EndsSelectList(t[j]))) break;
        }
        item.to = j;
        if (item.from == item.to) throw SyntaxError("=");
        if (f.vars.find(item.name) == f.vars.end()) throw MustDeclare(item.name);
        items.push_back(item);
        i = j;
        if (i < t.size() && IsPunct(t[i], ',')) {
            ++i;
            continue;
        }
        break;
    }
    std::string sqlText = "SELECT ";
    for (size_t k = 0; k < items.size(); ++k) {
        if (k) sqlText += ", ";
        sqlText += Translate(t, items[k].from, items[k].to, f);
    }
    if (i < t.size()) sqlText += " " + Translate(t, i, t.size(), f);
    Stmt st;
    int rc = sqlite3_prepare_v2(Db(), sqlText.c_str(), static_cast<int>(sqlText.size()), &st.s, nullptr);
    if (rc != SQLITE_OK) throw FromSqlite(rc, sqlite3_errmsg(Db()));
    Bind(st.s, f);
    std::vector<sql::Value> last(items.size());
    int64_t rows = 0;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        for (size_t k = 0; k < items.size(); ++k)
            last[k] = sql::Value::From(sql::ValueView::FromColumn(st.s, static_cast<int>(k)));
        if (++rows % 256 == 0) R.ThrowIfCancelled();
    }
    if (rc != SQLITE_DONE) throw FromSqlite(rc, sqlite3_errmsg(Db()));
    // No row leaves the variables as they were, as in ASE.
    if (rows > 0)
        for (size_t k = 0; k < items.size(); ++k) Assign(f, items[k].name, last[k]);
    S.lastRowCount = rows;
    S.lastError = 0;
    Done(f, S.noCount ? 0 : tds::kDoneCount, rows);
}

void Executor::RunSetVariable(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    if (t.size() < 4 || !IsPunct(t[2], '=')) throw SyntaxError(t.size() > 2 ? t[2].text : t[1].text);
    Assign(f, t[1].text, Evaluate(t, 3, t.size(), f));
    S.lastRowCount = 1;
    S.lastError = 0;
    Done(f, 0, 0);
}

sql::Value Executor::Coerce(const sql::Value& v, const sql::ColumnType& type, sql::DateOrder order) {
    using sql::Kind;
    using sql::VType;
    if (v.type == VType::Null) return v;
    switch (type.kind) {
        case Kind::TinyInt:
        case Kind::SmallInt:
        case Kind::Int:
        case Kind::BigInt:
        case Kind::Bit:
            if (v.type == VType::Real) return sql::Value::Int(static_cast<int64_t>(v.d));
            if (v.type == VType::Text) {
                errno = 0;
                char* end = nullptr;
                const long long n = std::strtoll(v.bytes.c_str(), &end, 10);
                if (end && *end == 0 && !v.bytes.empty() && errno == 0) return sql::Value::Int(type.kind == Kind::Bit ? n != 0 : n);
            }
            if (type.kind == Kind::Bit && v.type == VType::Int) return sql::Value::Int(v.i != 0);
            return v;
        case Kind::Real:
        case Kind::Float:
            if (v.type == VType::Int) return sql::Value::Real(static_cast<double>(v.i));
            if (v.type == VType::Text) {
                char* end = nullptr;
                const double d = std::strtod(v.bytes.c_str(), &end);
                if (end && *end == 0 && !v.bytes.empty()) return sql::Value::Real(d);
            }
            return v;
        case Kind::DateTime:
        case Kind::SmallDateTime:
            if (v.type == VType::Text) {
                if (const auto p = sql::ParseDateTime(v.bytes, order)) return sql::Value::Text(sql::FormatCanonical(p->parts));
            }
            return v;
        case Kind::Char:
        case Kind::VarChar:
        case Kind::Text: {
            std::string text = v.type == VType::Text || v.type == VType::Blob ? v.bytes : v.ToText();
            if (type.kind != Kind::Text && text.size() > type.length) text.resize(type.length);
            return sql::Value::Text(std::move(text));
        }
        case Kind::Binary:
        case Kind::VarBinary: {
            std::string bytes = v.type == VType::Text || v.type == VType::Blob ? v.bytes : v.ToText();
            if (bytes.size() > type.length) bytes.resize(type.length);
            return sql::Value::Blob(std::move(bytes));
        }
        default:
            return v;
    }
}

void Executor::UseDatabase(const std::string& name) {
    if (!Database::ValidName(name)) throw DatabaseNotFound(name);
    const std::string path = Database::PathFor(S.settings->dataDir, name);
    if (::access(path.c_str(), F_OK) != 0) throw DatabaseNotFound(name);
    SessionInfo previous = S.info;
    S.info.dbName = name;
    try {
        auto db = std::make_unique<Database>(path, false, &S.info);
        // Long statements look for an attention now and then.
        sqlite3_progress_handler(
            db->Handle(), 20000, [](void* reply) -> int { return static_cast<Reply*>(reply)->PollCancel() ? 1 : 0; },
            &R);
        S.db = std::move(db);
    } catch (...) {
        S.info = previous;
        throw;
    }
}

}  // namespace sandbox::engine
