// A small FreeTDS CT-Library client for the sandbox's integration tests: runs
// a command, records every ct_results type, the columns as ct_describe
// reports them, the values bound as text, and the messages of ct_diag.
#pragma once

#include <ctpublic.h>
#include <optional>
#include <string>
#include <vector>

namespace sandbox::testing {

struct CtColumn {
    std::string name;
    CS_INT datatype = 0;
    CS_INT maxlength = 0;
    CS_INT precision = 0;
    CS_INT scale = 0;
    CS_INT status = 0;
};

struct CtResult {
    CS_INT type = 0;  // CS_ROW_RESULT, CS_PARAM_RESULT, CS_STATUS_RESULT
    std::vector<CtColumn> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;  // nullopt for NULL
};

struct CtMessage {
    CS_INT number = 0;
    CS_INT severity = 0;
    CS_INT state = 0;
    std::string text;
    std::string proc;
    CS_INT line = 0;
};

struct CtOutcome {
    std::vector<CS_INT> sequence;  // every result type in order, CS_END_RESULTS last
    std::vector<CtResult> results;
    std::vector<CtMessage> messages;
    CS_RETCODE sendRc = CS_SUCCEED;

    bool Failed() const;
    const CtResult* First(CS_INT type) const;
    bool HasMessage(CS_INT number) const;
};

struct CtParam {
    std::string name;
    CS_INT type = CS_INT_TYPE;  // CS_INT_TYPE or CS_CHAR_TYPE
    CS_INT intValue = 0;
    std::string text;
    bool output = false;
};

class CtClient {
public:
    CtClient();  // TDS 5.0; writes a freetds.conf for it when FREETDSCONF is not set
    ~CtClient();
    CtClient(const CtClient&) = delete;
    CtClient& operator=(const CtClient&) = delete;

    bool Connect(const std::string& address, const std::string& password = "", const std::string& user = "sa");
    CtOutcome Run(const std::string& sql);
    CtOutcome Rpc(const std::string& proc, const std::vector<CtParam>& params);
    std::vector<CtMessage> TakeMessages();
    CS_CONNECTION* Connection() const { return FCon; }
    CS_COMMAND* NewCommand();

    // Reads every result of `cmd` after a ct_send.
    CtOutcome Drain(CS_COMMAND* cmd);

private:
    CS_CONTEXT* FCtx = nullptr;
    CS_CONNECTION* FCon = nullptr;
    std::vector<CS_COMMAND*> FCommands;
};

}  // namespace sandbox::testing
