// Contexts, connections, login properties and inline diagnostics.
#include "tests/fakeoc/Exports.h"
#include "tests/fakeoc/Internal.h"
#include "tests/fakeoc/Props.h"

#include <algorithm>
#include <cstring>

using namespace FakeOC::Detail;
namespace B = Cstypes;

namespace {

// Closes a connection: its commands lose whatever was pending.
void CloseConnection(Connection* con) {
    con->Open = false;
    for (auto& h : S().Handles)
        if (h->K == Kind::Command && h->Alive && static_cast<Command*>(h.get())->Con == con)
            static_cast<Command*>(h.get())->Discard();
}

bool HasPendingCommand(const Connection* con) {
    for (auto& h : S().Handles)
        if (h->K == Kind::Command && h->Alive) {
            auto* cmd = static_cast<Command*>(h.get());
            if (cmd->Con == con && cmd->Sent) return true;
        }
    return false;
}

// Copies text into a fixed record field, cut to leave room for the NUL; returns the length copied.
B::CS_INT CopyField(char* field, std::size_t size, const std::string& text) {
    std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
    return static_cast<B::CS_INT>(n);
}

B::CS_INT CopyBytes(B::CS_BYTE* field, std::size_t size, const std::string& text) {
    return CopyField(reinterpret_cast<char*>(field), size, text);
}

void Fill(Cspublic::CS_SERVERMSG& r, const FakeOC::ServerMessage& m) {
    std::memset(&r, 0, sizeof r);
    r.msgnumber = m.MsgNumber;
    r.state = m.State;
    r.severity = m.Severity;
    r.textlen = CopyField(r.text, sizeof r.text, m.Text);
    r.svrnlen = CopyField(r.svrname, sizeof r.svrname, m.Server);
    r.proclen = CopyField(r.proc, sizeof r.proc, m.Proc);
    r.line = m.Line;
    r.status = m.Status;
    r.sqlstatelen = CopyBytes(r.sqlstate, sizeof r.sqlstate, m.SqlState);
}

void Fill(Cspublic::CS_CLIENTMSG& r, const FakeOC::ClientMessage& m) {
    std::memset(&r, 0, sizeof r);
    r.severity = m.Severity;
    r.msgnumber = m.MsgNumber;
    r.msgstringlen = CopyField(r.msgstring, sizeof r.msgstring, m.Text);
    r.osnumber = m.OsNumber;
    r.osstringlen = CopyField(r.osstring, sizeof r.osstring, m.OsText);
    r.status = m.Status;
    r.sqlstatelen = CopyBytes(r.sqlstate, sizeof r.sqlstate, m.SqlState);
}

CS_RETCODE AllocContext(Fn fn, CS_INT version, CS_CONTEXT** outptr, bool global) {
    CallScope c(fn);
    c.Int(version);
    c.Ptr(outptr);
    if (!outptr) {
        c.Misuse("null output pointer");
        return c.Done(B::CS_FAIL);
    }
    if (auto code = c.Scripted()) {
        *outptr = nullptr;
        return c.Done(*code);
    }
    Context* ctx = global && S().GlobalCtx && S().GlobalCtx->Alive ? S().GlobalCtx : S().NewHandle<Context>();
    if (global) S().GlobalCtx = ctx;
    S().LatestCtx = ctx;
    *outptr = reinterpret_cast<CS_CONTEXT*>(static_cast<HandleBase*>(ctx));
    return c.Done(B::CS_SUCCEED);
}

template <class H> H* Out(HandleBase* h) { return reinterpret_cast<H*>(h); }

} // namespace

extern "C" {

CS_RETCODE cs_ctx_alloc(CS_INT version, CS_CONTEXT** outptr) {
    return AllocContext(Fn::cs_ctx_alloc, version, outptr, false);
}

CS_RETCODE cs_ctx_global(CS_INT version, CS_CONTEXT** outptr) {
    return AllocContext(Fn::cs_ctx_global, version, outptr, true);
}

CS_RETCODE cs_ctx_drop(CS_CONTEXT* context) {
    CallScope c(Fn::cs_ctx_drop);
    c.Handle(context);
    Context* ctx = c.Ctx(context);
    if (!ctx) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    if (ctx->Initialised) {
        c.Misuse(ctx->Label() + " dropped before ct_exit");
        return c.Done(B::CS_FAIL);
    }
    ctx->Alive = false;
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE cs_config(CS_CONTEXT* context, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                     CS_INT* outlen) {
    CallScope c(Fn::cs_config);
    LogPropArgs(c, context, action, property, buffer, buflen, outlen);
    Context* ctx = c.Ctx(context);
    if (!ctx) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    return c.Done(PropAction(c, ctx->CsConfig, action, property, buffer, buflen, outlen));
}

CS_RETCODE ct_init(CS_CONTEXT* context, CS_INT version) {
    CallScope c(Fn::ct_init);
    c.Handle(context);
    c.Int(version);
    Context* ctx = c.Ctx(context);
    if (!ctx) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    ctx->Initialised = true;
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE ct_exit(CS_CONTEXT* context, CS_INT option) {
    CallScope c(Fn::ct_exit);
    c.Handle(context);
    c.Int(option);
    Context* ctx = c.Ctx(context);
    if (!ctx) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    std::vector<Connection*> open;
    for (auto& h : S().Handles)
        if (h->K == Kind::Connection && h->Alive) {
            auto* con = static_cast<Connection*>(h.get());
            if (con->Ctx == ctx && con->Open) open.push_back(con);
        }
    if (option != B::CS_FORCE_EXIT)
        for (Connection* con : open)
            if (HasPendingCommand(con)) return c.Done(B::CS_FAIL); // results pending: only a forced exit goes on
    for (Connection* con : open) CloseConnection(con);
    ctx->Initialised = false;
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE ct_config(CS_CONTEXT* context, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                     CS_INT* outlen) {
    CallScope c(Fn::ct_config);
    LogPropArgs(c, context, action, property, buffer, buflen, outlen);
    Context* ctx = c.Ctx(context);
    if (!ctx) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    return c.Done(PropAction(c, ctx->Config, action, property, buffer, buflen, outlen));
}

CS_RETCODE ct_con_alloc(CS_CONTEXT* context, CS_CONNECTION** connection) {
    CallScope c(Fn::ct_con_alloc);
    c.Handle(context);
    c.Ptr(connection);
    Context* ctx = c.Ctx(context);
    if (!ctx || !connection) {
        if (!connection) c.Misuse("null output pointer");
        return c.Done(B::CS_FAIL);
    }
    if (auto code = c.Scripted()) {
        *connection = nullptr;
        return c.Done(*code);
    }
    if (!ctx->Initialised) {
        *connection = nullptr;
        c.Misuse(ctx->Label() + " has had no ct_init");
        return c.Done(B::CS_FAIL);
    }
    auto* con = S().NewHandle<Connection>(ctx);
    con->ServerMsgs = std::move(S().PendingServer);
    con->ClientMsgs = std::move(S().PendingClient);
    S().PendingServer.clear();
    S().PendingClient.clear();
    S().LatestCon = con;
    *connection = Out<CS_CONNECTION>(con);
    return c.Done(B::CS_SUCCEED, con);
}

CS_RETCODE ct_con_drop(CS_CONNECTION* connection) {
    CallScope c(Fn::ct_con_drop);
    c.Handle(connection);
    Connection* con = c.Con(connection, true);
    if (!con) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (con->Open) {
        c.Misuse(con->Label() + " dropped while open (ct_close first)");
        return c.Done(B::CS_FAIL, con);
    }
    con->Alive = false;
    con->ServerMsgs.clear();
    con->ClientMsgs.clear();
    return c.Done(B::CS_SUCCEED, nullptr);
}

CS_RETCODE ct_con_props(CS_CONNECTION* connection, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                        CS_INT* outlen) {
    CallScope c(Fn::ct_con_props);
    LogPropArgs(c, connection, action, property, buffer, buflen, outlen);
    Connection* con = c.Con(connection);
    if (!con) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (action == B::CS_GET && buffer && property == B::CS_CON_STATUS) {
        B::CS_INT status = con->Open ? B::CS_CONSTAT_CONNECTED : 0;
        std::memcpy(buffer, &status, sizeof status);
        if (outlen) *outlen = sizeof status;
        return c.Done(B::CS_SUCCEED, con);
    }
    return c.Done(PropAction(c, con->Props, action, property, buffer, buflen, outlen), con);
}

CS_RETCODE ct_connect(CS_CONNECTION* connection, CS_CHAR* server_name, CS_INT snamelen) {
    CallScope c(Fn::ct_connect);
    c.Handle(connection);
    c.Str(server_name, snamelen);
    Connection* con = c.Con(connection);
    if (!con) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (con->Open) {
        c.Misuse(con->Label() + " is already open");
        return c.Done(B::CS_FAIL, con);
    }
    if (!con->Ctx->Initialised) {
        c.Misuse(con->Ctx->Label() + " has had no ct_init");
        return c.Done(B::CS_FAIL, con);
    }
    if (!server_name) con->Server.clear();
    else if (snamelen >= 0) con->Server.assign(server_name, static_cast<std::size_t>(snamelen));
    else con->Server = server_name;
    S().LastServer = con->Server;
    con->Open = true;
    return c.Done(B::CS_SUCCEED, con);
}

CS_RETCODE ct_close(CS_CONNECTION* connection, CS_INT option) {
    CallScope c(Fn::ct_close);
    c.Handle(connection);
    c.Int(option);
    Connection* con = c.Con(connection);
    if (!con) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (option != B::CS_FORCE_CLOSE && HasPendingCommand(con)) return c.Done(B::CS_FAIL, con);
    CloseConnection(con);
    return c.Done(B::CS_SUCCEED, con);
}

CS_RETCODE ct_options(CS_CONNECTION* connection, CS_INT action, CS_INT option, CS_VOID* param, CS_INT paramlen,
                      CS_INT* outlen) {
    CallScope c(Fn::ct_options);
    c.Handle(connection);
    c.Int(action);
    c.Int(option);
    c.Ptr(param);
    c.Int(paramlen);
    c.Ptr(outlen);
    Connection* con = c.Con(connection);
    if (!con) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (!con->Open) {
        c.Misuse(con->Label() + " is not open");
        return c.Done(B::CS_FAIL, con);
    }
    if (!param && action != B::CS_CLEAR) {
        c.Misuse("null parameter buffer");
        return c.Done(B::CS_FAIL, con);
    }
    if (action == B::CS_SET) {
        std::memcpy(&con->Options[option], param, sizeof(B::CS_INT));
    } else if (action == B::CS_GET) {
        if (option == B::CS_OPT_DATEFORMAT && S().DateFormatUntouched) return c.Done(B::CS_SUCCEED, con);
        auto it = con->Options.find(option);
        B::CS_INT v = option == B::CS_OPT_DATEFORMAT ? S().DateFormat : it != con->Options.end() ? it->second : 0;
        std::memcpy(param, &v, sizeof v);
        if (outlen) *outlen = sizeof v;
    } else if (action == B::CS_CLEAR) {
        con->Options.erase(option);
    } else {
        return c.Done(B::CS_FAIL, con);
    }
    return c.Done(B::CS_SUCCEED, con);
}

CS_RETCODE ct_diag(CS_CONNECTION* connection, CS_INT operation, CS_INT type, CS_INT idx, CS_VOID* buffer) {
    CallScope c(Fn::ct_diag);
    c.Handle(connection);
    c.Int(operation);
    c.Int(type);
    c.Int(idx);
    c.Ptr(buffer);
    Connection* con = c.Con(connection);
    if (!con) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (operation == B::CS_INIT) {
        con->DiagInit = true;
        return c.Done(B::CS_SUCCEED, con);
    }
    if (!con->DiagInit) {
        c.Misuse("ct_diag before CS_INIT on " + con->Label());
        return c.Done(B::CS_FAIL, con);
    }
    bool server = type == B::CS_SERVERMSG_TYPE, client = type == B::CS_CLIENTMSG_TYPE,
         all = type == B::CS_ALLMSG_TYPE;
    switch (operation) {
    case B::CS_MSGLIMIT:
        return c.Done(B::CS_SUCCEED, con);
    case B::CS_CLEAR:
        if (!server && !client && !all) return c.Done(B::CS_FAIL, con);
        if (server || all) con->ServerMsgs.clear();
        if (client || all) con->ClientMsgs.clear();
        return c.Done(B::CS_SUCCEED, con);
    case B::CS_STATUS: {
        if (!buffer) {
            c.Misuse("CS_STATUS with a null buffer");
            return c.Done(B::CS_FAIL, con);
        }
        if (!server && !client && !all) return c.Done(B::CS_FAIL, con);
        std::size_t n = (server || all ? con->ServerMsgs.size() : 0) + (client || all ? con->ClientMsgs.size() : 0);
        B::CS_INT count = static_cast<B::CS_INT>(n);
        std::memcpy(buffer, &count, sizeof count);
        return c.Done(B::CS_SUCCEED, con);
    }
    case B::CS_GET: {
        if (!buffer) {
            c.Misuse("CS_GET with a null buffer");
            return c.Done(B::CS_FAIL, con);
        }
        if (!server && !client) return c.Done(B::CS_FAIL, con); // CS_ALLMSG_TYPE would need SQLCA records
        std::size_t n = server ? con->ServerMsgs.size() : con->ClientMsgs.size();
        if (idx < 1) return c.Done(B::CS_FAIL, con);
        if (static_cast<std::size_t>(idx) > n) return c.Done(B::CS_NOMSG, con);
        if (server) Fill(*static_cast<Cspublic::CS_SERVERMSG*>(buffer), con->ServerMsgs[idx - 1]);
        else Fill(*static_cast<Cspublic::CS_CLIENTMSG*>(buffer), con->ClientMsgs[idx - 1]);
        return c.Done(B::CS_SUCCEED, con);
    }
    default:
        return c.Done(B::CS_FAIL, con);
    }
}

} // extern "C"
