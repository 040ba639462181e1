#include "sandbox/engine/Messages.h"

#include <sqlite3.h>

namespace sandbox::engine {

namespace {

bool StartsWith(const std::string& s, const char* prefix, std::string* rest) {
    const std::string p = prefix;
    if (s.compare(0, p.size(), p) != 0) return false;
    if (rest) *rest = s.substr(p.size());
    return true;
}

// "t.c" -> ("t", "c")
std::pair<std::string, std::string> SplitQualified(const std::string& s) {
    const size_t comma = s.find(',');
    const std::string first = s.substr(0, comma);
    const size_t dot = first.find('.');
    if (dot == std::string::npos) return {first, first};
    return {first.substr(0, dot), first.substr(dot + 1)};
}

}  // namespace

SqlError ObjectNotFound(const std::string& name) {
    return SqlError(208, 16, 1,
                    name + " not found. Specify owner.objectname or use sp_help to check whether the object exists "
                           "(sp_help may produce lots of output).");
}

SqlError ProcedureNotFound(const std::string& name) {
    return SqlError(2812, 16, 5,
                    "Stored procedure '" + name +
                        "' not found. Specify owner.objectname or use sp_help to check whether the object exists "
                        "(sp_help may produce lots of output).");
}

SqlError DatabaseNotFound(const std::string& name) {
    return SqlError(911, 11, 2,
                    "Attempt to locate entry in sysdatabases for database '" + name +
                        "' by name failed - no entry found under that name. Make sure that name is entered properly.");
}

SqlError SyntaxError(const std::string& near) {
    SqlError e(102, 15, 181, "Incorrect syntax near '" + near + "'.");
    e.AbortsBatch = true;
    return e;
}

SqlError MustDeclare(const std::string& variable) {
    SqlError e(137, 15, 2, "Must declare variable '" + variable + "'.");
    e.AbortsBatch = true;
    return e;
}

std::string ChangedDatabase(const std::string& name) { return "Changed database context to '" + name + "'."; }

SqlError FromSqlite(int rc, const std::string& m) {
    std::string rest;
    if (StartsWith(m, "no such table: ", &rest)) {
        const size_t dot = rest.rfind('.');
        return ObjectNotFound(dot == std::string::npos ? rest : rest.substr(dot + 1));
    }
    if (StartsWith(m, "no such view: ", &rest)) return ObjectNotFound(rest);
    if (StartsWith(m, "no such column: ", &rest)) {
        return SqlError(207, 16, 4, "Invalid column name '" + rest + "'.");
    }
    if (StartsWith(m, "near \"", &rest)) {
        const size_t q = rest.find('"');
        return SyntaxError(rest.substr(0, q));
    }
    if (m == "incomplete input") return SyntaxError("end of input");
    if (StartsWith(m, "UNIQUE constraint failed: ", &rest) || StartsWith(m, "PRIMARY KEY constraint failed: ", &rest)) {
        const auto [table, column] = SplitQualified(rest);
        return SqlError(2601, 14, 6,
                        "Attempt to insert duplicate key row in object '" + table + "' with unique index '" + column +
                            "'");
    }
    if (StartsWith(m, "NOT NULL constraint failed: ", &rest)) {
        const auto [table, column] = SplitQualified(rest);
        return SqlError(233, 16, 1,
                        "The column " + column + " in table " + table + " does not allow null values.");
    }
    if (StartsWith(m, "table ", &rest) && rest.find(" already exists") != std::string::npos) {
        const std::string name = rest.substr(0, rest.find(" already exists"));
        return SqlError(2714, 16, 1, "There is already an object named '" + name + "' in the database.");
    }
    if (StartsWith(m, "no such function: ", &rest)) {
        return SqlError(14216, 16, 1,
                        "Function '" + rest +
                            "' not found. If this is a SQLJ function or SQL function, use sp_help to check whether "
                            "the object exists (sp_help may produce lots of output).");
    }
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return SqlError(1205, 13, 1, "The database is locked by another session: " + m);
    if (StartsWith(m, "FOREIGN KEY constraint failed", nullptr))
        return SqlError(546, 16, 1, "Foreign key constraint violation occurred.");
    if (StartsWith(m, "CHECK constraint failed", nullptr))
        return SqlError(548, 16, 1, "Check constraint violation occurred: " + m);
    return SqlError(kGenericError, 16, 1, m);
}

}  // namespace sandbox::engine
