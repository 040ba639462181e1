// The single state object, handle resolution and the per-call bookkeeping.
#include "tests/fakeoc/Internal.h"

#include <cstring>
#include <stdexcept>

namespace FakeOC::Detail {

namespace {

constexpr const char* Names[FnCount] = {
    "cs_calc", "cs_cmp", "cs_convert", "cs_will_convert", "cs_set_convert", "cs_setnull", "cs_config",
    "cs_ctx_alloc", "cs_ctx_drop", "cs_ctx_global", "cs_objects", "cs_diag", "cs_dt_crack", "cs_dt_info",
    "cs_locale", "cs_loc_alloc", "cs_loc_drop", "cs_strbuild", "cs_strcmp", "cs_time", "cs_manage_convert",
    "cs_conv_mult",
    "ct_debug", "ct_bind", "ct_br_column", "ct_br_table", "ct_callback", "ct_cancel", "ct_capability",
    "ct_compute_info", "ct_close", "ct_cmd_alloc", "ct_cmd_drop", "ct_cmd_props", "ct_command", "ct_con_alloc",
    "ct_con_drop", "ct_con_props", "ct_connect", "ct_config", "ct_cursor", "ct_dyndesc", "ct_describe",
    "ct_diag", "ct_dynamic", "ct_exit", "ct_fetch", "ct_getformat", "ct_keydata", "ct_init", "ct_options",
    "ct_param", "ct_getloginfo", "ct_setloginfo", "ct_recvpassthru", "ct_sendpassthru", "ct_poll",
    "ct_remote_pwd", "ct_results", "ct_res_info", "ct_send", "ct_get_data", "ct_send_data", "ct_data_info",
    "ct_wakeup", "ct_labels", "ct_ds_lookup", "ct_ds_dropobj", "ct_ds_objinfo", "ct_setparam",
};

const char* KindWord(Kind k) {
    switch (k) {
    case Kind::Context: return "ctx";
    case Kind::Connection: return "con";
    case Kind::Command: return "cmd";
    case Kind::Locale: return "loc";
    }
    return "?";
}

Batch InitialDefaultBatch() { return {Result::CmdSucceed(), Result::CmdDone()}; }

} // namespace

const char* FnName(Fn fn) { return Names[static_cast<int>(fn)]; }

Fn FnByName(const std::string& name) {
    for (int i = 0; i < FnCount; ++i)
        if (name == Names[i]) return static_cast<Fn>(i);
    throw std::invalid_argument("FakeOC: no Open Client entry point named \"" + name + "\"");
}

std::string HandleBase::Label() const { return std::string(KindWord(K)) + "#" + std::to_string(Id); }

void Command::Discard() {
    Sent = false;
    Current = -1;
    Next = Results.size();
    FetchDone = true;
    Binds.clear();
}

State::State() {
    FnLogOn.fill(true);
    DefaultBatch = InitialDefaultBatch();
}

void State::ResetAll() {
    Counters.fill(0);
    for (auto& v : CodeScripts) v.clear();
    for (auto& v : MessageScripts) v.clear();
    DateScripts.clear();
    LogOn = true;
    FnLogOn.fill(true);
    Log.clear();
    MisuseLog.clear();
    ByPointer.clear();
    Handles.clear();
    for (int& id : NextId) id = 1;
    LatestCtx = nullptr;
    LatestCon = nullptr;
    GlobalCtx = nullptr;
    PendingServer.clear();
    PendingClient.clear();
    Batches.clear();
    DefaultBatch = InitialDefaultBatch();
    DateFormat = 1;
    DateFormatUntouched = false;
    LastServer.clear();
}

void State::Deliver(Connection* target, const MessageScript& m) {
    if (!target || !target->Alive) target = LiveLatestConnection();
    if (target) {
        if (m.IsServer) target->ServerMsgs.push_back(m.Server);
        else target->ClientMsgs.push_back(m.Client);
    } else {
        if (m.IsServer) PendingServer.push_back(m.Server);
        else PendingClient.push_back(m.Client);
    }
}

State& S() {
    // Never destroyed: exit-time clean-up in the components may still call in
    // after static destructors have run. It stays reachable, so no leak report.
    static State* state = new State;
    return *state;
}

// ------------------------------------------------------------------ CallScope

CallScope::CallScope(Fn fn)
    : Lock_(S().Mutex), Fn_(fn), Occurrence_(++S().Counters[static_cast<int>(fn)]),
      Logging_(S().LogOn && S().FnLogOn[static_cast<int>(fn)]) {
    if (Logging_) Call_.Name = FnName(fn);
}

void CallScope::Int(int64_t v) {
    if (Logging_) Call_.Args.push_back(std::to_string(v));
}

void CallScope::Ptr(const void* p) {
    if (Logging_) Call_.Args.emplace_back(p ? "ptr" : "null");
}

void CallScope::Handle(const void* p) {
    if (!Logging_) return;
    if (!p) {
        Call_.Args.emplace_back("null");
        return;
    }
    auto it = S().ByPointer.find(p);
    Call_.Args.push_back(it == S().ByPointer.end() ? std::string("foreign") : it->second->Label());
}

void CallScope::Str(const char* text, int32_t length) {
    if (!Logging_) return;
    if (!text) Call_.Args.emplace_back("null");
    else if (length >= 0) Call_.Args.emplace_back(text, static_cast<std::size_t>(length));
    else Call_.Args.emplace_back(text); // CS_NULLTERM, CS_UNUSED: up to the terminator
    Call_.Args.push_back(std::to_string(length));
}

void CallScope::Arg(std::string text) {
    if (Logging_) Call_.Args.push_back(std::move(text));
}

std::optional<int32_t> CallScope::Scripted() const {
    const auto& scripts = S().CodeScripts[static_cast<int>(Fn_)];
    if (scripts.empty()) return std::nullopt;
    std::optional<int32_t> every;
    for (auto it = scripts.rbegin(); it != scripts.rend(); ++it) {
        if (it->Occurrence == Occurrence_) return it->Code;
        if (it->Occurrence == 0 && !every) every = it->Code;
    }
    return every;
}

void CallScope::Misuse(const std::string& what) {
    std::string line = std::string(FnName(Fn_)) + ": " + what;
    S().MisuseLog.push_back(line);
    if (Logging_) {
        if (!Call_.Misuse.empty()) Call_.Misuse += "; ";
        Call_.Misuse += what;
    }
}

HandleBase* CallScope::Find(const void* p, Kind kind, const char* what) {
    if (!p) {
        Misuse(std::string("null ") + what);
        return nullptr;
    }
    auto it = S().ByPointer.find(p);
    if (it == S().ByPointer.end()) {
        Misuse(std::string("foreign ") + what + " handle");
        return nullptr;
    }
    HandleBase* h = it->second;
    if (h->K != kind) {
        Misuse(h->Label() + " passed as a " + what);
        return nullptr;
    }
    if (!h->Alive) {
        Misuse("dropped " + h->Label());
        return nullptr;
    }
    return h;
}

Context* CallScope::Ctx(const void* p) { return static_cast<Context*>(Find(p, Kind::Context, "context")); }

Connection* CallScope::Con(const void* p, bool allowOrphan) {
    auto* con = static_cast<Connection*>(Find(p, Kind::Connection, "connection"));
    if (con && !allowOrphan && !con->Ctx->Alive) {
        Misuse(con->Label() + " belongs to dropped " + con->Ctx->Label());
        return nullptr;
    }
    return con;
}

Command* CallScope::Cmd(const void* p, bool allowOrphan) {
    auto* cmd = static_cast<Command*>(Find(p, Kind::Command, "command"));
    if (cmd && !allowOrphan && !cmd->Con->Alive) {
        Misuse(cmd->Label() + " belongs to dropped " + cmd->Con->Label());
        return nullptr;
    }
    return cmd;
}

Locale* CallScope::Loc(const void* p) { return static_cast<Locale*>(Find(p, Kind::Locale, "locale")); }

int32_t CallScope::Done(int32_t code, Connection* target) {
    const auto& scripts = S().MessageScripts[static_cast<int>(Fn_)];
    for (const auto& m : scripts)
        if (m.Occurrence == 0 || m.Occurrence == Occurrence_) S().Deliver(target, m);
    if (Logging_) {
        Call_.Result = code;
        S().Log.push_back(std::move(Call_));
    }
    return code;
}

} // namespace FakeOC::Detail
