#include "tools/kestrel-sql/Table.h"

#include <algorithm>

#include "components/SybConnect.h"
#include "components/SybConnect/ClientField.h"
#include "tools/kestrel-sql/Text.h"
#include "vcl/DB.h"

namespace KestrelSql {

int TRowSet::ColumnIndex(const std::string& Name) const {
    for (size_t i = 0; i < Columns.size(); ++i)
        if (EqualsNoCase(Columns[i].Name, Name)) return static_cast<int>(i);
    return -1;
}

std::string TRowSet::ColumnList() const {
    std::string r;
    for (const auto& c : Columns) r += (r.empty() ? "" : ", ") + c.Name;
    return r;
}

TRowSet ReadRows(vcl::TDataSet& DataSet) {
    TRowSet rows;
    const int count = DataSet.FieldCount();
    std::vector<vcl::TField*> fields;
    std::vector<int> serverType(static_cast<size_t>(count), -1), scale(static_cast<size_t>(count), 0);
    auto* store = dynamic_cast<SybDataSet::TSybDataSet*>(&DataSet);
    for (int i = 0; i < count; ++i) {
        vcl::TField* f = DataSet.Fields()->Fields(i);
        fields.push_back(f);
        rows.Columns.push_back({f->FieldName(), IsNumericField(*f)});
        // The column's own description tells money and numerics from floats.
        const int fetchIndex = f->FieldNo() - 1;
        if (store && fetchIndex >= 0 && fetchIndex < store->FetchFieldCount())
            if (auto* column = dynamic_cast<SybConnect::TSybClientField*>(store->GetFetchField(fetchIndex))) {
                serverType[static_cast<size_t>(i)] = column->GetDataType();
                scale[static_cast<size_t>(i)] = column->GetFormat().scale;
            }
    }
    int recNo = 0;
    for (DataSet.First(); !DataSet.Eof(); DataSet.Next()) {
        TRow row;
        row.RecNo = ++recNo;
        for (int i = 0; i < count; ++i)
            row.Cells.push_back(FieldCell(*fields[static_cast<size_t>(i)], serverType[static_cast<size_t>(i)],
                                          scale[static_cast<size_t>(i)]));
        rows.Rows.push_back(std::move(row));
    }
    DataSet.First();
    return rows;
}

void SortRows(TRowSet& Rows, int Column, bool Descending) {
    const auto c = static_cast<size_t>(Column);
    auto less = [c](const TRow& a, const TRow& b) {
        const TCell& x = a.Cells[c];
        const TCell& y = b.Cells[c];
        if (x.Null || y.Null) return x.Null && !y.Null;
        if (x.HasNumber && y.HasNumber) return x.Number < y.Number;
        return x.Text < y.Text;
    };
    std::stable_sort(Rows.Rows.begin(), Rows.Rows.end(),
                     [&](const TRow& a, const TRow& b) { return Descending ? less(b, a) : less(a, b); });
}

std::string RowCountText(size_t Count) { return Count == 1 ? "(1 row)" : "(" + std::to_string(Count) + " rows)"; }

void PrintTable(std::ostream& Out, const TRowSet& Rows) {
    std::vector<size_t> width;
    for (const auto& c : Rows.Columns) width.push_back(c.Name.size());
    for (const auto& r : Rows.Rows)
        for (size_t i = 0; i < r.Cells.size(); ++i) width[i] = std::max(width[i], r.Cells[i].Text.size());
    auto line = [&](auto text, auto right) {
        std::string s;
        for (size_t i = 0; i < width.size(); ++i) {
            const std::string t = text(i);
            const std::string pad(width[i] - t.size(), ' ');
            if (i) s += "  ";
            s += right(i) ? pad + t : t + pad;
        }
        // Trailing blanks of the last column only make the line longer.
        while (!s.empty() && s.back() == ' ') s.pop_back();
        Out << s << '\n';
    };
    line([&](size_t i) { return Rows.Columns[i].Name; }, [&](size_t i) { return Rows.Columns[i].RightAligned; });
    line([&](size_t i) { return std::string(width[i], '-'); }, [](size_t) { return false; });
    for (const auto& r : Rows.Rows)
        line([&](size_t i) { return r.Cells[i].Text; }, [&](size_t i) { return Rows.Columns[i].RightAligned; });
    Out << RowCountText(Rows.Rows.size()) << '\n';
}

} // namespace KestrelSql
