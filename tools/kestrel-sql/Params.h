// Values of \set and how they reach the :name parameters of a batch.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "vcl/DateTime.h"

namespace SybConnect { class TSybQuery; }

namespace KestrelSql {

struct TParamValue {
    enum TKind { Null, Integer, Float, String, DateTime };
    TKind Kind = Null;
    int64_t Int = 0;
    double Real = 0;
    std::string Text;
    vcl::TDateTime Date = 0;
    std::string Source;  // as typed, for listing
};

// Reads a value by its form: 42, -1.5, 1e3, 'text' ('' inside for a quote),
// 2020-01-31 [14:30[:00[.000]]], null. std::invalid_argument naming the text
// for anything else.
TParamValue ParseParamValue(const std::string& Text);

// Variables by lower-cased name: parameter names are matched without case.
using TVariables = std::map<std::string, TParamValue>;

// Gives every :name of the query's SQL its value; std::runtime_error naming
// the first parameter without one, before anything is sent.
void ApplyParams(SybConnect::TSybQuery& Query, const TVariables& Variables);

} // namespace KestrelSql
