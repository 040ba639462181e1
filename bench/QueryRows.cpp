#include "bench/QueryRows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "binding/Ctpublic.h"

using namespace Cstypes;
using FakeOC::Column;
using FakeOC::Value;

namespace querybench {

const char* const MixedSelect = "select ID, NAME, CREATED, PRICE, AMOUNT, RATIO, FLAG, NOTE from mixed";

namespace {

// Values repeat every TableSize rows: the generator only copies bytes, so it
// costs both sides of the comparison the same and little.
constexpr int64_t TableSize = 1024;

struct TValues {
    std::vector<std::string> Names, Notes;
    std::vector<std::vector<uint8_t>> Dates, Money, Numerics;
};

const TValues& Values() {
    static const TValues values = [] {
        TValues v;
        for (int64_t i = 0; i < TableSize; ++i) {
            // 8 to 40 characters.
            std::string name = "customer " + std::to_string(i * 7919);
            name.resize(static_cast<size_t>(8 + i % 33), 'x');
            v.Names.push_back(name);
            std::string note = "note " + std::to_string(i);
            note.resize(static_cast<size_t>(5 + i % 26), '.');
            v.Notes.push_back(note);
            v.Dates.push_back(Value::DateTime(static_cast<int32_t>(40000 + i), static_cast<int32_t>(i * 7777 % 25920000)).Bytes());
            v.Money.push_back(Value::MoneyUnits(i * 12345 - 500000).Bytes());
            v.Numerics.push_back(Value::NumericOf(10, 2, i * 98765 - 3000000).Bytes());
        }
        return v;
    }();
    return values;
}

void MixedRow(int64_t row, FakeOC::RowWriter& out) {
    const TValues& v = Values();
    const size_t k = static_cast<size_t>(row % TableSize);
    out.SetInt(1, static_cast<int32_t>(row));
    out.SetText(2, v.Names[k]);
    out.SetBytes(3, v.Dates[k].data(), v.Dates[k].size());
    out.SetBytes(4, v.Money[k].data(), v.Money[k].size());
    // One in sixteen amounts is NULL.
    if (row % 16 != 0) out.SetBytes(5, v.Numerics[k].data(), v.Numerics[k].size());
    out.SetFloat(6, static_cast<double>(row) * 0.25);
    const uint8_t flag = row & 1;
    out.SetBytes(7, &flag, 1);
    out.SetText(8, v.Notes[k]);
}

constexpr CS_INT TextRoom = 256;
constexpr CS_INT GetDataPiece = 64 * 1024;

struct TColumn {
    CS_DATAFMT Format{};
    bool Bound = false;
    std::vector<char> Buffer;
    CS_INT Copied = 0;
    CS_SMALLINT Indicator = 0;
    size_t Offset = 0; // in the row block: indicator, length, bytes
};

double LastKeptBlock = 0;

int64_t ReadRows(CS_COMMAND* cmd, TBareMode mode, TKeptRows* kept) {
    CS_INT count = 0;
    if (Ctpublic::ct_res_info(cmd, CS_NUMDATA, &count, sizeof count, nullptr) != CS_SUCCEED) return -1;
    std::vector<TColumn> columns(static_cast<size_t>(count));
    size_t blockSize = 0;
    for (CS_INT c = 1; c <= count; ++c) {
        TColumn& col = columns[static_cast<size_t>(c - 1)];
        if (Ctpublic::ct_describe(cmd, c, &col.Format) != CS_SUCCEED) return -1;
        const bool text = col.Format.datatype == CS_TEXT_TYPE || col.Format.datatype == CS_IMAGE_TYPE;
        col.Bound = !text || mode == TBareMode::AllBound;
        const CS_INT length = text ? TextRoom : col.Format.maxlength;
        col.Buffer.resize(static_cast<size_t>(col.Bound ? length : GetDataPiece));
        col.Offset = blockSize;
        blockSize += sizeof(CS_SMALLINT) + sizeof(CS_INT) + static_cast<size_t>(text ? 0 : length);
        if (!col.Bound) continue;
        CS_DATAFMT format = col.Format;
        format.format = CS_FMT_UNUSED;
        format.count = 1;
        format.maxlength = length;
        if (Ctpublic::ct_bind(cmd, c, &format, col.Buffer.data(), &col.Copied, &col.Indicator) != CS_SUCCEED) return -1;
    }
    // The reused block has room for the longest text kept inline.
    std::vector<char> reused(blockSize + static_cast<size_t>(GetDataPiece));
    int64_t rows = 0;
    size_t keptBytes = 0;
    CS_RETCODE rc;
    while ((rc = Ctpublic::ct_fetch(cmd, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr)) == CS_SUCCEED) {
        size_t textBytes = 0;
        for (CS_INT c = 1; c <= count; ++c) {
            TColumn& col = columns[static_cast<size_t>(c - 1)];
            if (col.Bound) continue;
            CS_INT total = 0, out = 0;
            CS_RETCODE got;
            do {
                got = Ctpublic::ct_get_data(cmd, c, col.Buffer.data() + total, GetDataPiece - total, &out);
                if (got != CS_SUCCEED && got != CS_END_ITEM && got != CS_END_DATA) return -1;
                total += std::max<CS_INT>(out, 0);
            } while (got == CS_SUCCEED && total < GetDataPiece);
            col.Copied = total;
            col.Indicator = 0;
            textBytes += static_cast<size_t>(total);
        }
        char* block = reused.data();
        if (mode == TBareMode::Keep) {
            const size_t bytes = blockSize + textBytes;
            block = static_cast<char*>(std::malloc(bytes));
            if (!block) throw std::bad_alloc();
            kept->Add(block, bytes);
            keptBytes += bytes;
        }
        size_t tail = blockSize;
        for (const TColumn& col : columns) {
            char* at = block + col.Offset;
            std::memcpy(at, &col.Indicator, sizeof col.Indicator);
            std::memcpy(at + sizeof col.Indicator, &col.Copied, sizeof col.Copied);
            const size_t bytes = col.Indicator == -1 ? 0 : static_cast<size_t>(col.Copied);
            const bool inlineValue = col.Format.datatype != CS_TEXT_TYPE && col.Format.datatype != CS_IMAGE_TYPE;
            char* to = inlineValue ? at + sizeof col.Indicator + sizeof col.Copied : block + tail;
            if (!inlineValue) tail += bytes;
            std::memcpy(to, col.Buffer.data(), bytes);
        }
        ++rows;
    }
    if (mode == TBareMode::Keep && rows > 0) LastKeptBlock = static_cast<double>(keptBytes) / static_cast<double>(rows);
    return rc == CS_END_DATA ? rows : -1;
}

} // namespace

FakeOC::Batch MixedBatch(int64_t rows) {
    Values();
    FakeOC::Batch batch;
    batch.push_back(FakeOC::Result::GeneratedRowResult(
        {Column::Of("ID", CS_INT_TYPE), Column::Of("NAME", CS_CHAR_TYPE, 40), Column::Of("CREATED", CS_DATETIME_TYPE),
         Column::Of("PRICE", CS_MONEY_TYPE), Column::Numeric("AMOUNT", 10, 2), Column::Of("RATIO", CS_FLOAT_TYPE),
         Column::Of("FLAG", CS_BIT_TYPE), Column::Of("NOTE", CS_TEXT_TYPE, 2147483647)},
        rows, MixedRow));
    batch.push_back(FakeOC::Result::CmdDone(static_cast<int32_t>(rows)));
    return batch;
}

void TKeptRows::Add(char* block, std::size_t bytes) {
    FRows.push_back(block);
    FBytes += bytes;
}

void TKeptRows::Clear() {
    for (char* row : FRows) std::free(row);
    FRows.clear();
    FBytes = 0;
}

double KeptBlockSize() { return LastKeptBlock; }

int64_t BareLoop(CS_CONNECTION* connection, TBareMode mode, TKeptRows* kept) {
    CS_COMMAND* cmd = nullptr;
    if (Ctpublic::ct_cmd_alloc(connection, &cmd) != CS_SUCCEED) return -1;
    int64_t rows = -1;
    if (Ctpublic::ct_command(cmd, CS_LANG_CMD, const_cast<char*>(MixedSelect), CS_NULLTERM, CS_UNUSED) == CS_SUCCEED &&
        Ctpublic::ct_send(cmd) == CS_SUCCEED) {
        CS_INT type = 0;
        CS_RETCODE rc;
        while ((rc = Ctpublic::ct_results(cmd, &type)) == CS_SUCCEED)
            if (type == CS_ROW_RESULT) rows = ReadRows(cmd, mode, kept);
        if (rc != CS_END_RESULTS) rows = -1;
    }
    if (rows < 0) Ctpublic::ct_cancel(nullptr, cmd, CS_CANCEL_ALL);
    Ctpublic::ct_cmd_drop(cmd);
    return rows;
}

} // namespace querybench
