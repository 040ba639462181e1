// The mixed row of the query benchmark and the bare ct_fetch loop it is held
// against, both through the binding's entry points (whichever library the
// binding loaded: here the scripted Open Client).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "binding/Cstypes.h"
#include "tests/fakeoc/FakeOC.h"

namespace querybench {

// int, varchar(40), datetime, money, numeric(10,2), float, bit, short text.
extern const char* const MixedSelect;
FakeOC::Batch MixedBatch(int64_t rows);

enum class TBareMode {
    Copy,     // bound buffers copied into one reused row block; text by ct_get_data
    AllBound, // the same with the text bound too
    Keep,     // as Copy, into a new malloc'd block per row that is kept
};

// Rows kept by TBareMode::Keep; frees them.
class TKeptRows {
public:
    TKeptRows() = default;
    ~TKeptRows() { Clear(); }
    TKeptRows(const TKeptRows&) = delete;
    TKeptRows& operator=(const TKeptRows&) = delete;
    void Add(char* block, std::size_t bytes);
    void Clear();
    std::size_t Bytes() const { return FBytes; }

private:
    std::vector<char*> FRows;
    std::size_t FBytes = 0;
};

// Runs MixedSelect on the connection and reads every row; returns the rows read.
int64_t BareLoop(Cstypes::CS_CONNECTION* connection, TBareMode mode, TKeptRows* kept = nullptr);
// Average bytes of the blocks the last Keep loop allocated per row.
double KeptBlockSize();

} // namespace querybench
