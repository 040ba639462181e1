// The scripted Open Client: a shared library that exports the 70 CS-Library and
// CT-Library entry points the binding resolves, plus this control API, through
// which a test scripts what the "library" answers and reads back every call.
//
// Loading: the library is built as fakeoc/libkestrel_fakeoc.so with the links
// libsybcs64.so and libsybct64.so beside it. A test run with
// LD_LIBRARY_PATH=<build>/fakeoc makes the binding load it under SAP's names;
// both names are the same loaded object, so there is one state. A test links
// the target kestrel_fakeoc to reach this API. (Linking also puts the folder on
// the executable's run path, but dlopen from inside another shared library
// does not look there: set the environment.)
//
// Defaults (after Reset, and at process start): every call succeeds like a
// healthy library; an unscripted command yields CS_CMD_SUCCEED, CS_CMD_DONE,
// CS_END_RESULTS; ct_options(CS_GET, CS_OPT_DATEFORMAT) answers 1 (mdy);
// cs_dt_crack cracks the value correctly; no message is queued; the log is on.
//
// Rules the fake applies (each documented where it is scripted):
// - A call whose return code is scripted (FailCall) returns that code and has no
//   other effect, except that an allocating call (cs_ctx_alloc, ct_con_alloc,
//   ct_cmd_alloc, cs_loc_alloc, cs_ctx_global) writes a null handle, a scripted
//   CS_END_DATA from ct_fetch ends the current result's rows and a scripted
//   CS_END_RESULTS from ct_results ends the walk. Messages scripted for that
//   call are still queued.
// - Handles are real objects kept until Reset, so a dropped or foreign handle
//   is recognised: such a call returns CS_FAIL and is recorded as a misuse
//   (Misuses()). Other sequencing errors a real CT-Library refuses are misuses
//   too (ct_send on a closed connection, ct_results before the rows of the
//   current result were fetched, ct_diag before CS_INIT, ct_con_drop of an open
//   connection, calls on a command whose connection was dropped other than
//   ct_cmd_drop, ...). A component test should end with Misuses() empty.
// - Messages go to the connection the call names (a command's connection for
//   command calls). A call that names none (cs_ctx_alloc, ct_init, ct_config,
//   cs_dt_crack, ...) queues on the most recently allocated live connection;
//   with no live connection the message waits and the next ct_con_alloc takes
//   it into the new connection's queue.
// - ct_fetch copies each value into its bound buffer: copied length = bytes
//   copied, indicator 0; NULL gives indicator -1, copied 0, buffer untouched. A
//   value longer than the bound buffer: what fits is copied, the indicator is
//   set to the value's real length and ct_fetch returns CS_ROW_FAIL (the row is
//   consumed; the next ct_fetch goes on). Fixed-length types (int, float,
//   datetime, money, numeric, ...) ignore the bound maxlength, as Open Client
//   does; numeric/decimal are copied as the whole 35-byte record. ct_describe
//   leaves CS_DATAFMT.format untouched and ct_bind refuses a format other than
//   CS_FMT_UNUSED, NULLTERM, PADBLANK, PADNULL, so a caller that does not zero
//   its format record fails here as it would with FreeTDS.
// - Lifetimes as a CT-Library has them: ct_con_alloc needs ct_init; ct_send
//   needs an open connection; ct_close(CS_UNUSED) fails (no misuse) while a
//   command has results pending, CS_FORCE_CLOSE discards them; closing a closed
//   connection succeeds; ct_exit closes the context's open connections
//   (CS_UNUSED fails while results are pending); cs_ctx_drop needs ct_exit
//   first. Dropping a connection leaves its commands allocated (they still
//   count in LiveHandles): any call on them but ct_cmd_drop is a misuse, since
//   it would reach a released connection. Likewise for the connections of a
//   dropped context (only ct_con_drop is allowed).
// - The result walk: ct_results hands out the batch's results in order, then
//   CS_END_RESULTS (the command is then idle). ct_results while a fetchable
//   result (row, param, status, compute, cursor) has not reached its end is a
//   misuse. ct_res_info(CS_NUMDATA), ct_describe and ct_bind act on the current
//   result; a new result clears the bindings. ct_get_data serves unbound
//   columns of the row just fetched in pieces: CS_SUCCEED while more remains,
//   then CS_END_ITEM, or CS_END_DATA for the row's last column. ct_cancel with
//   CS_CANCEL_ALL / CS_CANCEL_ATTN leaves the command idle; CS_CANCEL_CURRENT
//   skips the rest of the current result. ct_cmd_drop with results pending is
//   a misuse (cancel first).
// - Calls the fake does not model (ct_cursor, ct_dynamic, cs_calc, ...) check
//   the handles they are given, are logged and succeed, leaving their outputs
//   untouched. cs_convert and cs_will_convert follow the bind rules: same type,
//   character/binary/text/image among themselves, integers and floats among
//   themselves (no float to integer), numeric and decimal.
//
// Thread safety: one recursive mutex guards the whole state. Row generators run
// under it (they may read this API, but must not block on other threads).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace FakeOC {

// ---------------------------------------------------------------- defaults

// Back to defaults: releases every handle, empties scripts, queues and log,
// zeroes the occurrence counters and handle numbering.
void Reset();

// ------------------------------------------------------------ return codes

// The occurrence-th call (1-based, counted since Reset) of the named entry
// point returns code instead of doing its work; occurrence 0 = every call. An
// exact occurrence wins over 0; a later script for the same occurrence replaces
// the earlier one. Throws std::invalid_argument for a name that is not one of
// the 70 entry points. CS_FAIL is 0.
void FailCall(const std::string& call, int occurrence = 1, int32_t code = 0);

// ----------------------------------------------------------------- messages

struct ServerMessage {
    int32_t MsgNumber = 0;
    int32_t State = 0;
    int32_t Severity = 0;
    std::string Text;
    std::string Server;
    std::string Proc;
    int32_t Line = 0;
    int32_t Status = 0;
    std::string SqlState;
};

struct ClientMessage {
    int32_t Severity = 0;
    int32_t MsgNumber = 0;
    std::string Text;
    int32_t OsNumber = 0;
    std::string OsText;
    int32_t Status = 0;
    std::string SqlState;
};

// The common case of each: a number, a severity and a text.
inline ServerMessage ServerMsg(int32_t number, int32_t severity, std::string text) {
    ServerMessage m;
    m.MsgNumber = number;
    m.Severity = severity;
    m.Text = std::move(text);
    return m;
}

inline ClientMessage ClientMsg(int32_t number, int32_t severity, std::string text) {
    ClientMessage m;
    m.MsgNumber = number;
    m.Severity = severity;
    m.Text = std::move(text);
    return m;
}

// Queued before the occurrence-th call of the named entry point returns (0 =
// at every call), whatever that call returns. ct_diag serves them: CS_STATUS
// counts per type, CS_GET (index from 1) fills the record with the text cut to
// the record's field and NUL-terminated, CS_CLEAR empties. Texts longer than
// the record's field are cut, the length member saying what was copied.
void QueueServerMessage(const std::string& call, int occurrence, ServerMessage message);
void QueueClientMessage(const std::string& call, int occurrence, ClientMessage message);
// Queued at once, on the most recently allocated live connection (or held for
// the next one, as above).
void PostServerMessage(ServerMessage message);
void PostClientMessage(ClientMessage message);
// Messages now queued on the most recently allocated connection.
int QueuedServerMessages();
int QueuedClientMessages();

// ------------------------------------------------------------------- values

// One column value as Open Client lays it out in a bound buffer, or NULL.
class Value {
public:
    Value() = default; // NULL
    static Value Null();
    static Value Raw(const void* data, std::size_t length);
    static Value Raw(std::vector<uint8_t> bytes);

    static Value TinyInt(uint8_t v);
    static Value SmallInt(int16_t v);
    static Value Int(int32_t v);
    static Value BigInt(int64_t v);
    static Value Bit(bool v);
    static Value Real(float v);
    static Value Float(double v);
    static Value Char(std::string_view text); // char, varchar and text: the bytes, no terminator
    static Value Text(std::string_view text) { return Char(text); }
    static Value Binary(std::string_view bytes); // binary and image
    static Value Binary(const std::vector<uint8_t>& bytes);
    static Value Image(std::string_view bytes) { return Binary(bytes); }
    // CS_DATETIME: days since 1900-01-01, time in 1/300 s since midnight.
    static Value DateTime(int32_t days, int32_t ticks);
    // CS_DATETIME4: days since 1900-01-01, minutes since midnight.
    static Value DateTime4(uint16_t days, uint16_t minutes);
    // CS_MONEY: mnyhigh, mnylow; MoneyUnits splits a value in ten-thousandths.
    static Value Money(int32_t high, uint32_t low);
    static Value MoneyUnits(int64_t tenThousandths);
    static Value Money4(int32_t tenThousandths);
    // CS_NUMERIC / CS_DECIMAL (35 bytes): precision, scale, then the array
    // (sign byte, 0 = positive, then the big-endian magnitude), zero-padded.
    static Value Numeric(uint8_t precision, uint8_t scale, const std::vector<uint8_t>& array);
    // The same from an unscaled integer (-12345 with scale 2 is -123.45); the
    // magnitude takes as many bytes as the precision needs.
    static Value NumericOf(uint8_t precision, uint8_t scale, int64_t unscaled);

    bool IsNull() const { return Null_; }
    const std::vector<uint8_t>& Bytes() const { return Bytes_; }

private:
    bool Null_ = true;
    std::vector<uint8_t> Bytes_;
};

// Bytes of a numeric's magnitude for a precision (1 to 77); 0 when out of range.
int NumericMagnitudeBytes(int precision);

// ------------------------------------------------------------------ results

// A column as ct_describe reports it. NameLen unset: the name's length.
struct Column {
    std::string Name;
    int32_t DataType = 0;
    int32_t MaxLength = 0;
    int32_t Precision = 0;
    int32_t Scale = 0;
    int32_t Status = 0;
    int32_t UserType = 0;
    std::optional<int32_t> NameLen;

    // maxLength < 0: the type's fixed size (4 for int, 35 for numeric, ...).
    static Column Of(std::string name, int32_t dataType, int32_t maxLength = -1);
    static Column Numeric(std::string name, int32_t precision, int32_t scale, bool decimal = false);
};

// Writes one generated row (columns from 1). Every column starts the row NULL.
class RowWriter {
public:
    void SetNull(int column);
    void SetBytes(int column, const void* data, std::size_t length);
    void SetInt(int column, int32_t v) { SetBytes(column, &v, sizeof v); }
    void SetFloat(int column, double v) { SetBytes(column, &v, sizeof v); }
    void SetText(int column, std::string_view text) { SetBytes(column, text.data(), text.size()); }
    void Set(int column, const Value& v);
    int ColumnCount() const;

    explicit RowWriter(void* slots) : Slots_(slots) {}

private:
    void* Slots_;
};

// row is 0-based. Called once per ct_fetch; keeps no allocation per row in the fake.
using RowGenerator = std::function<void(int64_t row, RowWriter& out)>;

// One result of a command, as ct_results hands it out.
struct Result {
    int32_t Type = 0; // CS_ROW_RESULT, CS_CMD_DONE, ... any code is passed through
    std::vector<Column> Columns;
    std::vector<std::vector<Value>> Rows;
    // Rows from a generator instead (GeneratedRows > 0 or Generator set).
    int64_t GeneratedRows = 0;
    RowGenerator Generator;
    // 1-based row -> what ct_fetch returns for that row (the row is still
    // copied; CS_END_DATA also ends the rows).
    std::map<int64_t, int32_t> FetchCodes;
    // What ct_fetch returns after the last row (default CS_END_DATA).
    int32_t EndCode = -204;
    // ct_res_info(CS_ROW_COUNT) while this result is current.
    int32_t RowCount = -1;

    static Result RowResult(std::vector<Column> columns, std::vector<std::vector<Value>> rows);
    static Result GeneratedRowResult(std::vector<Column> columns, int64_t rows, RowGenerator generator);
    static Result ParamResult(std::vector<Column> columns, std::vector<Value> values);
    static Result StatusResult(int32_t status);
    static Result ComputeResult(std::vector<Column> columns, std::vector<std::vector<Value>> rows);
    static Result CmdSucceed(int32_t rowCount = -1);
    static Result CmdDone(int32_t rowCount = -1);
    static Result CmdFail();
    static Result OfType(int32_t type);
};

// What one executed command returns, in order; CS_END_RESULTS follows the last.
using Batch = std::vector<Result>;

// A select: its row result, then CS_CMD_DONE with the row count.
Batch Select(std::vector<Column> columns, std::vector<std::vector<Value>> rows);

// Each ct_send takes the oldest queued batch; with none queued it takes the
// default batch (initially CS_CMD_SUCCEED, CS_CMD_DONE). Throws
// std::invalid_argument when a row's value count differs from its column count.
void QueueResults(Batch batch);
void SetDefaultResults(Batch batch);
int QueuedBatches();

// -------------------------------------------------------------- cs_dt_crack

// The members of CS_DATEREC, Month from 0, WeekDay 0 = Sunday.
struct DateParts {
    int32_t Year = 0, Month = 0, DayOfMonth = 0, DayOfYear = 0, WeekDay = 0;
    int32_t Hour = 0, Minute = 0, Second = 0, Millisecond = 0, TimeZone = 0;
    bool operator==(const DateParts&) const = default;
};
// What the default cs_dt_crack fills (millisecond = (ticks%300*1000+150)/300).
DateParts CrackDateTime(int32_t days, int32_t ticks);
DateParts CrackDateTime4(uint16_t days, uint16_t minutes);
// The occurrence-th cs_dt_crack (0 = every) fills parts instead and succeeds.
void ScriptDateCrack(int occurrence, DateParts parts);

// ----------------------------------------------------- connection behaviour

// ct_options(CS_GET, CS_OPT_DATEFORMAT) writes this order (default 1).
void SetDateFormat(int32_t order);
// ... or succeeds without writing anything.
void LeaveDateFormatUntouched();

// Properties of the most recently allocated connection / context, as last set
// (ct_con_props, ct_config, cs_config with CS_SET). Text: set with a length or
// CS_NULLTERM; integer: set with CS_UNUSED.
std::optional<std::string> ConPropText(int32_t property);
std::optional<int32_t> ConPropInt(int32_t property);
std::optional<int32_t> ConfigInt(int32_t property);
// Server name of the last ct_connect (empty before one).
std::string ConnectedServer();
// Whether the most recently allocated connection is open.
bool ConnectionOpen();

// --------------------------------------------------------------- handles

struct HandleCounts {
    int Contexts = 0, Connections = 0, Commands = 0, Locales = 0;
    int Total() const { return Contexts + Connections + Commands + Locales; }
};
// Handles allocated and not yet dropped (leak check).
int LiveHandles();
HandleCounts LiveHandleCounts();
// One line per misuse, e.g. "ct_cancel: cmd#2 belongs to dropped con#1".
std::vector<std::string> Misuses();

// ---------------------------------------------------------------- call log

// One call. Args rendered as text: integers and constants in decimal; handles
// as ctx#n / con#n / cmd#n / loc#n (numbered from 1 since Reset), "foreign" for
// pointers the fake never handed out; other pointers "null" / "ptr"; strings as
// their text followed by the length argument as passed. Particulars:
//   ct_con_props, ct_config, cs_config: handle, action, property, value, buflen,
//       outlen; value = the text or 32-bit integer passed on CS_SET, else ptr/null
//   ct_command: cmd, type, text, length, option
//   ct_bind: cmd, item, datatype, maxlength, format, buffer, copied, indicator
//       (the three from the CS_DATAFMT; "null" x3 when it is null)
//   ct_diag: con, operation, type, index, buffer
// Result is the return code; Misuse says what was wrong, if anything.
struct Call {
    std::string Name;
    std::vector<std::string> Args;
    int32_t Result = 0;
    std::string Misuse;
    // "ct_connect(con#1, SRV, -9) = 1"
    std::string Text() const;
};

std::vector<Call> Calls();
std::vector<Call> Calls(const std::string& name);
std::vector<std::string> CallNames();
// Calls of that entry point since Reset, logged or not.
int Count(const std::string& name);
// The occurrence-th logged call of that name (1-based).
std::optional<Call> Find(const std::string& name, int occurrence = 1);
// Every logged call, one Text() per line (handy in assertion messages).
std::string LogText();
void ClearLog();
// Logging off records nothing (and allocates nothing per call); counters, scripts
// and misuses still work. SetLogging(bool) sets every entry point alike;
// SetLogging(name, false) silences one (ct_fetch in a benchmark).
void SetLogging(bool on);
void SetLogging(const std::string& name, bool on);

} // namespace FakeOC
