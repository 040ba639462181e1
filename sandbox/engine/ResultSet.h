// Sends the rows of a prepared SQLite statement as ROWFMT + ROW tokens. Columns
// keep their declared types; expressions are typed by their values (for
// read-only statements a first pass finds the widest value, so declared
// lengths hold every row).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sandbox/engine/Reply.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sandbox::engine {

// What the select list tells about a column that SQLite does not: the type of
// a typed variable or of convert/cast, and the text of an expression without a
// label (ASE sends such columns with an empty name).
struct ColumnHint {
    std::optional<sql::ColumnType> type;
    std::string expressionText;
};

// The column formats of `stmt`, which has been stepped once with result `rc`
// (SQLITE_ROW or SQLITE_DONE); may re-run a read-only statement to measure
// its values, leaving it positioned on its first row again (rc updated).
std::vector<ColumnInfo> DescribeColumns(sqlite3* db, sqlite3_stmt* stmt, int& rc, Reply& reply,
                                        const std::vector<ColumnHint>& hints = {});

// Writes ROWFMT and the rows (up to `limit` when > 0); returns the row count.
// Throws SqlError for a value that does not convert (the ROW is not sent),
// Cancelled on an attention.
int64_t StreamRows(sqlite3* db, sqlite3_stmt* stmt, int rc, Reply& reply, const tds::EncodeContext& ctx,
                   int64_t limit, const std::vector<ColumnHint>& hints = {});

}  // namespace sandbox::engine
