// Helpers shared by the column description and the row decoder.
#pragma once

#include <cstdint>

#include "binding/Cstypes.h"
#include "vcl/DB/FieldType.h"

namespace SybConnect::Decode {

// How a column's value reaches its buffer.
enum class TTransfer {
    Bound,   // ct_bind; fixed types and short char/binary
    GetData, // ct_get_data after each fetch
    None,    // unmapped type: neither bound nor read
};

// The field type of an Open Client type code; false for an unmapped code.
bool MapDataType(Cstypes::CS_INT DataType, vcl::TFieldType& FieldType);
// Bytes of a fixed-size type's value in Open Client layout; 0 for
// variable-length and unmapped types.
int FixedValueSize(Cstypes::CS_INT DataType);
// How a column of this type and declared length is transferred on its own
// (before the first unbound column of its result).
TTransfer TransferOf(Cstypes::CS_INT DataType, Cstypes::CS_INT MaxLength);

// Day number of a proleptic Gregorian date, 0001-01-01 being day 1. Month
// 1..12; values outside the ranges are carried arithmetically.
int64_t DayNumber(int64_t Year, int64_t Month, int64_t Day);

// A datetime/datetime4 value as record-format milliseconds, cracked with
// cs_dt_crack. vcl::Exception "Connection not defined" without a context,
// "cs_dt_crack failed." when the crack fails.
double DecodeDateTime(Cstypes::CS_CONTEXT* Context, Cstypes::CS_INT DataType, const uint8_t* Value);

// The numeric/decimal record (precision, scale, sign, big-endian magnitude)
// as a double. ESybQueryError "Precision %d not supported for numeric types"
// for a precision outside the table. Value points to at least 35 bytes.
double DecodeNumeric(const uint8_t* Value);

} // namespace SybConnect::Decode
