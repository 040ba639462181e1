// What the query will do with its SQL lines: every completed change of the
// lines re-parses through QueryChanged, and the text sent is GetSQLText.
#pragma once

#include <string>

#include "components/SybConnect/internal/SqlText.h"
#include "vcl/Classes/Strings.h"
#include "vcl/DB/Params.h"

struct TQueryText {
    vcl::TStringList SQL;
    vcl::TParams Params;
    SybConnect::TSqlStatement Statement;
    int DateFormat = 0;

    TQueryText() {
        SQL.OnChange = [this](vcl::TObject*) { Statement.QueryChanged(Params, SQL.GetText()); };
    }
    void SetLines(const std::string& text) { SQL.SetText(text); }
    std::string Text() const { return Statement.GetSQLText(Params, DateFormat); }
};
