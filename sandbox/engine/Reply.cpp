#include "sandbox/engine/Reply.h"

#include <chrono>

#include "sandbox/tds/Wire.h"

namespace sandbox::engine {

using namespace sandbox::tds;

void Reply::WritePending(bool more) {
    if (!FHasPending) return;
    FHasPending = false;
    PutU8(FOut, FPendingToken);
    PutU16(FOut, static_cast<uint16_t>(FPendingStatus | (more ? kDoneMore : 0)));
    PutU16(FOut, 0);
    PutI32(FOut, FPendingCount);
}

Buffer& Reply::Token() {
    WritePending(true);
    return FOut;
}

void Reply::Done(uint8_t token, uint16_t status, int32_t count) {
    WritePending(true);
    FHasPending = true;
    FPendingToken = token;
    FPendingStatus = static_cast<uint16_t>(status | ExtraDoneStatus);
    FPendingCount = count;
}

void Reply::Message(const ServerMessage& m) {
    Buffer& b = Token();
    PutU8(b, kTokEed);
    const size_t lenAt = b.size();
    PutU16(b, 0);
    PutI32(b, m.number);
    PutU8(b, static_cast<uint8_t>(m.state));
    PutU8(b, static_cast<uint8_t>(m.severity));
    PutU8(b, 0);      // no SQLSTATE
    PutU8(b, 0);      // status: no extended data follows
    PutU16(b, 0);     // transaction state
    const std::string text = m.text.size() > 1024 ? m.text.substr(0, 1024) : m.text;
    PutU16(b, static_cast<uint16_t>(text.size()));
    PutBytes(b, text);
    PutName8(b, FServerName);
    PutName8(b, m.procedure);
    PutU16(b, static_cast<uint16_t>(m.line));
    PatchU16(b, lenAt, static_cast<uint16_t>(b.size() - lenAt - 2));
}

void Reply::EnvChange(uint8_t type, const std::string& now, const std::string& before) {
    Buffer& b = Token();
    PutU8(b, kTokEnvChange);
    PutU16(b, static_cast<uint16_t>(3 + now.size() + before.size()));
    PutU8(b, type);
    PutName8(b, now);
    PutName8(b, before);
}

void Reply::RowFormat(const std::vector<ColumnInfo>& columns, const EncodeContext& ctx) {
    Buffer& b = Token();
    PutU8(b, kTokRowFmt);
    const size_t lenAt = b.size();
    PutU16(b, 0);
    PutU16(b, static_cast<uint16_t>(columns.size()));
    for (const ColumnInfo& c : columns) {
        PutName8(b, c.name);
        PutU8(b, c.type.nullable ? kColNullable : 0);
        PutU32(b, 0);  // usertype
        PutTypeInfo(b, c.type, ctx);
        PutU8(b, 0);  // locale
    }
    PatchU16(b, lenAt, static_cast<uint16_t>(b.size() - lenAt - 2));
}

void Reply::ParamFormat(const std::vector<ColumnInfo>& params, const EncodeContext& ctx) {
    Buffer& b = Token();
    PutU8(b, kTokParamFmt);
    const size_t lenAt = b.size();
    PutU16(b, 0);
    PutU16(b, static_cast<uint16_t>(params.size()));
    for (const ColumnInfo& c : params) {
        PutName8(b, c.name);
        PutU8(b, static_cast<uint8_t>(kParamReturn | (c.type.nullable ? kColNullable : 0)));
        PutU32(b, 0);
        PutTypeInfo(b, c.type, ctx);
        PutU8(b, 0);
    }
    PatchU16(b, lenAt, static_cast<uint16_t>(b.size() - lenAt - 2));
}

void Reply::ReturnStatus(int32_t status) {
    Buffer& b = Token();
    PutU8(b, kTokReturnStatus);
    PutI32(b, status);
}

void Reply::FlushFull() {
    const size_t chunk = FIo.PacketSize() - kHeaderSize;
    if (FOut.size() <= chunk) return;
    // Keep the tail, at least one byte, for the packet that ends the reply.
    const size_t full = (FOut.size() - 1) / chunk * chunk;
    FIo.Send(FOut.data(), full, false);
    FOut.erase(FOut.begin(), FOut.begin() + static_cast<long>(full));
}

void Reply::Checkpoint() {
    const size_t chunk = FIo.PacketSize() - kHeaderSize;
    const bool full = FOut.size() > chunk;
    if (full) FlushFull();
    // A recv per packet sent, or every 64 calls otherwise, keeps the check cheap.
    if (full || ++FChecks % 64 == 0) {
        if (!FCancelled && FIo.PollAttention()) FCancelled = true;
    }
}

void Reply::ThrowIfCancelled() {
    if (!FCancelled && FIo.PollAttention()) FCancelled = true;
    if (FCancelled) throw engine::Cancelled{};
}

bool Reply::PollCancel() {
    if (!FCancelled && FIo.PollAttention()) FCancelled = true;
    return FCancelled;
}

void Reply::Sleep(int ms) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    FlushFull();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return;
        if (FIo.WaitAttention(static_cast<int>(left > 200 ? 200 : left))) {
            FCancelled = true;
            throw engine::Cancelled{};
        }
    }
}

void Reply::Finish() {
    if (FHasPending) {
        WritePending(false);
    } else {
        PutU8(FOut, kTokDone);
        PutU16(FOut, ExtraDoneStatus);
        PutU16(FOut, 0);
        PutI32(FOut, 0);
    }
    FIo.Send(FOut.data(), FOut.size(), true);
    FOut.clear();
    FChecks = 0;
}

void Reply::FinishCancelled() {
    WritePending(true);
    PutU8(FOut, kTokDone);
    PutU16(FOut, kDoneAttn);
    PutU16(FOut, 0);
    PutI32(FOut, 0);
    FIo.Send(FOut.data(), FOut.size(), true);
    FOut.clear();
    FCancelled = false;
    FChecks = 0;
}

}  // namespace sandbox::engine
