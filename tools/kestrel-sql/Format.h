// How values are written for people: ISO dates, money with its cents, NULL.
#pragma once

#include <cstdint>
#include <string>

#include "vcl/DateTime.h"

namespace SybConnect { class TSybClientField; }
namespace vcl { class TField; }

namespace KestrelSql {

// One value as shown: its text, and for numbers and dates a sort key.
struct TCell {
    bool Null = true;
    std::string Text = "NULL";
    bool HasNumber = false;
    double Number = 0;
};

// yyyy-mm-dd hh:nn:ss, with .zzz when there are milliseconds.
std::string DateTimeText(vcl::TDateTime Value);
// Money in ten-thousandths: at least two decimals, at most four.
std::string MoneyText(int64_t TenThousandths);

// The current value of a dataset field. ServerType is the column's Open
// Client type when known (-1 otherwise): money, numeric and real columns all
// arrive as float fields.
TCell FieldCell(vcl::TField& Field, int ServerType, int Scale);
// The value of an output parameter, decoded from its buffer.
TCell ParamCell(const SybConnect::TSybClientField& Param);
// Whether a column of this field type reads better right-aligned.
bool IsNumericField(const vcl::TField& Field);

} // namespace KestrelSql
