// Client parameters: PARAMFMT (or PARAMFMT2) followed by PARAMS, as FreeTDS
// sends them with DBRPC and with language commands that carry arguments.
#pragma once

#include <string>
#include <vector>

#include "sandbox/sql/Types.h"
#include "sandbox/sql/Value.h"
#include "sandbox/tds/Buffer.h"

namespace sandbox::tds {

struct ClientParam {
    std::string name;  // "@x", or empty for a positional parameter
    bool output = false;
    uint8_t wireType = 0;
    sql::ColumnType type;  // the closest sandbox type, for echoing an output value
    sql::Value value;
};

// Reads the format token at the reader's position and the PARAMS token after
// it. Throws ProtocolError on anything malformed or an unknown type code.
std::vector<ClientParam> ReadParams(Reader& r);

}  // namespace sandbox::tds
