// The SQL text of a query and its :name parameters: the scanner that finds
// every parameter occurrence, the re-parse that keeps values across a change
// of text, and the rendering of parameter values as SQL literals for the text
// that is sent. Parameters are never bound through the client library; the
// statement is always sent as one text with the literals in place.
//
// TSybQuery owns one TSqlStatement next to its SQL lines and its TParams and
// delegates to it; this header is not part of the public interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/DB/Params.h"
#include "vcl/DateTime.h"

namespace SybConnect {

// Bytes that may stand in a parameter name: 0-9, everything from 'A' to 'z'
// (so '[', '\', ']', '^', '_' and '`' too) and 0xC0-0xFF. A name may begin
// with a digit.
inline bool IsParamNameChar(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x30 && b <= 0x39) || (b >= 0x41 && b <= 0x7A) || b >= 0xC0;
}

// One parameter occurrence in the SQL text.
class TParamMapping {
public:
    TParamMapping(vcl::TParam* AParam, int32_t APosition, std::string AText)
        : Param(AParam), Position(APosition), Text(std::move(AText)) {}

    // The parameter item of this occurrence; not owned, and never dereferenced
    // here (the text is rebuilt from the list by index). Valid while the list
    // keeps the items it had after the last re-parse.
    vcl::TParam* Param;
    // 1-based position of the first character of the name in the SQL text.
    int32_t Position;
    // The text before this occurrence: from the end of the previous
    // occurrence's name (or the start) up to, not including, the colon.
    std::string Text;
};

// The parsed statement: the occurrences in text order and the tail text after
// the last one. Owns its TParamMapping entries (values in a vector). Entry i
// belongs to item i of the query's parameter list.
//
// The query's own rules stay with the query: GetSQLText here always renders;
// the query returns "" itself while it is streamed or destroyed.
class TSqlStatement {
public:
    TSqlStatement() = default;
    TSqlStatement(const TSqlStatement&) = delete;
    TSqlStatement& operator=(const TSqlStatement&) = delete;

    // Replaces the occurrences and the tail with those found in Text, and
    // appends one ftUnknown/ptUnknown item per occurrence to Target (which is
    // not emptied). Quotes ('...' and "...", doubled quotes included) and
    // comments (-- to the line end, /* to */) are skipped; an unterminated one
    // runs to the end of the text, which then stays tail text. A name still
    // being read at the very end is no occurrence. If it fails, the previous
    // occurrences and tail stay.
    void ParseSQL(vcl::TParams& Target, const std::string& Text);
    // Frees every occurrence; the tail and the parameter list stay.
    void ClearParams();
    // Re-parse after the SQL lines changed: parse into a temporary list, take
    // values by name from Params (the first new item of a name gets the last
    // old item's value), then Params becomes a copy of the temporary list and
    // occurrence i refers to Params item i. The temporary list is freed on
    // every path; no occurrence ever refers to a freed item.
    void QueryChanged(vcl::TParams& Params, const std::string& Text);
    // The text to send: each occurrence's preceding text followed by the
    // literal of Params item i (by index), then the tail. DateFormat is the
    // server's date order of the connection in use, 0 before there is one.
    // Fewer items than occurrences: EListError from the list; any rendering
    // error propagates. Nothing is returned unless every literal rendered.
    std::string GetSQLText(const vcl::TParams& Params, int DateFormat) const;

    int OccurrenceCount() const { return static_cast<int>(FMappings.size()); }
    // EListError "List index out of bounds (%d)" outside 0..OccurrenceCount-1.
    const TParamMapping& Occurrence(int Index) const;
    const std::string& TailText() const { return FTailText; }

private:
    std::vector<TParamMapping> FMappings;
    std::string FTailText;
};

// The literal of one parameter: "NULL" when it IsNull, else by DataType:
// ftString/ftMemo/ftBytes a single-quoted string, ftSmallint/ftInteger and
// ftBoolean (true -1, false 0) decimal, ftFloat/ftCurrency the float text of
// FloatToSqlText, ftDateTime DateTimeAsString in double quotes, ftBlob
// PrepareBinaryValue of its bytes. Other types raise vcl::Exception
// "Param datatype unsupported". Values that cannot be written safely raise
// vcl::Exception naming the parameter: a string with a NUL byte, a float that
// is not finite, a date-time outside the calendar.
std::string ParamStrValue(const vcl::TParam& Param, int DateFormat);

// Date and time in the pattern of the date order (1..6; anything else the
// month-day-year one), each ':' the locale's time separator, then the
// milliseconds without leading zeros: DateFormat 2 gives 03.01.2001 14:05:09:7.
std::string DateTimeAsString(vcl::TDateTime Value, int DateFormat);

// Every single quote doubled; every other byte unchanged.
std::string PrepareStringValue(const std::string& Value);

// "0x" and two upper-case hex digits per byte; "" gives "0x".
std::string PrepareBinaryValue(const std::string& Bytes);

// A finite double as the general format with at most 15 significant digits,
// no trailing zeros, '.' as separator whatever the locale (neither the C
// locale of the process nor vcl::FormatSettings is read), exponent form
// ("1.5E20", "1E-5") only below 1E-4 or from 1E15 on.
std::string FloatToSqlText(double Value);

// Empties Target, then adds one ftUnknown/ptUnknown item per distinct name
// (compared without regard to case) found after a colon. Quotes and comments
// are not skipped.
void ParseParams(vcl::TParams& Target, const std::string& Text);

} // namespace SybConnect
