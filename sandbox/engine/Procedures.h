// Procedures defined as data: each database has a table sandbox_procedures
// (name, params, body) holding the parameter declarations and the Transact-SQL
// body of "create procedure". Parsing of declarations and of the create
// statement lives here too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sandbox/sql/Splitter.h"
#include "sandbox/sql/Types.h"

struct sqlite3;

namespace sandbox::engine {

struct ParamDecl {
    std::string name;  // "@x"
    sql::ColumnType type;
    std::vector<sql::Token> defaultValue;  // empty: no default
    bool output = false;
};

struct ProcDefinition {
    std::string name;
    std::string params;  // the declaration list as written
    std::string body;
};

// "@a int, @b varchar(10) = 'x', @c money output", optionally in parentheses.
std::vector<ParamDecl> ParseParamDecls(std::string_view text);

// A type written as tokens from `i` ("numeric ( 10 , 2 )", "double precision");
// advances i past it. Throws SqlError for an unknown type.
sql::ColumnType ParseTypeTokens(const std::vector<sql::Token>& t, size_t& i, size_t end);

// From "create proc[edure] name [(] params [)] [with recompile] as body".
ProcDefinition ParseCreateProcedure(const sql::Statement& s, std::string_view batch);

std::optional<ProcDefinition> LoadProcedure(sqlite3* db, const std::string& name);
// Throws SqlError 2714 when a procedure of that name exists.
void StoreProcedure(sqlite3* db, const ProcDefinition& def);
bool DropProcedure(sqlite3* db, const std::string& name);

// Last part of "db.owner.name" / "owner.name" / "[name]" at t[i]; advances i.
std::string ParseObjectName(const std::vector<sql::Token>& t, size_t& i);

}  // namespace sandbox::engine
