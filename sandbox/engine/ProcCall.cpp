// exec / execute and DBRPC calls of procedures defined as data.
#include <sqlite3.h>

#include "sandbox/engine/Executor.h"
#include "sandbox/engine/Messages.h"
#include "sandbox/engine/Procedures.h"
#include "sandbox/tds/Wire.h"

namespace sandbox::engine {

using sql::IsPunct;
using sql::IsWord;
using sql::TokKind;
using sql::Token;

namespace {

constexpr int kMaxNesting = 16;

}  // namespace

void Executor::RunExec(const sql::Statement& s, Frame& f) {
    const auto& t = s.tokens;
    size_t i = 1;
    std::string statusVar;
    if (i + 1 < t.size() && t[i].kind == TokKind::Variable && IsPunct(t[i + 1], '=')) {
        statusVar = t[i].text;
        if (!f.vars.count(statusVar)) throw MustDeclare(statusVar);
        i += 2;
    }
    if (i < t.size() && (IsPunct(t[i], '(') || t[i].kind == TokKind::String || t[i].kind == TokKind::DqString)) {
        // exec ('sql text'): the text runs as statements of this batch.
        const std::string text = Evaluate(t, i, t.size(), f).ToText();
        RunStatements(sql::SplitBatch(text), text, f);
        return;
    }
    const std::string name = ParseObjectName(t, i);
    std::vector<CallArg> args;
    while (i < t.size()) {
        CallArg a;
        if (i + 1 < t.size() && t[i].kind == TokKind::Variable && IsPunct(t[i + 1], '=')) {
            a.name = t[i].text;
            i += 2;
        }
        const size_t from = i;
        int depth = 0;
        for (; i < t.size(); ++i) {
            if (IsPunct(t[i], '(')) ++depth;
            if (IsPunct(t[i], ')')) --depth;
            if (depth == 0 && (IsPunct(t[i], ',') || IsWord(t[i], "output") || IsWord(t[i], "out"))) break;
        }
        if (from == i) throw SyntaxError(i < t.size() ? t[i].text : "end of input");
        if (i - from == 1 && IsWord(t[from], "default")) {
            a.isDefault = true;
        } else if (i - from == 1 && t[from].kind == TokKind::Variable) {
            const auto it = f.vars.find(t[from].text);
            if (it == f.vars.end()) throw MustDeclare(t[from].text);
            a.value = it->second.value;
            a.callerVariable = t[from].text;
        } else {
            a.value = Evaluate(t, from, i, f);
        }
        if (i < t.size() && (IsWord(t[i], "output") || IsWord(t[i], "out"))) {
            a.output = true;
            ++i;
        }
        args.push_back(std::move(a));
        if (i < t.size()) {
            if (!IsPunct(t[i], ',')) throw SyntaxError(t[i].text);
            ++i;
        }
    }
    const int status = CallProcedure(name, args, f);
    if (!statusVar.empty()) Assign(f, statusVar, sql::Value::Int(status));
}

int Executor::CallProcedure(const std::string& name, std::vector<CallArg>& args, Frame& caller) {
    const auto def = LoadProcedure(Db(), name);
    if (!def) throw ProcedureNotFound(name);
    if (caller.depth >= kMaxNesting)
        throw SqlError(217, 16, 1, "Maximum stored procedure nesting level exceeded (limit 16).");
    const std::vector<ParamDecl> decls = ParseParamDecls(def->params);

    // Arguments to parameters: positional ones first, then by name.
    std::vector<int> argOf(decls.size(), -1);
    size_t positional = 0;
    for (size_t a = 0; a < args.size(); ++a) {
        size_t k = decls.size();
        if (args[a].name.empty()) {
            k = positional++;
            if (k >= decls.size())
                throw SqlError(8144, 16, 2, "Procedure " + def->name + " has too many arguments specified.");
        } else {
            for (size_t d = 0; d < decls.size(); ++d)
                if (sqlite3_stricmp(decls[d].name.c_str(), args[a].name.c_str()) == 0) k = d;
            if (k == decls.size())
                throw SqlError(8145, 16, 2, args[a].name + " is not a parameter for procedure " + def->name + ".");
        }
        argOf[k] = static_cast<int>(a);
    }

    Frame pf;
    pf.procName = def->name;
    pf.depth = caller.depth + 1;
    for (size_t d = 0; d < decls.size(); ++d) {
        Variable v;
        v.type = decls[d].type;
        const CallArg* a = argOf[d] >= 0 ? &args[static_cast<size_t>(argOf[d])] : nullptr;
        if (a && !a->isDefault) {
            v.value = Coerce(a->value, decls[d].type, S.dateOrder);
        } else if (!decls[d].defaultValue.empty()) {
            Frame empty;
            v.value = Coerce(Evaluate(decls[d].defaultValue, 0, decls[d].defaultValue.size(), empty), decls[d].type,
                             S.dateOrder);
        } else {
            throw SqlError(201, 16, 2,
                           "Procedure " + def->name + " expects parameter " + decls[d].name +
                               ", which was not supplied.");
        }
        pf.vars[decls[d].name] = std::move(v);
    }

    RunStatements(sql::SplitBatch(def->body), def->body, pf);
    const int status = pf.returnStatus ? *pf.returnStatus : (pf.failed ? -6 : 0);

    // Output parameters the caller asked for: back into its variables, and to
    // the client when the call came from a batch or RPC.
    std::vector<ColumnInfo> outInfo;
    std::vector<sql::Value> outValues;
    for (size_t d = 0; d < decls.size(); ++d) {
        if (argOf[d] < 0 || !decls[d].output) continue;
        const CallArg& a = args[static_cast<size_t>(argOf[d])];
        if (!a.output) continue;
        const sql::Value& value = pf.vars[decls[d].name].value;
        if (!a.callerVariable.empty()) Assign(caller, a.callerVariable, value);
        sql::ColumnType type = decls[d].type;
        type.nullable = true;
        outInfo.push_back(ColumnInfo{decls[d].name, type});
        outValues.push_back(value);
    }
    if (caller.depth == 0) {
        const tds::EncodeContext ctx = S.Encode();
        R.ReturnStatus(status);
        if (!outInfo.empty()) {
            R.ParamFormat(outInfo, ctx);
            tds::Buffer& b = R.Token();
            tds::PutU8(b, tds::kTokParams);
            for (size_t k = 0; k < outInfo.size(); ++k) {
                const size_t mark = R.Mark();
                try {
                    tds::PutValue(b, outInfo[k].type, outValues[k].View(), ctx);
                } catch (const SqlError&) {
                    // A value that does not fit its declared type goes back as NULL.
                    R.CutTo(mark);
                    tds::PutValue(b, outInfo[k].type, sql::ValueView{}, ctx);
                }
            }
        }
        uint16_t done = pf.failed ? tds::kDoneError : 0;
        if (!sqlite3_get_autocommit(Db())) done |= tds::kDoneInXact;
        R.Done(tds::kTokDoneProc, done, 0);
    }
    if (pf.failed) caller.failed = caller.failed || caller.depth > 0;
    return status;
}

}  // namespace sandbox::engine
