// A result as a table of texts: read from a dataset, ordered, printed aligned.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/kestrel-sql/Format.h"

namespace vcl { class TDataSet; }

namespace KestrelSql {

struct TColumn {
    std::string Name;
    bool RightAligned = false;
};

struct TRow {
    int RecNo = 0;  // 1-based position in the dataset's own order (filter applied)
    std::vector<TCell> Cells;
};

struct TRowSet {
    std::vector<TColumn> Columns;
    std::vector<TRow> Rows;
    // Index of a column by name (ASCII case ignored), -1 when absent.
    int ColumnIndex(const std::string& Name) const;
    // "a, b, c", for errors.
    std::string ColumnList() const;
};

// Every row the dataset shows now (its filter applied), from the first; the
// dataset is left on its first row.
TRowSet ReadRows(vcl::TDataSet& DataSet);

// Stable order by one column: NULLs first, numbers and dates by value,
// the rest by their bytes.
void SortRows(TRowSet& Rows, int Column, bool Descending);

// Header, a rule, the rows, then "(N rows)".
void PrintTable(std::ostream& Out, const TRowSet& Rows);
std::string RowCountText(size_t Count);

} // namespace KestrelSql
