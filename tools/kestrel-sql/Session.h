// One shell session on a live connection: reads input lines, runs each batch,
// prints its results and messages, and keeps the last row result for the
// sort, filter and locate commands.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/kestrel-sql/Params.h"
#include "tools/kestrel-sql/Table.h"

namespace SybConnect {
class TSybConnect;
class TSybQuery;
class TSybMessage;
} // namespace SybConnect

namespace KestrelSql {

class TSession {
public:
    // ConnectionName is the connection's DatabaseName; queries find it by it.
    TSession(std::string ConnectionName, std::ostream& Out, std::ostream& Err, bool Timing);
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // One line of input. False once the input asked to quit.
    bool Line(const std::string& Text);
    // Runs what is left of the batch.
    void EndOfInput();
    // Whether the input has a batch under way (for the prompt).
    bool InBatch() const { return !FBatch.empty(); }
    // Whether any batch or command failed.
    bool Failed() const { return FFailed; }

private:
    void RunBatch(const std::string& Sql);
    // Prints the results of the running batch that are complete, in order.
    void FlushResults();
    void PrintOutputs(SybConnect::TSybQuery& Query, bool CallsProcedure);
    void Message(const SybConnect::TSybMessage& Msg);
    void Error(const std::string& Text);

    // Commands.cpp
    bool Command(const std::string& Text);
    void SetCommand(const std::string& Args);
    void SortCommand(const std::string& Args);
    void FilterCommand(const std::string& Args);
    void LocateCommand(const std::string& Args);
    // The last result as shown now: filter, then sort.
    TRowSet CurrentView();
    SybConnect::TSybQuery& LastResult();

    std::string FConnectionName;
    std::ostream& FOut;
    std::ostream& FErr;
    bool FTiming;
    bool FFailed = false;
    std::string FBatch;
    TVariables FVariables;

    // The running batch's row results in arrival order, and how many are printed.
    std::vector<SybConnect::TSybQuery*> FPending;
    size_t FPrinted = 0;

    // The last batch that had a row result owns its result queries.
    std::unique_ptr<SybConnect::TSybQuery> FLastBatch;
    SybConnect::TSybQuery* FLastResult = nullptr;
    std::string FSortColumn;
    bool FSortDescending = false;
};

} // namespace KestrelSql
