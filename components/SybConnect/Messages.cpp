#include <algorithm>
#include <cstddef>

#include "components/SybConnect.h"

namespace SybConnect {

namespace {
// The record's length member is trusted only as far as its text field reaches.
std::string CopyText(const char* text, CS_INT length, size_t capacity) {
    if (length <= 0) return {};
    return std::string(text, std::min(static_cast<size_t>(length), capacity));
}
} // namespace

TSybMessage::TSybMessage(CS_INT msgNumber, CS_INT severity, std::string text)
    : FMsgNumber(msgNumber), FSeverity(severity), FText(std::move(text)) {}

TSybServerMessage::TSybServerMessage(const Cspublic::CS_SERVERMSG* record)
    : TSybMessage(record ? record->msgnumber : 0, record ? record->severity : 0,
                  record ? CopyText(record->text, record->textlen, sizeof(record->text)) : std::string()) {}

std::string TSybServerMessage::GetMsgText() const {
    return vcl::Format("Message %d,Level %d: %s ", {GetMsgNumber(), GetSeverity(), GetText()});
}

TSybClientMessage::TSybClientMessage(const Cspublic::CS_CLIENTMSG* record)
    : TSybMessage(record ? record->msgnumber : 0, record ? record->severity : 0,
                  record ? CopyText(record->msgstring, record->msgstringlen, sizeof(record->msgstring))
                         : std::string()) {}

std::string TSybClientMessage::GetMsgText() const {
    const CS_INT n = GetMsgNumber();
    return vcl::Format("Client library error %d, severity %d, number %d, origin %d, layer %d %s ",
                       {n, GetSeverity(), Cstypes::CS_NUMBER(n), Cstypes::CS_ORIGIN(n), Cstypes::CS_LAYER(n),
                        GetText()});
}

} // namespace SybConnect
