// One open SQLite database of the data folder, with the functions and the
// procedure table the sandbox adds to every database.
#pragma once

#include <string>

struct sqlite3;

namespace sandbox::engine {

// Per-session values the added SQL functions report.
struct SessionInfo {
    std::string userName = "dbo";
    std::string dbName;
    std::string hostName;
};

class Database {
public:
    // Opens (and with `create` creates) the file; throws SqlError on failure.
    Database(const std::string& path, bool create, const SessionInfo* info);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* Handle() const { return FDb; }

    // Runs SQL with no results; throws SqlError.
    void Exec(const std::string& sql);

    static bool ValidName(const std::string& name);
    static std::string PathFor(const std::string& dataDir, const std::string& name);

private:
    sqlite3* FDb = nullptr;
};

}  // namespace sandbox::engine
