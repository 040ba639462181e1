#include "binding/Ctpublic.h"
#include "components/SybConnect.h"

namespace SybConnect {

using namespace Cstypes;

namespace {

[[noreturn]] void HandlingFailed() { throw vcl::Exception("Message handling failed"); }

// Texts are joined by ";" and a line feed, each trimmed, in the order met.
void AddText(std::string& collected, const std::string& text) {
    const std::string t = vcl::Trim(text);
    const std::string c = vcl::Trim(collected);
    collected = c.empty() ? t : c + ";\n" + t;
}

} // namespace

void TSybConnect::CSCHECK(CS_RETCODE rc) {
    if (rc != CS_SUCCEED) CheckMessages();
}

void TSybConnect::CheckMessages() {
    // A released connection has no queue left to read.
    if (!FConnection) return;

    TSybMessageProc onMessage = FOnServerMessage;
    TSybMessageProc onError = FOnServerError;
    if (FActiveQuery) {
        if (TSybMessageProc q = ActiveQueryOnServerMessage()) onMessage = std::move(q);
        if (TSybMessageProc q = ActiveQueryOnServerError()) onError = std::move(q);
    }

    std::string collected;
    CS_INT count = 0;
    if (Ctpublic::ct_diag(FConnection, CS_STATUS, CS_SERVERMSG_TYPE, CS_UNUSED, &count) != CS_SUCCEED)
        HandlingFailed();
    for (CS_INT i = 1; i <= count; ++i) {
        Cspublic::CS_SERVERMSG record{};
        if (Ctpublic::ct_diag(FConnection, CS_GET, CS_SERVERMSG_TYPE, i, &record) != CS_SUCCEED)
            HandlingFailed();
        // On the stack: gone on every path, also when a handler raises (the
        // queue then stays as it is for the next check).
        const TSybServerMessage msg(&record);
        bool handled = false;
        if (msg.GetSeverity() >= 11) {
            if (onError) onError(msg, handled);
            if (!handled) AddText(collected, msg.GetMsgText());
        } else if (onMessage) {
            onMessage(msg, handled);
        }
    }

    if (Ctpublic::ct_diag(FConnection, CS_STATUS, CS_CLIENTMSG_TYPE, CS_UNUSED, &count) != CS_SUCCEED)
        HandlingFailed();
    for (CS_INT i = 1; i <= count; ++i) {
        Cspublic::CS_CLIENTMSG record{};
        if (Ctpublic::ct_diag(FConnection, CS_GET, CS_CLIENTMSG_TYPE, i, &record) != CS_SUCCEED)
            HandlingFailed();
        const TSybClientMessage msg(&record);
        // Severity 0 is the library's information: it neither breaks the
        // connection nor turns the call into a failure.
        if (msg.GetSeverity() == 0) continue;
        // The library gave up on the connection; the queue goes with it.
        ReleaseConnection();
        FConnected = false;
        AddText(collected, msg.GetMsgText());
        break;
    }

    if (FConnection) Ctpublic::ct_diag(FConnection, CS_CLEAR, CS_ALLMSG_TYPE, CS_UNUSED, nullptr);

    if (!vcl::Trim(collected).empty()) throw vcl::Exception(collected);
}

} // namespace SybConnect
