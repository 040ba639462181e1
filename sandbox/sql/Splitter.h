// Cuts a Transact-SQL batch into statements. Statements end at ';' or where a
// statement keyword starts the next one at the outer level (FreeTDS sends
// "set textsize 64512 select @@spid use [db]" without separators).
// "create procedure" and "create trigger" take the rest of the batch.
#pragma once

#include <string_view>
#include <vector>

#include "sandbox/sql/Lexer.h"

namespace sandbox::sql {

struct Statement {
    std::vector<Token> tokens;  // significant tokens only, spaceBefore set
    size_t begin = 0;           // source offsets of the statement's text
    size_t end = 0;
    int line = 1;
};

std::vector<Statement> SplitBatch(std::string_view source);

}  // namespace sandbox::sql
