// Column formats and values of ROW and PARAMS tokens for the sandbox's types.
#pragma once

#include <cstdint>

#include "sandbox/sql/DateTime.h"
#include "sandbox/sql/Types.h"
#include "sandbox/sql/Value.h"
#include "sandbox/tds/Buffer.h"

namespace sandbox::tds {

struct EncodeContext {
    sql::DateOrder dateOrder = sql::DateOrder::MDY;
    uint32_t textSize = 32768;  // bound of text/image values and their declared length
};

// Data type byte and type information (ROWFMT / PARAMFMT layout).
void PutTypeInfo(Buffer& b, const sql::ColumnType& type, const EncodeContext& ctx);

// One value in ROW / PARAMS layout. Throws SqlError when the value cannot be
// converted to the type; the buffer may then hold a partial value, so callers
// cut it back to the start of the token.
void PutValue(Buffer& b, const sql::ColumnType& type, const sql::ValueView& v, const EncodeContext& ctx);

}  // namespace sandbox::tds
