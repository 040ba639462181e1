// What one client session carries between requests: its database, its SET
// options and the values behind @@rowcount, @@error and @@trancount.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sandbox/engine/Database.h"
#include "sandbox/sql/DateTime.h"
#include "sandbox/tds/Encode.h"

namespace sandbox::engine {

struct ServerSettings {
    std::string dataDir;
    std::string password;
    std::string serverName = "SANDBOX";
    std::string defaultDatabase = "master";
};

constexpr uint32_t kDefaultTextSize = 32768;

struct SessionState {
    const ServerSettings* settings = nullptr;
    int spid = 0;
    SessionInfo info;
    std::unique_ptr<Database> db;
    sql::DateOrder dateOrder = sql::DateOrder::MDY;
    uint32_t textSize = kDefaultTextSize;
    int64_t rowCountLimit = 0;  // set rowcount
    bool noCount = false;
    bool quotedIdentifier = false;
    int dateFirst = 7;
    int64_t lastRowCount = 0;
    int lastError = 0;
    int tranCount = 0;

    tds::EncodeContext Encode() const { return tds::EncodeContext{dateOrder, textSize}; }
};

}  // namespace sandbox::engine
