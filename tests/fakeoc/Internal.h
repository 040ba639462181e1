// The fake's state: handles, scripts, message queues, the call log, and the
// per-call helper every exported entry point goes through. Private to the library.
#pragma once

#include "tests/fakeoc/FakeOC.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <string>
#include <unordered_map>
#include <vector>

namespace FakeOC::Detail {

// Every exported entry point, in the order of the binding's lists.
enum class Fn : int {
    cs_calc, cs_cmp, cs_convert, cs_will_convert, cs_set_convert, cs_setnull, cs_config, cs_ctx_alloc,
    cs_ctx_drop, cs_ctx_global, cs_objects, cs_diag, cs_dt_crack, cs_dt_info, cs_locale, cs_loc_alloc,
    cs_loc_drop, cs_strbuild, cs_strcmp, cs_time, cs_manage_convert, cs_conv_mult,
    ct_debug, ct_bind, ct_br_column, ct_br_table, ct_callback, ct_cancel, ct_capability, ct_compute_info,
    ct_close, ct_cmd_alloc, ct_cmd_drop, ct_cmd_props, ct_command, ct_con_alloc, ct_con_drop, ct_con_props,
    ct_connect, ct_config, ct_cursor, ct_dyndesc, ct_describe, ct_diag, ct_dynamic, ct_exit, ct_fetch,
    ct_getformat, ct_keydata, ct_init, ct_options, ct_param, ct_getloginfo, ct_setloginfo, ct_recvpassthru,
    ct_sendpassthru, ct_poll, ct_remote_pwd, ct_results, ct_res_info, ct_send, ct_get_data, ct_send_data,
    ct_data_info, ct_wakeup, ct_labels, ct_ds_lookup, ct_ds_dropobj, ct_ds_objinfo, ct_setparam,
    Count_
};
constexpr int FnCount = static_cast<int>(Fn::Count_);
static_assert(FnCount == 70);

const char* FnName(Fn fn);
// Throws std::invalid_argument naming the unknown call.
Fn FnByName(const std::string& name);

// Open Client codes the engine needs; the exporting files check them against the binding.
namespace Code {
constexpr int32_t Succeed = 1, Fail = 0, RowFail = -203, EndData = -204, EndResults = -205, EndItem = -206,
                  NoMsg = -207;
constexpr int32_t NullTerm = -9, Unused = -99999;
constexpr int32_t Get = 33, Set = 34, Clear = 35, Init = 36, Status = 37, MsgLimit = 38;
constexpr int32_t RowResult = 4040, CursorResult = 4041, ParamResult = 4042, StatusResult = 4043,
                  ComputeResult = 4045, CmdDone = 4046, CmdSucceed = 4047, CmdFail = 4048;
constexpr int32_t Char = 0, Binary = 1, LongChar = 2, LongBinary = 3, Text = 4, Image = 5, TinyInt = 6,
                  SmallInt = 7, Int = 8, Real = 9, Float = 10, Bit = 11, DateTime = 12, DateTime4 = 13,
                  Money = 14, Money4 = 15, Numeric = 16, Decimal = 17, VarChar = 18, VarBinary = 19,
                  Long = 20, UShort = 24, Date = 27, Time = 28, BigInt = 30, USmallInt = 31, UInt = 32,
                  UBigInt = 33;
constexpr int32_t FmtUnused = 0, FmtNullTerm = 1, FmtPadNull = 2, FmtPadBlank = 4;
constexpr int32_t NumericSize = 35;
} // namespace Code

// ------------------------------------------------------------------ handles

enum class Kind { Context, Connection, Command, Locale };

struct HandleBase {
    HandleBase(Kind k, int id) : K(k), Id(id) {}
    virtual ~HandleBase() = default;
    Kind K;
    int Id;
    bool Alive = true;
    std::string Label() const; // "con#2"
};

// A stored property: text (set with a length or CS_NULLTERM) or a 32-bit integer.
struct Prop {
    bool IsText = false;
    std::string Text;
    int32_t Int = 0;
};

struct Context : HandleBase {
    explicit Context(int id) : HandleBase(Kind::Context, id) {}
    bool Initialised = false;
    std::unordered_map<int32_t, Prop> Config;   // ct_config
    std::unordered_map<int32_t, Prop> CsConfig; // cs_config
};

struct Connection : HandleBase {
    Connection(int id, Context* ctx) : HandleBase(Kind::Connection, id), Ctx(ctx) {}
    Context* Ctx;
    bool Open = false;
    bool DiagInit = false;
    std::string Server;
    std::vector<ServerMessage> ServerMsgs;
    std::vector<ClientMessage> ClientMsgs;
    std::unordered_map<int32_t, Prop> Props;
    std::unordered_map<int32_t, int32_t> Options;
};

struct Bind {
    bool Bound = false;
    int32_t DataType = 0, MaxLength = 0, Format = 0;
    void* Buffer = nullptr;
    int32_t* Copied = nullptr;
    int16_t* Indicator = nullptr;
};

// A generated row's column value; capacity is kept across rows.
struct Slot {
    bool Null = true;
    std::vector<uint8_t> Bytes;
};

struct Command : HandleBase {
    Command(int id, Connection* con) : HandleBase(Kind::Command, id), Con(con) {}
    Connection* Con;
    bool HasText = false;
    bool TextContinues = false; // last ct_command passed CS_MORE
    std::string Text;
    int32_t Type = 0;
    bool Sent = false; // results pending, from ct_send to CS_END_RESULTS or cancel
    Batch Results;
    std::size_t Next = 0;
    int Current = -1; // index into Results, -1 for none
    int64_t RowsFetched = 0;
    bool FetchDone = false;
    int CmdDoneSeen = 0;
    std::vector<Bind> Binds;
    std::vector<Slot> Slots;
    std::vector<std::size_t> GetDataPos;
    int GetDataItem = 0; // column of the last ct_get_data in this row, 0 for none

    Result* CurrentResult() { return Current >= 0 ? &Results[static_cast<std::size_t>(Current)] : nullptr; }
    void Discard(); // cancel: no result pending any more
};

struct Locale : HandleBase {
    Locale(int id, Context* ctx) : HandleBase(Kind::Locale, id), Ctx(ctx) {}
    Context* Ctx;
};

// ------------------------------------------------------------------- state

struct CodeScript {
    int Occurrence;
    int32_t Code;
};

struct MessageScript {
    int Occurrence;
    bool IsServer;
    ServerMessage Server;
    ClientMessage Client;
};

struct DateScript {
    int Occurrence;
    DateParts Parts;
};

struct State {
    std::recursive_mutex Mutex;

    std::array<int, FnCount> Counters{};
    std::array<std::vector<CodeScript>, FnCount> CodeScripts;
    std::array<std::vector<MessageScript>, FnCount> MessageScripts;
    std::vector<DateScript> DateScripts;

    bool LogOn = true;
    std::array<bool, FnCount> FnLogOn{};
    std::vector<Call> Log;
    std::vector<std::string> MisuseLog;

    std::vector<std::unique_ptr<HandleBase>> Handles; // kept until Reset, dropped ones too
    std::unordered_map<const void*, HandleBase*> ByPointer;
    int NextId[4] = {1, 1, 1, 1};
    Context* LatestCtx = nullptr;
    Connection* LatestCon = nullptr;
    Context* GlobalCtx = nullptr;

    std::vector<ServerMessage> PendingServer; // waiting for a connection
    std::vector<ClientMessage> PendingClient;

    std::deque<Batch> Batches;
    Batch DefaultBatch;

    int32_t DateFormat = 1;
    bool DateFormatUntouched = false;
    std::string LastServer;

    State();
    void ResetAll();

    template <class T, class... A> T* NewHandle(A&&... args) {
        auto h = std::make_unique<T>(NextId[static_cast<int>(KindOf<T>())]++, std::forward<A>(args)...);
        T* raw = h.get();
        ByPointer[static_cast<HandleBase*>(raw)] = raw;
        Handles.push_back(std::move(h));
        return raw;
    }
    template <class T> static constexpr Kind KindOf() {
        if constexpr (std::is_same_v<T, Context>) return Kind::Context;
        else if constexpr (std::is_same_v<T, Connection>) return Kind::Connection;
        else if constexpr (std::is_same_v<T, Command>) return Kind::Command;
        else return Kind::Locale;
    }

    Connection* LiveLatestConnection() const { return LatestCon && LatestCon->Alive ? LatestCon : nullptr; }
    void Deliver(Connection* target, const MessageScript& m);
};

State& S();

// ------------------------------------------------------ one exported call

// Counts the call, renders its arguments (only while logging is on), applies the
// scripted return code and messages, and records the call when it ends. Holds
// the state's lock for the call's whole duration.
class CallScope {
public:
    explicit CallScope(Fn fn);
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

    bool Logging() const { return Logging_; }
    void Int(int64_t v);
    void Ptr(const void* p);
    void Handle(const void* p); // ctx#1 / con#1 / cmd#1 / loc#1, foreign, null
    void Str(const char* text, int32_t length); // text then the length as passed
    void Arg(std::string text);

    // The scripted return code of this occurrence, if any.
    std::optional<int32_t> Scripted() const;
    void Misuse(const std::string& what);

    // Resolves a handle; on null, foreign, wrong kind, dropped, or belonging to a
    // dropped parent (unless allowOrphan) records a misuse and returns null.
    Context* Ctx(const void* p);
    Connection* Con(const void* p, bool allowOrphan = false);
    Command* Cmd(const void* p, bool allowOrphan = false);
    Locale* Loc(const void* p);

    // Queues this occurrence's scripted messages on target (or the latest live
    // connection, or pending), logs the call and returns code.
    int32_t Done(int32_t code, Connection* target = nullptr);

    int Occurrence() const { return Occurrence_; }

private:
    HandleBase* Find(const void* p, Kind kind, const char* what);

    std::unique_lock<std::recursive_mutex> Lock_;
    Fn Fn_;
    int Occurrence_;
    bool Logging_;
    Call Call_;
};

// ---------------------------------------------------------- conversions

// Size of a fixed-length type's value, 0 for a variable-length one.
int FixedSize(int32_t type);
bool CanConvert(int32_t from, int32_t to);

enum class CopyResult { Ok, Truncated, Failed };

struct ValueView {
    bool Null = true;
    const uint8_t* Data = nullptr;
    std::size_t Length = 0;
};

// Writes one value into a destination laid out as dstType (maxLength for
// variable-length types, format for character ones); sets copied and
// indicator when given.
CopyResult CopyOut(int32_t srcType, const ValueView& v, int32_t dstType, int32_t maxLength, int32_t format,
                   void* buffer, int32_t* copied, int16_t* indicator);

} // namespace FakeOC::Detail
