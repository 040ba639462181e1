// The sample database kestrel_sample: a table with a column of every type the
// components map, customers and their orders for master/detail, a table of
// 1000 rows, and two procedures.
#pragma once

#include <string>

namespace sandbox::engine {

constexpr const char* kSampleDatabase = "kestrel_sample";

// Creates <dataDir>/kestrel_sample.db unless it exists; throws SqlError.
void CreateSampleDatabase(const std::string& dataDir);

// Creates an empty database file (with the procedure table) unless it exists.
void EnsureDatabase(const std::string& dataDir, const std::string& name);

}  // namespace sandbox::engine
