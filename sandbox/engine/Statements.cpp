// The Transact-SQL statements SQLite does not have: print, raiserror, use,
// set, waitfor, declare, return, transactions, create/drop procedure,
// create database.
#include <chrono>
#include <ctime>
#include <sqlite3.h>
#include <unistd.h>

#include "sandbox/engine/Executor.h"
#include "sandbox/engine/Messages.h"
#include "sandbox/engine/Procedures.h"
#include "sandbox/tds/Wire.h"

namespace sandbox::engine {

using sql::IsPunct;
using sql::IsWord;
using sql::TokKind;
using sql::Token;

namespace {

bool OneOf(const Token& t, std::initializer_list<std::string_view> words) {
    for (auto w : words)
        if (IsWord(t, w)) return true;
    return false;
}

// Ranges [from, to) of the comma-separated items in [from, end) at depth 0.
std::vector<std::pair<size_t, size_t>> SplitCommas(const std::vector<Token>& t, size_t from, size_t end) {
    std::vector<std::pair<size_t, size_t>> out;
    int depth = 0;
    size_t start = from;
    for (size_t i = from; i < end; ++i) {
        if (IsPunct(t[i], '(')) ++depth;
        if (IsPunct(t[i], ')')) --depth;
        if (depth == 0 && IsPunct(t[i], ',')) {
            out.emplace_back(start, i);
            start = i + 1;
        }
    }
    if (start < end) out.emplace_back(start, end);
    return out;
}

int64_t AsInteger(const sql::Value& v) {
    switch (v.type) {
        case sql::VType::Int: return v.i;
        case sql::VType::Real: return static_cast<int64_t>(v.d);
        case sql::VType::Text: return std::atoll(v.bytes.c_str());
        default: return 0;
    }
}

// ASE's %1! placeholders and the printf-style %d / %s / %i / %u.
std::string Substitute(const std::string& format, const std::vector<std::string>& args) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        size_t j = i + 1;
        size_t n = 0;
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) n = n * 10 + static_cast<size_t>(format[j++] - '0');
        if (n > 0 && j < format.size() && format[j] == '!') {
            if (n <= args.size()) out += args[n - 1];
            i = j;
        } else if (format[i + 1] == 'd' || format[i + 1] == 's' || format[i + 1] == 'i' || format[i + 1] == 'u') {
            if (next < args.size()) out += args[next++];
            ++i;
        } else if (format[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

}  // namespace

std::string Executor::FormatMessage(const std::vector<Token>& t, size_t from, size_t to, Frame& f) {
    const auto items = SplitCommas(t, from, to);
    if (items.empty()) throw SyntaxError(from < t.size() ? t[from].text : "end of input");
    const std::string format = Evaluate(t, items[0].first, items[0].second, f).ToText();
    std::vector<std::string> args;
    for (size_t k = 1; k < items.size(); ++k) args.push_back(Evaluate(t, items[k].first, items[k].second, f).ToText());
    return Substitute(format, args);
}

void Executor::RunPrint(const sql::Statement& s, Frame& f) {
    const std::string text = FormatMessage(s.tokens, 1, s.tokens.size(), f);
    R.Message(ServerMessage{0, 10, 1, text, f.procName, s.line});
    Done(f, 0, 0);
}

void Executor::RunRaiserror(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    size_t end = t.size();
    // "with nowait|log|seterror|errordata ..." changes nothing here.
    for (size_t i = 1; i < t.size(); ++i)
        if (IsWord(t[i], "with")) {
            end = i;
            break;
        }
    int number = 50000, severity = 16, state = 1;
    std::string text;
    if (end > 1 && IsPunct(t[1], '(')) {
        // raiserror('text' | number, severity, state [, args])
        size_t close = end;
        int depth = 0;
        for (size_t i = 1; i < end; ++i) {
            if (IsPunct(t[i], '(')) ++depth;
            if (IsPunct(t[i], ')') && --depth == 0) {
                close = i;
                break;
            }
        }
        const auto items = SplitCommas(t, 2, close);
        if (items.size() < 3) throw SyntaxError(")");
        const sql::Value msg = Evaluate(t, items[0].first, items[0].second, f);
        severity = static_cast<int>(AsInteger(Evaluate(t, items[1].first, items[1].second, f)));
        state = static_cast<int>(AsInteger(Evaluate(t, items[2].first, items[2].second, f)));
        if (severity < 0) severity = 0;
        if (severity > 25) severity = 25;
        if (state < 0 || state > 255) state = 1;
        std::vector<std::string> args;
        for (size_t k = 3; k < items.size(); ++k) args.push_back(Evaluate(t, items[k].first, items[k].second, f).ToText());
        if (msg.type == sql::VType::Int) {
            number = static_cast<int>(msg.i);
        } else {
            text = Substitute(msg.ToText(), args);
        }
    } else {
        // raiserror number ['text' | @var] [, args]
        if (end < 2 || (t[1].kind != TokKind::Number && t[1].kind != TokKind::Variable)) throw SyntaxError(end > 1 ? t[1].text : "raiserror");
        const int64_t n = AsInteger(Evaluate(t, 1, 2, f));
        if (n < 17000 || n > 2147483647)
            throw SqlError(2732, 16, 1,
                           "Error number " + std::to_string(n) + " is invalid. The number must be from 17000 to 2147483647.");
        number = static_cast<int>(n);
        size_t i = 2;
        if (i < end && IsPunct(t[i], ',')) ++i;
        if (i < end) text = FormatMessage(t, i, end, f);
    }
    R.Message(ServerMessage{number, severity, state, text, f.procName, s.line});
    const bool error = severity > 10;
    Done(f, error ? tds::kDoneError : 0, 0);
    if (error) f.failed = true;
    S.lastError = number;
}

void Executor::RunUse(const sql::Statement& s, Frame& f) {
    size_t i = 1;
    const std::string name = ParseObjectName(s.tokens, i);
    if (i != s.tokens.size()) throw SyntaxError(s.tokens[i].text);
    if (S.tranCount > 0) throw SqlError(226, 16, 1, "USE DATABASE not allowed within a multi-statement transaction.");
    const std::string old = S.info.dbName;
    UseDatabase(name);
    R.EnvChange(1, name, old);
    R.Message(ServerMessage{5701, 10, 1, ChangedDatabase(name), f.procName, s.line});
    S.lastError = 0;
    Done(f, 0, 0);
}

void Executor::RunSet(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    if (t.size() < 2) throw SyntaxError("set");
    std::string option = t[1].text;
    for (char& c : option) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t n = t.size();
    auto onOff = [&]() {
        if (n == 3 && IsWord(t[2], "on")) return true;
        if (n == 3 && IsWord(t[2], "off")) return false;
        throw SyntaxError(n > 2 ? t[2].text : option);
    };
    auto number = [&]() -> int64_t {
        if (n < 3) throw SyntaxError(option);
        return AsInteger(Evaluate(t, 2, n, f));
    };
    if (option == "dateformat") {
        if (n != 3) throw SyntaxError(option);
        const std::string value = t[2].kind == TokKind::Variable ? Evaluate(t, 2, 3, f).ToText() : t[2].value;
        const auto order = sql::DateOrderFromName(value);
        if (!order) throw SqlError(2741, 16, 1, "SET DATEFORMAT date order '" + value + "' is invalid.");
        S.dateOrder = *order;
    } else if (option == "textsize") {
        const int64_t v = number();
        if (v < 0 || v > 2147483647) throw SqlError(2760, 16, 1, "Invalid textsize value " + std::to_string(v) + ".");
        S.textSize = v == 0 ? kDefaultTextSize : static_cast<uint32_t>(v);
    } else if (option == "rowcount") {
        const int64_t v = number();
        S.rowCountLimit = v < 0 ? 0 : v;
    } else if (option == "nocount") {
        S.noCount = onOff();
    } else if (option == "quoted_identifier") {
        S.quotedIdentifier = onOff();
    } else if (option == "datefirst") {
        const int64_t v = number();
        if (v < 1 || v > 7) throw SqlError(2762, 16, 1, "SET DATEFIRST value " + std::to_string(v) + " is out of range.");
        S.dateFirst = static_cast<int>(v);
    } else if (option == "language") {
        if (n != 3 || !(IsWord(t[2], "us_english") || t[2].value == "us_english"))
            throw SqlError(2762, 16, 1, "'" + (n > 2 ? t[2].value : std::string()) + "' is not an official language name.");
        S.dateOrder = sql::DateOrder::MDY;
        S.dateFirst = 7;
    } else {
        // Options a client may set that change nothing in the sandbox.
        static const char* const kAccepted[] = {
            "chained", "transaction", "ansinull", "arithabort", "arithignore", "forceplan", "showplan",
            "noexec", "parseonly", "statistics", "string_rtruncation", "close", "fipsflagger", "identity_insert",
            "lock", "clientname", "clienthostname", "clientapplname", "cursor", "ansi_permissions", "flushmessage",
            "self_recursion", "offsets", "procid", "table", "sort_resources", "char_convert", "fmtonly",
            "ansi_nulls", "ansi_warnings", "ansi_padding", "implicit_transactions", "xact_abort", "deadlock_priority",
            "lock_timeout", "concat_null_yields_null", "numeric_roundabort", "textptr_parameters", "proc_return_status",
            "proc_output_params", "plan", "metrics_capture", "triggers", "replication", "role", "export_options",
            "nodata", "tracefile", "delayed_commit", "builtin_date_strings", "quoted_identifier_off"};
        bool known = false;
        for (const char* a : kAccepted)
            if (option == a) known = true;
        if (!known) throw SqlError(195, 15, 10, "'" + t[1].text + "' is not a recognized SET option.");
    }
    S.lastError = 0;
    Done(f, 0, 0);
}

void Executor::RunWaitFor(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    if (t.size() < 3 || !(IsWord(t[1], "delay") || IsWord(t[1], "time"))) throw SyntaxError(t.size() > 1 ? t[1].text : "waitfor");
    const std::string text = Evaluate(t, 2, t.size(), f).ToText();
    const auto p = sql::ParseDateTime(text, S.dateOrder);
    if (!p || p->hasDate) throw SqlError(7125, 16, 1, "The WAITFOR time '" + text + "' is not valid.");
    const auto& q = p->parts;
    int64_t ms = ((q.hour * 60 + q.minute) * 60 + q.second) * 1000LL + q.millis;
    if (IsWord(t[1], "time")) {
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        const int64_t nowMs = ((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) * 1000LL;
        ms = ms >= nowMs ? ms - nowMs : ms + 86400000LL - nowMs;
    }
    R.Sleep(static_cast<int>(ms));
    S.lastError = 0;
    Done(f, 0, 0);
}

void Executor::RunDeclare(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    size_t i = 1;
    while (i < t.size()) {
        if (t[i].kind != TokKind::Variable) throw SyntaxError(t[i].text);
        const std::string name = t[i++].text;
        if (i < t.size() && IsWord(t[i], "as")) ++i;
        Variable v;
        v.type = ParseTypeTokens(t, i, t.size());
        if (i < t.size() && IsPunct(t[i], '=')) {
            size_t j = ++i;
            int depth = 0;
            for (; j < t.size(); ++j) {
                if (IsPunct(t[j], '(')) ++depth;
                if (IsPunct(t[j], ')')) --depth;
                if (depth == 0 && IsPunct(t[j], ',')) break;
            }
            v.value = Coerce(Evaluate(t, i, j, f), *v.type, S.dateOrder);
            i = j;
        }
        if (f.vars.count(name))
            throw SqlError(134, 15, 1,
                           "The variable name '" + name +
                               "' has already been declared. Variable names must be unique within a query batch or "
                               "stored procedure.");
        f.vars.emplace(name, std::move(v));
        if (i < t.size()) {
            if (!IsPunct(t[i], ',')) throw SyntaxError(t[i].text);
            ++i;
        }
    }
}

void Executor::RunReturn(const sql::Statement& s, Frame& f) {
    if (s.tokens.size() > 1) f.returnStatus = static_cast<int>(AsInteger(Evaluate(s.tokens, 1, s.tokens.size(), f)));
    f.returned = true;
}

void Executor::RunTransaction(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    const Token& k = t[0];
    // The optional word after the verb, and an optional transaction or savepoint name.
    size_t i = 1;
    const bool verbWord = i < t.size() && OneOf(t[i], {"tran", "transaction", "work", "deferred", "immediate", "exclusive"});
    if (verbWord) ++i;
    std::string name;
    if (i < t.size() && (t[i].kind == TokKind::Word || t[i].kind == TokKind::Bracket)) name = t[i++].value;
    if (i != t.size()) throw SyntaxError(t[i].text);
    if (S.tranCount > 0 && sqlite3_get_autocommit(Db())) S.tranCount = 0;
    if (IsWord(k, "begin")) {
        // "begin ... end" blocks are not supported: only "begin [tran]".
        if (t.size() > 1 && !verbWord) throw SyntaxError(t[1].text);
        if (S.tranCount == 0) S.db->Exec("BEGIN");
        ++S.tranCount;
    } else if (IsWord(k, "commit")) {
        if (S.tranCount == 1) S.db->Exec("COMMIT");
        if (S.tranCount > 0) --S.tranCount;
    } else if (IsWord(k, "rollback")) {
        if (S.tranCount == 0)
            throw SqlError(3903, 16, 1, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
        bool toSavepoint = false;
        if (!name.empty()) {
            // A name that is a savepoint rolls back to it; a transaction name rolls back everything.
            char* err = nullptr;
            toSavepoint = sqlite3_exec(Db(), ("ROLLBACK TO \"" + name + "\"").c_str(), nullptr, nullptr, &err) == SQLITE_OK;
            sqlite3_free(err);
        }
        if (!toSavepoint) {
            S.db->Exec("ROLLBACK");
            S.tranCount = 0;
        }
    } else {  // save tran name
        if (name.empty()) throw SyntaxError("save");
        if (S.tranCount == 0) throw SqlError(628, 16, 1, "SAVE TRANSACTION is only valid within a transaction.");
        S.db->Exec("SAVEPOINT \"" + name + "\"");
    }
    S.lastError = 0;
    Done(f, 0, 0);
}

void Executor::RunCreateProcedure(const sql::Statement& s, std::string_view source, Frame& f) {
    StoreProcedure(Db(), ParseCreateProcedure(s, source));
    S.lastError = 0;
    Done(f, 0, 0);
}

void Executor::RunDropProcedure(const sql::Statement& s, Frame& f) {
    size_t i = 2;
    while (i < s.tokens.size()) {
        const std::string name = ParseObjectName(s.tokens, i);
        if (!DropProcedure(Db(), name))
            throw SqlError(3701, 11, 1,
                           "Cannot drop the procedure '" + name + "', because it doesn't exist in the system catalogs.");
        if (i < s.tokens.size()) {
            if (!IsPunct(s.tokens[i], ',')) throw SyntaxError(s.tokens[i].text);
            ++i;
        }
    }
    S.lastError = 0;
    Done(f, 0, 0);
}

void Executor::RunCreateDatabase(const sql::Statement& s, Frame& f) {
    size_t i = 2;
    const std::string name = ParseObjectName(s.tokens, i);
    if (!Database::ValidName(name)) throw SqlError(102, 15, 1, "Incorrect syntax near '" + name + "'.");
    const std::string path = Database::PathFor(S.settings->dataDir, name);
    if (::access(path.c_str(), F_OK) == 0)
        throw SqlError(1801, 16, 3, "Database '" + name + "' already exists. Choose a different database name.");
    Database created(path, true, nullptr);
    S.lastError = 0;
    Done(f, 0, 0);
}

}  // namespace sandbox::engine
