// Runs Transact-SQL for one session: a language batch statement by statement
// (one result each), procedures defined as data, and procedure calls by RPC.
// Results, messages and DONE tokens go to the session's Reply.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sandbox/engine/Reply.h"
#include "sandbox/engine/ResultSet.h"
#include "sandbox/engine/SessionState.h"
#include "sandbox/sql/Splitter.h"
#include "sandbox/sql/SqlError.h"
#include "sandbox/sql/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sandbox::engine {

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct Variable {
    sql::Value value;
    std::optional<sql::ColumnType> type;  // declared type, if any
};
using Variables = std::map<std::string, Variable, NoCaseLess>;

// A batch, or one running procedure.
struct Frame {
    Variables vars;
    std::string procName;  // empty at batch level
    int depth = 0;         // 0: batch; n: procedure nesting level
    bool returned = false;
    std::optional<int> returnStatus;
    bool failed = false;
};

struct CallArg {
    std::string name;  // "@p", or empty when positional
    sql::Value value;
    bool isDefault = false;
    bool output = false;
    std::string callerVariable;  // "@v" of "exec p @v output"
};

class Executor {
public:
    Executor(SessionState& state, Reply& reply) : S(state), R(reply) {}

    // Every statement of the batch; `params` are the batch's variables
    // (language commands with arguments).
    void RunBatch(std::string_view text, Variables params = {});
    // A procedure called by name (DBRPC).
    void RunRpc(const std::string& name, std::vector<CallArg> args);

    // Opens the database of the data folder; throws SqlError 911 when missing.
    void UseDatabase(const std::string& name);

    // Converts an assigned value to a declared type as far as SQLite's values
    // allow (date strings to the stored form, numbers from text, ...).
    static sql::Value Coerce(const sql::Value& v, const sql::ColumnType& type, sql::DateOrder order);

private:
    void RunStatements(const std::vector<sql::Statement>& stmts, std::string_view source, Frame& f);
    void RunStatement(const sql::Statement& s, std::string_view source, Frame& f);
    void ReportError(const SqlError& e, int line, Frame& f);
    void Done(const Frame& f, uint16_t status, int64_t count);

    // SQL through SQLite.
    void RunSql(const std::string& sql, Frame& f, bool countChanges, const std::vector<ColumnHint>& hints = {});
    std::vector<ColumnHint> SelectHints(const std::vector<sql::Token>& t, Frame& f);
    void RunAssign(const sql::Statement& s, Frame& f);
    void RunSetVariable(const sql::Statement& s, Frame& f);
    sql::Value Evaluate(const std::vector<sql::Token>& t, size_t from, size_t to, Frame& f);
    std::string Translate(const std::vector<sql::Token>& t, size_t from, size_t to, Frame& f);
    void Bind(sqlite3_stmt* stmt, Frame& f);
    std::string Global(const std::string& name, const Frame& f);
    void Assign(Frame& f, const std::string& name, const sql::Value& v);

    // Transact-SQL statements of their own.
    void RunPrint(const sql::Statement& s, Frame& f);
    void RunRaiserror(const sql::Statement& s, Frame& f);
    void RunUse(const sql::Statement& s, Frame& f);
    void RunSet(const sql::Statement& s, Frame& f);
    void RunWaitFor(const sql::Statement& s, Frame& f);
    void RunDeclare(const sql::Statement& s, Frame& f);
    void RunReturn(const sql::Statement& s, Frame& f);
    void RunTransaction(const sql::Statement& s, Frame& f);
    void RunCreateProcedure(const sql::Statement& s, std::string_view source, Frame& f);
    void RunDropProcedure(const sql::Statement& s, Frame& f);
    void RunCreateDatabase(const sql::Statement& s, Frame& f);
    std::string FormatMessage(const std::vector<sql::Token>& t, size_t from, size_t to, Frame& f);

    // Procedures.
    void RunExec(const sql::Statement& s, Frame& f);
    int CallProcedure(const std::string& name, std::vector<CallArg>& args, Frame& caller);

    sqlite3* Db() const;

    SessionState& S;
    Reply& R;
};

}  // namespace sandbox::engine
