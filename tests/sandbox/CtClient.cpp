#include "CtClient.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace sandbox::testing {

bool CtOutcome::Failed() const {
    for (CS_INT t : sequence)
        if (t == CS_CMD_FAIL) return true;
    return sendRc != CS_SUCCEED;
}

const CtResult* CtOutcome::First(CS_INT type) const {
    for (const CtResult& r : results)
        if (r.type == type) return &r;
    return nullptr;
}

bool CtOutcome::HasMessage(CS_INT number) const {
    for (const CtMessage& m : messages)
        if (m.number == number) return true;
    return false;
}

CtClient::CtClient() {
    // Our own configuration (the tests' environment names one): TDS 5.0, nothing
    // from the system's freetds.conf.
    if (!std::getenv("FREETDSCONF")) {
        static const std::string conf = "/tmp/kestrel-sandbox-freetds-" + std::to_string(::getuid()) + ".conf";
        // Written aside and renamed: test processes running side by side never read half a file.
        const std::string temp = conf + "." + std::to_string(::getpid());
        if (FILE* f = std::fopen(temp.c_str(), "w")) {
            std::fputs("[global]\n\ttds version = 5.0\n", f);
            std::fclose(f);
            if (std::rename(temp.c_str(), conf.c_str()) != 0) std::remove(temp.c_str());
        }
        ::setenv("FREETDSCONF", conf.c_str(), 1);
    }
    ::setenv("TDSVER", "5.0", 1);
    cs_ctx_alloc(CS_VERSION_100, &FCtx);
    ct_init(FCtx, CS_VERSION_100);
    ct_con_alloc(FCtx, &FCon);
    ct_diag(FCon, CS_INIT, CS_UNUSED, CS_UNUSED, nullptr);
}

CtClient::~CtClient() {
    for (CS_COMMAND* c : FCommands) ct_cmd_drop(c);
    ct_close(FCon, CS_FORCE_CLOSE);
    ct_con_drop(FCon);
    ct_exit(FCtx, CS_FORCE_EXIT);
    cs_ctx_drop(FCtx);
}

bool CtClient::Connect(const std::string& address, const std::string& password, const std::string& user) {
    ct_con_props(FCon, CS_SET, CS_USERNAME, const_cast<char*>(user.c_str()), CS_NULLTERM, nullptr);
    ct_con_props(FCon, CS_SET, CS_PASSWORD, const_cast<char*>(password.c_str()), CS_NULLTERM, nullptr);
    return ct_connect(FCon, const_cast<char*>(address.c_str()), CS_NULLTERM) == CS_SUCCEED;
}

CS_COMMAND* CtClient::NewCommand() {
    CS_COMMAND* cmd = nullptr;
    ct_cmd_alloc(FCon, &cmd);
    FCommands.push_back(cmd);
    return cmd;
}

std::vector<CtMessage> CtClient::TakeMessages() {
    std::vector<CtMessage> out;
    CS_INT count = 0;
    if (ct_diag(FCon, CS_STATUS, CS_SERVERMSG_TYPE, CS_UNUSED, &count) != CS_SUCCEED) return out;
    for (CS_INT i = 1; i <= count; ++i) {
        CS_SERVERMSG m;
        std::memset(&m, 0, sizeof m);
        if (ct_diag(FCon, CS_GET, CS_SERVERMSG_TYPE, i, &m) != CS_SUCCEED) break;
        out.push_back(CtMessage{m.msgnumber, m.severity, m.state, std::string(m.text, static_cast<size_t>(m.textlen)),
                                std::string(m.proc, static_cast<size_t>(m.proclen)), m.line});
    }
    ct_diag(FCon, CS_CLEAR, CS_SERVERMSG_TYPE, CS_UNUSED, nullptr);
    ct_diag(FCon, CS_CLEAR, CS_CLIENTMSG_TYPE, CS_UNUSED, nullptr);
    return out;
}

CtOutcome CtClient::Drain(CS_COMMAND* cmd) {
    CtOutcome out;
    CS_INT type = 0;
    CS_RETCODE rc;
    while ((rc = ct_results(cmd, &type)) == CS_SUCCEED) {
        out.sequence.push_back(type);
        if (type != CS_ROW_RESULT && type != CS_PARAM_RESULT && type != CS_STATUS_RESULT) continue;
        CtResult r;
        r.type = type;
        CS_INT n = 0;
        ct_res_info(cmd, CS_NUMDATA, &n, CS_UNUSED, nullptr);
        std::vector<std::vector<char>> buffers(static_cast<size_t>(n), std::vector<char>(70000));
        std::vector<CS_INT> lengths(static_cast<size_t>(n));
        std::vector<CS_SMALLINT> indicators(static_cast<size_t>(n));
        for (CS_INT i = 1; i <= n; ++i) {
            CS_DATAFMT f;
            std::memset(&f, 0, sizeof f);
            ct_describe(cmd, i, &f);
            r.columns.push_back(CtColumn{std::string(f.name, static_cast<size_t>(f.namelen > 0 ? f.namelen : 0)),
                                         f.datatype, f.maxlength, f.precision, f.scale, f.status});
            CS_DATAFMT b;
            std::memset(&b, 0, sizeof b);
            b.datatype = CS_CHAR_TYPE;
            b.format = CS_FMT_UNUSED;
            b.maxlength = 70000;
            b.count = 1;
            ct_bind(cmd, i, &b, buffers[static_cast<size_t>(i - 1)].data(), &lengths[static_cast<size_t>(i - 1)],
                    &indicators[static_cast<size_t>(i - 1)]);
        }
        CS_INT read = 0;
        while (ct_fetch(cmd, CS_UNUSED, CS_UNUSED, CS_UNUSED, &read) == CS_SUCCEED) {
            std::vector<std::optional<std::string>> row;
            for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
                if (indicators[i] == -1) row.emplace_back(std::nullopt);
                else row.emplace_back(std::string(buffers[i].data(), static_cast<size_t>(lengths[i])));
            }
            r.rows.push_back(std::move(row));
        }
        out.results.push_back(std::move(r));
    }
    out.sequence.push_back(rc == CS_END_RESULTS ? CS_END_RESULTS : rc);
    out.messages = TakeMessages();
    return out;
}

CtOutcome CtClient::Run(const std::string& sql) {
    CS_COMMAND* cmd = NewCommand();
    ct_command(cmd, CS_LANG_CMD, const_cast<char*>(sql.c_str()), CS_NULLTERM, CS_UNUSED);
    const CS_RETCODE rc = ct_send(cmd);
    if (rc != CS_SUCCEED) {
        CtOutcome out;
        out.sendRc = rc;
        out.messages = TakeMessages();
        return out;
    }
    return Drain(cmd);
}

CtOutcome CtClient::Rpc(const std::string& proc, const std::vector<CtParam>& params) {
    CS_COMMAND* cmd = NewCommand();
    ct_command(cmd, CS_RPC_CMD, const_cast<char*>(proc.c_str()), CS_NULLTERM, CS_NO_RECOMPILE);
    std::vector<CS_INT> ints;
    ints.reserve(params.size());
    for (const CtParam& p : params) {
        CS_DATAFMT f;
        std::memset(&f, 0, sizeof f);
        std::snprintf(f.name, sizeof f.name, "%s", p.name.c_str());
        f.namelen = static_cast<CS_INT>(p.name.size());
        f.datatype = p.type;
        f.status = p.output ? CS_RETURN : CS_INPUTVALUE;
        ints.push_back(p.intValue);
        if (p.type == CS_CHAR_TYPE) {
            f.maxlength = 255;
            ct_param(cmd, &f, const_cast<char*>(p.text.c_str()), static_cast<CS_INT>(p.text.size()), 0);
        } else {
            f.maxlength = 4;
            ct_param(cmd, &f, &ints.back(), 4, 0);
        }
    }
    const CS_RETCODE rc = ct_send(cmd);
    if (rc != CS_SUCCEED) {
        CtOutcome out;
        out.sendRc = rc;
        return out;
    }
    return Drain(cmd);
}

}  // namespace sandbox::testing
