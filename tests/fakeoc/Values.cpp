// Builders for scripted values, columns and results.
#include "tests/fakeoc/Internal.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace FakeOC {

using namespace Detail;

namespace {
template <class T> Value Of(const T& v) { return Value::Raw(&v, sizeof v); }
} // namespace

Value Value::Null() { return Value(); }

Value Value::Raw(const void* data, std::size_t length) {
    const auto* p = static_cast<const uint8_t*>(data);
    return Raw(std::vector<uint8_t>(p, p + length));
}

Value Value::Raw(std::vector<uint8_t> bytes) {
    Value v;
    v.Null_ = false;
    v.Bytes_ = std::move(bytes);
    return v;
}

Value Value::TinyInt(uint8_t v) { return Of(v); }
Value Value::SmallInt(int16_t v) { return Of(v); }
Value Value::Int(int32_t v) { return Of(v); }
Value Value::BigInt(int64_t v) { return Of(v); }
Value Value::Bit(bool v) { return Of(static_cast<uint8_t>(v ? 1 : 0)); }
Value Value::Real(float v) { return Of(v); }
Value Value::Float(double v) { return Of(v); }
Value Value::Char(std::string_view text) { return Raw(text.data(), text.size()); }
Value Value::Binary(std::string_view bytes) { return Raw(bytes.data(), bytes.size()); }
Value Value::Binary(const std::vector<uint8_t>& bytes) { return Raw(bytes); }

Value Value::DateTime(int32_t days, int32_t ticks) {
    int32_t rec[2] = {days, ticks};
    return Raw(rec, sizeof rec);
}

Value Value::DateTime4(uint16_t days, uint16_t minutes) {
    uint16_t rec[2] = {days, minutes};
    return Raw(rec, sizeof rec);
}

Value Value::Money(int32_t high, uint32_t low) {
    uint8_t rec[8];
    std::memcpy(rec, &high, 4);
    std::memcpy(rec + 4, &low, 4);
    return Raw(rec, sizeof rec);
}

Value Value::MoneyUnits(int64_t tenThousandths) {
    auto u = static_cast<uint64_t>(tenThousandths);
    return Money(static_cast<int32_t>(static_cast<uint32_t>(u >> 32)), static_cast<uint32_t>(u & 0xFFFFFFFFu));
}

Value Value::Money4(int32_t tenThousandths) { return Of(tenThousandths); }

Value Value::Numeric(uint8_t precision, uint8_t scale, const std::vector<uint8_t>& array) {
    if (array.size() > static_cast<std::size_t>(Code::NumericSize - 2))
        throw std::invalid_argument("FakeOC: a numeric array holds at most 33 bytes");
    std::vector<uint8_t> rec(Code::NumericSize, 0);
    rec[0] = precision;
    rec[1] = scale;
    std::copy(array.begin(), array.end(), rec.begin() + 2);
    return Raw(std::move(rec));
}

Value Value::NumericOf(uint8_t precision, uint8_t scale, int64_t unscaled) {
    int m = NumericMagnitudeBytes(precision);
    if (m == 0) throw std::invalid_argument("FakeOC: numeric precision " + std::to_string(precision) + " out of range");
    uint64_t mag = unscaled < 0 ? 0 - static_cast<uint64_t>(unscaled) : static_cast<uint64_t>(unscaled);
    std::vector<uint8_t> array(static_cast<std::size_t>(1 + m), 0);
    array[0] = unscaled < 0 ? 1 : 0;
    for (int k = m; k >= 1 && mag; --k) {
        array[static_cast<std::size_t>(k)] = static_cast<uint8_t>(mag & 0xFF);
        mag >>= 8;
    }
    if (mag) throw std::invalid_argument("FakeOC: numeric value does not fit its precision");
    return Numeric(precision, scale, array);
}

int NumericMagnitudeBytes(int precision) {
    if (precision < 1 || precision > 77) return 0;
    // The fewest bytes whose range holds every value of that many digits.
    return static_cast<int>(std::ceil(precision * std::log2(10.0) / 8.0));
}

// ------------------------------------------------------------------ columns

Column Column::Of(std::string name, int32_t dataType, int32_t maxLength) {
    Column c;
    c.Name = std::move(name);
    c.DataType = dataType;
    c.MaxLength = maxLength >= 0 ? maxLength : FixedSize(dataType);
    return c;
}

Column Column::Numeric(std::string name, int32_t precision, int32_t scale, bool decimal) {
    Column c = Of(std::move(name), decimal ? Code::Decimal : Code::Numeric, Code::NumericSize);
    c.Precision = precision;
    c.Scale = scale;
    return c;
}

// ------------------------------------------------------------------ results

Result Result::RowResult(std::vector<Column> columns, std::vector<std::vector<Value>> rows) {
    Result r;
    r.Type = Code::RowResult;
    r.Columns = std::move(columns);
    r.Rows = std::move(rows);
    return r;
}

Result Result::GeneratedRowResult(std::vector<Column> columns, int64_t rows, RowGenerator generator) {
    Result r;
    r.Type = Code::RowResult;
    r.Columns = std::move(columns);
    r.GeneratedRows = rows;
    r.Generator = std::move(generator);
    return r;
}

Result Result::ParamResult(std::vector<Column> columns, std::vector<Value> values) {
    Result r;
    r.Type = Code::ParamResult;
    r.Columns = std::move(columns);
    r.Rows.push_back(std::move(values));
    return r;
}

Result Result::StatusResult(int32_t status) {
    Result r;
    r.Type = Code::StatusResult;
    r.Columns.push_back(Column::Of("", Code::Int));
    r.Rows.push_back({Value::Int(status)});
    return r;
}

Result Result::ComputeResult(std::vector<Column> columns, std::vector<std::vector<Value>> rows) {
    Result r = RowResult(std::move(columns), std::move(rows));
    r.Type = Code::ComputeResult;
    return r;
}

Result Result::CmdSucceed(int32_t rowCount) {
    Result r = OfType(Code::CmdSucceed);
    r.RowCount = rowCount;
    return r;
}

Result Result::CmdDone(int32_t rowCount) {
    Result r = OfType(Code::CmdDone);
    r.RowCount = rowCount;
    return r;
}

Result Result::CmdFail() { return OfType(Code::CmdFail); }

Result Result::OfType(int32_t type) {
    Result r;
    r.Type = type;
    return r;
}

Batch Select(std::vector<Column> columns, std::vector<std::vector<Value>> rows) {
    auto count = static_cast<int32_t>(rows.size());
    return {Result::RowResult(std::move(columns), std::move(rows)), Result::CmdDone(count)};
}

// ---------------------------------------------------------------- RowWriter

namespace {
Slot& SlotAt(void* slots, int column) {
    auto& v = *static_cast<std::vector<Slot>*>(slots);
    if (column < 1 || static_cast<std::size_t>(column) > v.size())
        throw std::out_of_range("FakeOC: generated column " + std::to_string(column) + " out of range");
    return v[static_cast<std::size_t>(column - 1)];
}
} // namespace

void RowWriter::SetNull(int column) { SlotAt(Slots_, column).Null = true; }

void RowWriter::SetBytes(int column, const void* data, std::size_t length) {
    Slot& s = SlotAt(Slots_, column);
    const auto* p = static_cast<const uint8_t*>(data);
    s.Bytes.assign(p, p + length); // reuses the slot's capacity
    s.Null = false;
}

void RowWriter::Set(int column, const Value& v) {
    if (v.IsNull()) SetNull(column);
    else SetBytes(column, v.Bytes().data(), v.Bytes().size());
}

int RowWriter::ColumnCount() const { return static_cast<int>(static_cast<std::vector<Slot>*>(Slots_)->size()); }

} // namespace FakeOC
