#include "sandbox/engine/Database.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <sqlite3.h>

#include "sandbox/sql/DateTime.h"
#include "sandbox/sql/SqlError.h"

namespace sandbox::engine {

namespace {

void GetDate(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    sql::DateTimeParts p;
    p.year = tm.tm_year + 1900, p.month = tm.tm_mon + 1, p.day = tm.tm_mday;
    p.hour = tm.tm_hour, p.minute = tm.tm_min, p.second = tm.tm_sec;
    p.millis = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    const std::string s = sql::FormatCanonical(p);
    sqlite3_result_text(ctx, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void IsNull(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

void Len(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    // ASE's len/char_length count characters; trailing blanks of char values count too.
    sqlite3_result_int64(ctx, sqlite3_value_bytes(argv[0]));
}

void DataLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, sqlite3_value_bytes(argv[0]));
}

void SessionText(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto* s = static_cast<const std::string*>(sqlite3_user_data(ctx));
    sqlite3_result_text(ctx, s->c_str(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
}

}  // namespace

Database::Database(const std::string& path, bool create, const SessionInfo* info) {
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &FDb, flags, nullptr) != SQLITE_OK) {
        const std::string msg = FDb ? sqlite3_errmsg(FDb) : "out of memory";
        sqlite3_close(FDb);
        FDb = nullptr;
        throw SqlError(16000, 16, 1, "Cannot open database file: " + msg);
    }
    sqlite3_busy_timeout(FDb, 5000);
    sqlite3_extended_result_codes(FDb, 0);
    sqlite3_create_function(FDb, "getdate", 0, SQLITE_UTF8, nullptr, GetDate, nullptr, nullptr);
    sqlite3_create_function(FDb, "isnull", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, IsNull, nullptr, nullptr);
    sqlite3_create_function(FDb, "len", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Len, nullptr, nullptr);
    sqlite3_create_function(FDb, "char_length", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Len, nullptr, nullptr);
    sqlite3_create_function(FDb, "datalength", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, DataLength, nullptr,
                            nullptr);
    if (info) {
        // The strings live in the session, which outlives its databases.
        auto* user = const_cast<std::string*>(&info->userName);
        auto* db = const_cast<std::string*>(&info->dbName);
        auto* host = const_cast<std::string*>(&info->hostName);
        sqlite3_create_function(FDb, "user_name", 0, SQLITE_UTF8, user, SessionText, nullptr, nullptr);
        sqlite3_create_function(FDb, "suser_name", 0, SQLITE_UTF8, user, SessionText, nullptr, nullptr);
        sqlite3_create_function(FDb, "db_name", 0, SQLITE_UTF8, db, SessionText, nullptr, nullptr);
        sqlite3_create_function(FDb, "host_name", 0, SQLITE_UTF8, host, SessionText, nullptr, nullptr);
    }
    try {
        if (create) Exec("PRAGMA journal_mode=WAL");
        Exec("CREATE TABLE IF NOT EXISTS sandbox_procedures ("
             "name TEXT PRIMARY KEY COLLATE NOCASE, params TEXT NOT NULL, body TEXT NOT NULL)");
    } catch (...) {
        sqlite3_close(FDb);
        FDb = nullptr;
        throw;
    }
}

Database::~Database() { sqlite3_close_v2(FDb); }

void Database::Exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(FDb, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw SqlError(16000, 16, 1, msg);
    }
}

bool Database::ValidName(const std::string& name) {
    if (name.empty() || name.size() > 30 || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

std::string Database::PathFor(const std::string& dataDir, const std::string& name) {
    return dataDir + "/" + name + ".db";
}

}  // namespace sandbox::engine
