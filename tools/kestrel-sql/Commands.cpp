// The backslash commands. Sort and locate work on a copy of the last result's
// rows (the record store offers neither yet); the filter is the dataset's own
// (Filtered with OnFilterRecord).
#include <stdexcept>

#include "components/SybConnect.h"
#include "tools/kestrel-sql/Options.h"
#include "tools/kestrel-sql/Session.h"
#include "tools/kestrel-sql/Text.h"
#include "vcl/DB.h"

namespace KestrelSql {

using SybConnect::TSybQuery;

namespace {

// One "column op value" test, with the value read by the column's kind.
struct TCriterion {
    std::string Column;
    std::string Op = "=";
    bool ByNumber = false;
    double Number = 0;
    std::string Text;

    bool Matches(const TCell& Cell, const std::string& Raw) const {
        if (Cell.Null) return false;
        int c;
        if (ByNumber) c = Cell.Number < Number ? -1 : Cell.Number > Number ? 1 : 0;
        else {
            // Char columns come padded: trailing blanks do not count, as on the server.
            std::string a = Raw;
            while (!a.empty() && a.back() == ' ') a.pop_back();
            c = a.compare(Text) < 0 ? -1 : a.compare(Text) > 0 ? 1 : 0;
        }
        if (Op == "=") return c == 0;
        if (Op == "<>" || Op == "!=") return c != 0;
        if (Op == "<") return c < 0;
        if (Op == "<=") return c <= 0;
        if (Op == ">") return c > 0;
        return c >= 0;
    }
};

bool IsDateField(const vcl::TField& f) {
    return f.DataType() == vcl::ftDateTime || f.DataType() == vcl::ftDate || f.DataType() == vcl::ftTime;
}

// Reads Value for the field's kind; the error names the value and the column.
void ReadCriterionValue(TCriterion& c, vcl::TField& field, const std::string& Value) {
    const std::string v = TrimText(Value);
    if (v.empty()) throw std::invalid_argument("a value is missing after " + c.Column + " " + c.Op);
    if (IsNumericField(field) || field.DataType() == vcl::ftBoolean || IsDateField(field)) {
        TParamValue p;
        try {
            p = ParseParamValue(v);
        } catch (const std::invalid_argument&) {
            p.Kind = TParamValue::Null;
        }
        c.ByNumber = true;
        if (IsDateField(field) && p.Kind == TParamValue::DateTime) c.Number = p.Date;
        else if (!IsDateField(field) && p.Kind == TParamValue::Integer) c.Number = static_cast<double>(p.Int);
        else if (!IsDateField(field) && p.Kind == TParamValue::Float) c.Number = p.Real;
        else
            throw std::invalid_argument("'" + v + "' is not " + (IsDateField(field) ? "a date" : "a number") +
                                        " for the column " + field.FieldName());
        return;
    }
    TParamValue p;
    if (v.front() == '\'') {
        p = ParseParamValue(v);
        c.Text = p.Text;
    } else {
        c.Text = v;
    }
}

vcl::TField& FieldOf(TSybQuery& q, const std::string& name) {
    vcl::TField* f = q.FindField(name);
    if (!f) {
        std::string cols;
        for (int i = 0; i < q.FieldCount(); ++i) cols += (i ? ", " : "") + q.Fields()->Fields(i)->FieldName();
        throw std::invalid_argument("the last result has no column '" + name + "' (its columns: " + cols + ")");
    }
    return *f;
}

} // namespace

TSybQuery& TSession::LastResult() {
    if (!FLastResult || !FLastResult->Active()) throw std::invalid_argument("there is no result in memory yet");
    return *FLastResult;
}

TRowSet TSession::CurrentView() {
    TRowSet rows = ReadRows(LastResult());
    if (!FSortColumn.empty()) SortRows(rows, rows.ColumnIndex(FSortColumn), FSortDescending);
    return rows;
}

bool TSession::Command(const std::string& Text) {
    std::string args;
    const std::string name = LowerText(FirstWord(Text, args));
    try {
        if (name == "\\q" || name == "\\quit") return false;
        if (name == "\\help" || name == "\\?") FOut << CommandHelpText();
        else if (name == "\\set") SetCommand(args);
        else if (name == "\\unset") {
            if (!FVariables.erase(LowerText(args))) throw std::invalid_argument("no value named '" + args + "' is set");
        } else if (name == "\\sort") SortCommand(args);
        else if (name == "\\filter") FilterCommand(args);
        else if (name == "\\locate") LocateCommand(args);
        else if (name == "\\show") PrintTable(FOut, CurrentView());
        else throw std::invalid_argument("unknown command " + name + " (\\help lists them)");
        // What a result command shows stands apart like a batch's output.
        if (name == "\\sort" || name == "\\filter" || name == "\\locate" || name == "\\show") FOut << '\n';
    } catch (const std::exception& e) {
        Error(e.what());
    }
    FOut.flush();
    return true;
}

void TSession::SetCommand(const std::string& Args) {
    std::string value;
    std::string name = FirstWord(Args, value);
    if (!name.empty() && name[0] == ':') name.erase(0, 1);
    if (name.empty()) {
        for (const auto& [key, v] : FVariables) FOut << ":" << key << " = " << v.Source << '\n';
        return;
    }
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            throw std::invalid_argument("'" + name + "' is not a parameter name (letters, digits and _)");
    FVariables[LowerText(name)] = ParseParamValue(value);
}

void TSession::SortCommand(const std::string& Args) {
    std::string rest;
    const std::string column = FirstWord(Args, rest);
    TSybQuery& q = LastResult();
    if (column.empty()) throw std::invalid_argument("\\sort needs a column (or off)");
    if (EqualsNoCase(column, "off")) {
        FSortColumn.clear();
    } else {
        FieldOf(q, column);
        const std::string dir = LowerText(rest);
        if (!dir.empty() && dir != "asc" && dir != "desc")
            throw std::invalid_argument("\\sort takes asc or desc after the column, not '" + rest + "'");
        FSortColumn = column;
        FSortDescending = dir == "desc";
    }
    PrintTable(FOut, CurrentView());
}

void TSession::FilterCommand(const std::string& Args) {
    TSybQuery& q = LastResult();
    std::string rest;
    TCriterion c;
    c.Column = FirstWord(Args, rest);
    if (c.Column.empty()) throw std::invalid_argument("\\filter needs COLUMN OP VALUE (or off)");
    if (EqualsNoCase(c.Column, "off") && rest.empty()) {
        q.SetFiltered(false);
        q.SetOnFilterRecord(nullptr);
        PrintTable(FOut, CurrentView());
        return;
    }
    // The operator may stand apart or touch the column or the value.
    const size_t opAt = c.Column.find_first_of("=<>!");
    if (opAt != std::string::npos) {
        rest = c.Column.substr(opAt) + " " + rest;
        c.Column.erase(opAt);
    }
    vcl::TField& field = FieldOf(q, c.Column);
    size_t n = 0;
    while (n < rest.size() && std::string("=<>!").find(rest[n]) != std::string::npos) ++n;
    c.Op = rest.substr(0, n);
    if (c.Op != "=" && c.Op != "<>" && c.Op != "!=" && c.Op != "<" && c.Op != "<=" && c.Op != ">" && c.Op != ">=")
        throw std::invalid_argument("\\filter needs one of = <> != < <= > >= after the column, not '" + rest + "'");
    ReadCriterionValue(c, field, rest.substr(n));
    c.Column = field.FieldName();

    q.SetFiltered(false);
    q.SetOnFilterRecord([c](vcl::TDataSet* DataSet, bool& Accept) {
        vcl::TField& f = *DataSet->FieldByName(c.Column);
        Accept = c.Matches(FieldCell(f, -1, 0), c.ByNumber || f.IsNull() ? std::string() : f.AsString());
    });
    q.SetFiltered(true);
    PrintTable(FOut, CurrentView());
}

void TSession::LocateCommand(const std::string& Args) {
    TSybQuery& q = LastResult();
    std::string value;
    TCriterion c;
    c.Column = FirstWord(Args, value);
    if (c.Column.empty() || value.empty()) throw std::invalid_argument("\\locate needs a column and a value");
    vcl::TField& field = FieldOf(q, c.Column);
    ReadCriterionValue(c, field, value);
    TRowSet view = CurrentView();
    const int column = view.ColumnIndex(field.FieldName());
    for (size_t i = 0; i < view.Rows.size(); ++i) {
        const TCell& cell = view.Rows[i].Cells[static_cast<size_t>(column)];
        if (!c.Matches(cell, cell.Text)) continue;
        FOut << "found at row " << i + 1 << " of " << view.Rows.size() << ":\n";
        TRowSet one;
        one.Columns = view.Columns;
        one.Rows.push_back(view.Rows[i]);
        PrintTable(FOut, one);
        return;
    }
    FOut << "no row where " << field.FieldName() << " = " << TrimText(value) << '\n';
}

} // namespace KestrelSql
