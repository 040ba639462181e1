// The control API: scripting and reading back, all under the state's lock.
#include "tests/fakeoc/Internal.h"

#include <stdexcept>

namespace FakeOC {

using namespace Detail;

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

void CheckOccurrence(int occurrence) {
    if (occurrence < 0) throw std::invalid_argument("FakeOC: occurrence must be 0 (every call) or from 1");
}

void CheckBatch(const Batch& batch) {
    for (std::size_t r = 0; r < batch.size(); ++r) {
        const Result& res = batch[r];
        for (std::size_t row = 0; row < res.Rows.size(); ++row)
            if (res.Rows[row].size() != res.Columns.size())
                throw std::invalid_argument("FakeOC: result " + std::to_string(r + 1) + ", row " +
                                            std::to_string(row + 1) + " has " +
                                            std::to_string(res.Rows[row].size()) + " values for " +
                                            std::to_string(res.Columns.size()) + " columns");
    }
}

const Prop* FindProp(const std::unordered_map<int32_t, Prop>& props, int32_t property) {
    auto it = props.find(property);
    return it == props.end() ? nullptr : &it->second;
}

} // namespace

void Reset() {
    Guard g(S().Mutex);
    S().ResetAll();
}

void FailCall(const std::string& call, int occurrence, int32_t code) {
    Fn fn = FnByName(call);
    CheckOccurrence(occurrence);
    Guard g(S().Mutex);
    S().CodeScripts[static_cast<int>(fn)].push_back({occurrence, code});
}

void QueueServerMessage(const std::string& call, int occurrence, ServerMessage message) {
    Fn fn = FnByName(call);
    CheckOccurrence(occurrence);
    Guard g(S().Mutex);
    S().MessageScripts[static_cast<int>(fn)].push_back({occurrence, true, std::move(message), {}});
}

void QueueClientMessage(const std::string& call, int occurrence, ClientMessage message) {
    Fn fn = FnByName(call);
    CheckOccurrence(occurrence);
    Guard g(S().Mutex);
    S().MessageScripts[static_cast<int>(fn)].push_back({occurrence, false, {}, std::move(message)});
}

void PostServerMessage(ServerMessage message) {
    Guard g(S().Mutex);
    S().Deliver(nullptr, {0, true, std::move(message), {}});
}

void PostClientMessage(ClientMessage message) {
    Guard g(S().Mutex);
    S().Deliver(nullptr, {0, false, {}, std::move(message)});
}

int QueuedServerMessages() {
    Guard g(S().Mutex);
    return S().LatestCon ? static_cast<int>(S().LatestCon->ServerMsgs.size()) : 0;
}

int QueuedClientMessages() {
    Guard g(S().Mutex);
    return S().LatestCon ? static_cast<int>(S().LatestCon->ClientMsgs.size()) : 0;
}

void QueueResults(Batch batch) {
    CheckBatch(batch);
    Guard g(S().Mutex);
    S().Batches.push_back(std::move(batch));
}

void SetDefaultResults(Batch batch) {
    CheckBatch(batch);
    Guard g(S().Mutex);
    S().DefaultBatch = std::move(batch);
}

int QueuedBatches() {
    Guard g(S().Mutex);
    return static_cast<int>(S().Batches.size());
}

void ScriptDateCrack(int occurrence, DateParts parts) {
    CheckOccurrence(occurrence);
    Guard g(S().Mutex);
    S().DateScripts.push_back({occurrence, parts});
}

void SetDateFormat(int32_t order) {
    Guard g(S().Mutex);
    S().DateFormat = order;
    S().DateFormatUntouched = false;
}

void LeaveDateFormatUntouched() {
    Guard g(S().Mutex);
    S().DateFormatUntouched = true;
}

std::optional<std::string> ConPropText(int32_t property) {
    Guard g(S().Mutex);
    if (!S().LatestCon) return std::nullopt;
    const Prop* p = FindProp(S().LatestCon->Props, property);
    if (!p || !p->IsText) return std::nullopt;
    return p->Text;
}

std::optional<int32_t> ConPropInt(int32_t property) {
    Guard g(S().Mutex);
    if (!S().LatestCon) return std::nullopt;
    const Prop* p = FindProp(S().LatestCon->Props, property);
    if (!p || p->IsText) return std::nullopt;
    return p->Int;
}

std::optional<int32_t> ConfigInt(int32_t property) {
    Guard g(S().Mutex);
    if (!S().LatestCtx) return std::nullopt;
    const Prop* p = FindProp(S().LatestCtx->Config, property);
    if (!p || p->IsText) return std::nullopt;
    return p->Int;
}

std::string ConnectedServer() {
    Guard g(S().Mutex);
    return S().LastServer;
}

bool ConnectionOpen() {
    Guard g(S().Mutex);
    return S().LatestCon && S().LatestCon->Alive && S().LatestCon->Open;
}

HandleCounts LiveHandleCounts() {
    Guard g(S().Mutex);
    HandleCounts c;
    for (const auto& h : S().Handles) {
        if (!h->Alive) continue;
        switch (h->K) {
        case Kind::Context: ++c.Contexts; break;
        case Kind::Connection: ++c.Connections; break;
        case Kind::Command: ++c.Commands; break;
        case Kind::Locale: ++c.Locales; break;
        }
    }
    return c;
}

int LiveHandles() { return LiveHandleCounts().Total(); }

std::vector<std::string> Misuses() {
    Guard g(S().Mutex);
    return S().MisuseLog;
}

std::string Call::Text() const {
    std::string s = Name + "(";
    for (std::size_t i = 0; i < Args.size(); ++i) {
        if (i) s += ", ";
        s += Args[i];
    }
    s += ") = " + std::to_string(Result);
    if (!Misuse.empty()) s += "  [misuse: " + Misuse + "]";
    return s;
}

std::vector<Call> Calls() {
    Guard g(S().Mutex);
    return S().Log;
}

std::vector<Call> Calls(const std::string& name) {
    FnByName(name);
    Guard g(S().Mutex);
    std::vector<Call> out;
    for (const auto& c : S().Log)
        if (c.Name == name) out.push_back(c);
    return out;
}

std::vector<std::string> CallNames() {
    Guard g(S().Mutex);
    std::vector<std::string> out;
    out.reserve(S().Log.size());
    for (const auto& c : S().Log) out.push_back(c.Name);
    return out;
}

int Count(const std::string& name) {
    Fn fn = FnByName(name);
    Guard g(S().Mutex);
    return S().Counters[static_cast<int>(fn)];
}

std::optional<Call> Find(const std::string& name, int occurrence) {
    FnByName(name);
    Guard g(S().Mutex);
    int seen = 0;
    for (const auto& c : S().Log)
        if (c.Name == name && ++seen == occurrence) return c;
    return std::nullopt;
}

std::string LogText() {
    Guard g(S().Mutex);
    std::string s;
    for (const auto& c : S().Log) s += c.Text() + "\n";
    return s;
}

void ClearLog() {
    Guard g(S().Mutex);
    S().Log.clear();
}

void SetLogging(bool on) {
    Guard g(S().Mutex);
    S().LogOn = on;
    S().FnLogOn.fill(true);
}

void SetLogging(const std::string& name, bool on) {
    Fn fn = FnByName(name);
    Guard g(S().Mutex);
    S().FnLogOn[static_cast<int>(fn)] = on;
}

} // namespace FakeOC
