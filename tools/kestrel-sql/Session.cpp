#include "tools/kestrel-sql/Session.h"

#include <cctype>
#include <chrono>
#include <cstdio>

#include "components/SybConnect.h"
#include "components/SybConnect/ClientField.h"
#include "tools/kestrel-sql/Text.h"

namespace KestrelSql {

using SybConnect::TSybQuery;

namespace {

// Whether the batch runs a procedure (exec or execute outside strings and
// comments): only then is a return status of 0 worth showing.
bool CallsProcedure(const std::string& sql) {
    std::string word;
    auto isExec = [&] {
        const std::string w = LowerText(word);
        word.clear();
        return w == "exec" || w == "execute";
    };
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            if (isExec()) return true;
            for (++i; i < sql.size() && sql[i] != c; ++i) {}
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            if (isExec()) return true;
            while (i < sql.size() && sql[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            if (isExec()) return true;
            const size_t end = sql.find("*/", i + 2);
            i = end == std::string::npos ? sql.size() : end + 1;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#') {
            word += c;
        } else if (isExec()) {
            return true;
        }
    }
    return isExec();
}

std::string Milliseconds(std::chrono::steady_clock::duration d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f ms", std::chrono::duration<double, std::milli>(d).count());
    return buf;
}

} // namespace

TSession::TSession(std::string ConnectionName, std::ostream& Out, std::ostream& Err, bool Timing)
    : FConnectionName(std::move(ConnectionName)), FOut(Out), FErr(Err), FTiming(Timing) {}

TSession::~TSession() = default;

bool TSession::Line(const std::string& Text) {
    const std::string t = TrimText(Text);
    if (EqualsNoCase(t, "go")) {
        const std::string sql = FBatch;
        FBatch.clear();
        if (!TrimText(sql).empty()) RunBatch(sql);
        return true;
    }
    if (!t.empty() && t[0] == '\\') return Command(t);
    if (FBatch.empty() && (EqualsNoCase(t, "quit") || EqualsNoCase(t, "exit"))) return false;
    if (FBatch.empty() && t.empty()) return true;
    FBatch += Text;
    FBatch += '\n';
    return true;
}

void TSession::EndOfInput() {
    const std::string sql = FBatch;
    FBatch.clear();
    if (!TrimText(sql).empty()) RunBatch(sql);
}

void TSession::Error(const std::string& Text) {
    FOut.flush();
    FErr << "error: " << Text << '\n';
    FErr.flush();
    FFailed = true;
}

void TSession::Message(const SybConnect::TSybMessage& Msg) {
    // A message belongs after the results that came before it.
    FlushResults();
    FOut << "-- " << TrimText(Msg.GetText()) << '\n';
}

void TSession::FlushResults() {
    while (FPrinted < FPending.size() && FPending[FPrinted]->Active()) {
        if (FPrinted) FOut << '\n';
        PrintTable(FOut, ReadRows(*FPending[FPrinted]));
        ++FPrinted;
    }
}

void TSession::RunBatch(const std::string& Sql) {
    auto query = std::make_unique<TSybQuery>(nullptr);
    query->SetDatabaseName(FConnectionName);
    // Every row result arrives as a query of its own, in order, so each is
    // printed as soon as it is complete and messages fall between them.
    query->SetResultSet(255);
    FPending.clear();
    FPrinted = 0;
    query->SetOnNewDataSet([this](TSybQuery* result) {
        FlushResults();
        FPending.push_back(result);
    });
    query->SetOnServerMessage([this](const SybConnect::TSybMessage& Msg, bool&) { Message(Msg); });

    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    try {
        query->GetSQL()->SetText(Sql);
        ApplyParams(*query, FVariables);
        query->Open();
    } catch (const std::exception& e) {
        FlushResults();
        Error(e.what());
        ok = false;
    }
    // The 256th row result would land on the executing query itself.
    if (query->Active()) FPending.push_back(query.get());
    FlushResults();
    // Results a failure left unread are not shown.
    FPending.resize(FPrinted);
    if (ok) PrintOutputs(*query, CallsProcedure(Sql));
    if (FTiming) FOut << "(batch took " << Milliseconds(std::chrono::steady_clock::now() - start) << ")\n";
    FOut << '\n';
    FOut.flush();

    if (!FPending.empty()) {
        FLastResult = FPending.back();
        FSortColumn.clear();
        FSortDescending = false;
        FLastBatch = std::move(query);
    }
    FPending.clear();
    FPrinted = 0;
}

void TSession::PrintOutputs(TSybQuery& Query, bool CallsProcedure) {
    const int status = Query.GetReturnStatus();
    const int count = Query.GetParamFieldCount();
    if (!FPending.empty() && (status != 0 || count > 0 || CallsProcedure)) FOut << '\n';
    if (status != 0 || count > 0 || CallsProcedure) FOut << "return status = " << status << '\n';
    if (count == 0) return;
    FOut << "output parameters:\n";
    for (int i = 0; i < count; ++i) {
        SybConnect::TSybClientField& p = *Query.GetParamField(i);
        FOut << "  " << p.GetName() << " = " << ParamCell(p).Text << '\n';
    }
}

} // namespace KestrelSql
