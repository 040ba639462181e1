// Commands: sending, the result walk, describe, bind, fetch, get_data and its
// I/O descriptor, cancel.
#include "tests/fakeoc/Exports.h"
#include "tests/fakeoc/Internal.h"

#include <algorithm>
#include <cstring>
#include <exception>

using namespace FakeOC::Detail;
namespace B = Cstypes;

namespace {

bool Fetchable(int32_t type) {
    return type == B::CS_ROW_RESULT || type == B::CS_PARAM_RESULT || type == B::CS_STATUS_RESULT ||
           type == B::CS_COMPUTE_RESULT || type == B::CS_CURSOR_RESULT;
}

int64_t RowTotal(const FakeOC::Result& r) {
    return r.Generator ? r.GeneratedRows : static_cast<int64_t>(r.Rows.size());
}

bool Generated(const FakeOC::Result& r) { return static_cast<bool>(r.Generator); }

bool FormatKnown(int32_t f) {
    return f == B::CS_FMT_UNUSED || f == B::CS_FMT_NULLTERM || f == B::CS_FMT_PADBLANK || f == B::CS_FMT_PADNULL;
}

// The value of a column (0-based) in the row just fetched.
ValueView ValueAt(Command& cmd, const FakeOC::Result& r, std::size_t col) {
    ValueView v;
    if (Generated(r)) {
        const Slot& s = cmd.Slots[col];
        v.Null = s.Null;
        v.Data = s.Bytes.data();
        v.Length = s.Bytes.size();
    } else {
        const FakeOC::Value& val = r.Rows[static_cast<std::size_t>(cmd.RowsFetched - 1)][col];
        v.Null = val.IsNull();
        v.Data = val.Bytes().data();
        v.Length = val.Bytes().size();
    }
    return v;
}

// A result with columns that ct_describe, ct_bind and ct_res_info can act on.
FakeOC::Result* Described(CallScope& c, Command* cmd) {
    FakeOC::Result* r = cmd->CurrentResult();
    if (!r) c.Misuse("no current result on " + cmd->Label());
    return r;
}

bool ItemInRange(CallScope& c, const FakeOC::Result& r, CS_INT item) {
    if (item >= 1 && static_cast<std::size_t>(item) <= r.Columns.size()) return true;
    c.Misuse("item " + std::to_string(item) + " of a result with " + std::to_string(r.Columns.size()) + " columns");
    return false;
}

} // namespace

extern "C" {

CS_RETCODE ct_cmd_alloc(CS_CONNECTION* connection, CS_COMMAND** cmdptr) {
    CallScope c(Fn::ct_cmd_alloc);
    c.Handle(connection);
    c.Ptr(cmdptr);
    Connection* con = c.Con(connection);
    if (!con || !cmdptr) {
        if (!cmdptr) c.Misuse("null output pointer");
        return c.Done(B::CS_FAIL, con);
    }
    if (auto code = c.Scripted()) {
        *cmdptr = nullptr;
        return c.Done(*code, con);
    }
    auto* cmd = S().NewHandle<Command>(con);
    *cmdptr = reinterpret_cast<CS_COMMAND*>(static_cast<HandleBase*>(cmd));
    return c.Done(B::CS_SUCCEED, con);
}

CS_RETCODE ct_cmd_drop(CS_COMMAND* cmd_) {
    CallScope c(Fn::ct_cmd_drop);
    c.Handle(cmd_);
    // Dropping a command of a released connection frees client memory only: allowed.
    Command* cmd = c.Cmd(cmd_, true);
    if (!cmd) return c.Done(B::CS_FAIL);
    Connection* con = cmd->Con->Alive ? cmd->Con : nullptr;
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (con && cmd->Sent) {
        c.Misuse(cmd->Label() + " dropped with results pending (ct_cancel first)");
        return c.Done(B::CS_FAIL, con);
    }
    cmd->Alive = false;
    cmd->Results.clear();
    cmd->Binds.clear();
    cmd->Slots.clear();
    cmd->Slots.shrink_to_fit();
    return c.Done(B::CS_SUCCEED, con);
}

CS_RETCODE ct_command(CS_COMMAND* cmd_, CS_INT type, CS_CHAR* buffer, CS_INT buflen, CS_INT option) {
    CallScope c(Fn::ct_command);
    c.Handle(cmd_);
    c.Int(type);
    c.Str(buffer, buflen);
    c.Int(option);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    if (cmd->Sent) {
        c.Misuse(cmd->Label() + " has results pending");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    std::string text;
    if (buffer) text = buflen >= 0 ? std::string(buffer, static_cast<std::size_t>(buflen)) : std::string(buffer);
    if (cmd->TextContinues) cmd->Text += text;
    else cmd->Text = text;
    cmd->TextContinues = option == B::CS_MORE;
    cmd->Type = type;
    cmd->HasText = true;
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_send(CS_COMMAND* cmd_) {
    CallScope c(Fn::ct_send);
    c.Handle(cmd_);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    if (!cmd->Con->Open) {
        c.Misuse(cmd->Con->Label() + " is not open");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (cmd->Sent || !cmd->HasText) {
        c.Misuse(cmd->Sent ? cmd->Label() + " has results pending" : "no ct_command before ct_send");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (!S().Batches.empty()) {
        cmd->Results = std::move(S().Batches.front());
        S().Batches.pop_front();
    } else {
        cmd->Results = S().DefaultBatch;
    }
    cmd->HasText = false;
    cmd->TextContinues = false;
    cmd->Sent = true;
    cmd->Next = 0;
    cmd->Current = -1;
    cmd->CmdDoneSeen = 0;
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_results(CS_COMMAND* cmd_, CS_INT* result_type) {
    CallScope c(Fn::ct_results);
    c.Handle(cmd_);
    c.Ptr(result_type);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) {
        if (*code == B::CS_END_RESULTS) cmd->Discard(); // a scripted end really ends the walk
        return c.Done(*code, cmd->Con);
    }
    if (!result_type) {
        c.Misuse("null result_type");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (!cmd->Sent) {
        c.Misuse("no results pending on " + cmd->Label());
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (FakeOC::Result* cur = cmd->CurrentResult(); cur && Fetchable(cur->Type) && !cmd->FetchDone) {
        c.Misuse("rows of the current result not fetched to the end");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (cmd->Current >= 0 && cmd->CurrentResult()->Type == B::CS_CMD_DONE) ++cmd->CmdDoneSeen;
    if (cmd->Next >= cmd->Results.size()) {
        cmd->Sent = false;
        cmd->Current = -1;
        cmd->Binds.clear();
        return c.Done(B::CS_END_RESULTS, cmd->Con);
    }
    cmd->Current = static_cast<int>(cmd->Next++);
    FakeOC::Result& r = *cmd->CurrentResult();
    std::size_t n = r.Columns.size();
    cmd->RowsFetched = 0;
    cmd->FetchDone = false;
    cmd->Binds.assign(n, Bind{});
    cmd->Slots.resize(n);
    if (Generated(r))
        for (std::size_t i = 0; i < n; ++i) {
            // Room for the column's longest value up front, so that no generated row allocates.
            auto want = static_cast<std::size_t>(std::max(r.Columns[i].MaxLength, FixedSize(r.Columns[i].DataType)));
            cmd->Slots[i].Bytes.reserve(std::min<std::size_t>(want, 64 * 1024));
        }
    cmd->GetDataPos.assign(n, 0);
    cmd->GetDataItem = 0;
    *result_type = r.Type;
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_res_info(CS_COMMAND* cmd_, CS_INT operation, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::ct_res_info);
    c.Handle(cmd_);
    c.Int(operation);
    c.Ptr(buffer);
    c.Int(buflen);
    c.Ptr(outlen);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    if (!buffer) {
        c.Misuse("null buffer");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    FakeOC::Result* r = cmd->CurrentResult();
    B::CS_INT v = 0;
    switch (operation) {
    case B::CS_NUMDATA:
        if (!(r = Described(c, cmd))) return c.Done(B::CS_FAIL, cmd->Con);
        v = static_cast<B::CS_INT>(r->Columns.size());
        break;
    case B::CS_ROW_COUNT:
        if (!r) return c.Done(B::CS_FAIL, cmd->Con);
        v = r->RowCount != -1 || !Fetchable(r->Type) ? r->RowCount : static_cast<B::CS_INT>(cmd->RowsFetched);
        break;
    case B::CS_CMD_NUMBER:
        v = cmd->CmdDoneSeen + 1;
        break;
    case B::CS_TRANS_STATE:
        v = B::CS_TRAN_COMPLETED;
        break;
    case B::CS_NUMORDERCOLS:
    case B::CS_NUM_COMPUTES:
    case B::CS_BROWSE_INFO:
    case B::CS_MSGTYPE:
        v = 0;
        break;
    default:
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    std::memcpy(buffer, &v, sizeof v);
    if (outlen) *outlen = sizeof v;
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_describe(CS_COMMAND* cmd_, CS_INT item, CS_DATAFMT* datafmt) {
    CallScope c(Fn::ct_describe);
    c.Handle(cmd_);
    c.Int(item);
    c.Ptr(datafmt);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    FakeOC::Result* r = Described(c, cmd);
    if (!r || !ItemInRange(c, *r, item)) return c.Done(B::CS_FAIL, cmd->Con);
    if (!datafmt) {
        c.Misuse("null CS_DATAFMT");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    const FakeOC::Column& col = r->Columns[static_cast<std::size_t>(item - 1)];
    std::size_t n = std::min(col.Name.size(), sizeof datafmt->name - 1);
    std::memcpy(datafmt->name, col.Name.data(), n);
    std::memset(datafmt->name + n, 0, sizeof datafmt->name - n);
    datafmt->namelen = col.NameLen.value_or(static_cast<B::CS_INT>(n));
    datafmt->datatype = col.DataType;
    // format is left as the caller had it, as FreeTDS does.
    datafmt->maxlength = col.MaxLength;
    datafmt->scale = col.Scale;
    datafmt->precision = col.Precision;
    datafmt->status = col.Status;
    datafmt->count = 1;
    datafmt->usertype = col.UserType;
    datafmt->locale = nullptr;
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_bind(CS_COMMAND* cmd_, CS_INT item, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT* copied,
                   CS_SMALLINT* indicator) {
    CallScope c(Fn::ct_bind);
    c.Handle(cmd_);
    c.Int(item);
    if (datafmt) {
        c.Int(datafmt->datatype);
        c.Int(datafmt->maxlength);
        c.Int(datafmt->format);
    } else {
        c.Arg("null");
        c.Arg("null");
        c.Arg("null");
    }
    c.Ptr(buffer);
    c.Ptr(copied);
    c.Ptr(indicator);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    FakeOC::Result* r = Described(c, cmd);
    if (!r || !ItemInRange(c, *r, item)) return c.Done(B::CS_FAIL, cmd->Con);
    if (!datafmt) {
        c.Misuse("null CS_DATAFMT");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    Bind& b = cmd->Binds[static_cast<std::size_t>(item - 1)];
    if (!buffer) { // a null buffer clears the binding
        b = Bind{};
        return c.Done(B::CS_SUCCEED, cmd->Con);
    }
    const FakeOC::Column& col = r->Columns[static_cast<std::size_t>(item - 1)];
    if (!FormatKnown(datafmt->format) || datafmt->count > 1 || datafmt->count < 0 ||
        !CanConvert(col.DataType, datafmt->datatype))
        return c.Done(B::CS_FAIL, cmd->Con);
    b.Bound = true;
    b.DataType = datafmt->datatype;
    b.MaxLength = datafmt->maxlength;
    b.Format = datafmt->format;
    b.Buffer = buffer;
    b.Copied = copied;
    b.Indicator = indicator;
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_fetch(CS_COMMAND* cmd_, CS_INT type, CS_INT offset, CS_INT option, CS_INT* rows_read) {
    CallScope c(Fn::ct_fetch);
    c.Handle(cmd_);
    c.Int(type);
    c.Int(offset);
    c.Int(option);
    c.Ptr(rows_read);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) {
        if (*code == B::CS_END_DATA) cmd->FetchDone = true; // a scripted end really ends the rows
        return c.Done(*code, cmd->Con);
    }
    FakeOC::Result* r = cmd->CurrentResult();
    if (!r || !Fetchable(r->Type)) {
        c.Misuse("no fetchable result on " + cmd->Label());
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (type != B::CS_UNUSED || offset != B::CS_UNUSED || option != B::CS_UNUSED) {
        c.Misuse("type, offset and option must be CS_UNUSED");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (rows_read) *rows_read = 0;
    if (cmd->FetchDone || cmd->RowsFetched >= RowTotal(*r)) {
        cmd->FetchDone = true;
        return c.Done(r->EndCode, cmd->Con);
    }
    ++cmd->RowsFetched;
    if (Generated(*r)) {
        for (Slot& s : cmd->Slots) s.Null = true;
        FakeOC::RowWriter writer(&cmd->Slots);
        try {
            r->Generator(cmd->RowsFetched - 1, writer);
        } catch (const std::exception& e) {
            c.Misuse(std::string("row generator failed: ") + e.what());
            return c.Done(B::CS_FAIL, cmd->Con);
        }
    }
    std::fill(cmd->GetDataPos.begin(), cmd->GetDataPos.end(), 0);
    cmd->GetDataItem = 0;
    CS_RETCODE code = B::CS_SUCCEED;
    for (std::size_t i = 0; i < cmd->Binds.size(); ++i) {
        const Bind& b = cmd->Binds[i];
        if (!b.Bound) continue;
        CopyResult res = CopyOut(r->Columns[i].DataType, ValueAt(*cmd, *r, i), b.DataType, b.MaxLength, b.Format,
                                 b.Buffer, b.Copied, b.Indicator);
        if (res != CopyResult::Ok) code = B::CS_ROW_FAIL;
    }
    if (!r->FetchCodes.empty())
        if (auto it = r->FetchCodes.find(cmd->RowsFetched); it != r->FetchCodes.end()) {
            code = it->second;
            if (code == B::CS_END_DATA) cmd->FetchDone = true;
        }
    if (rows_read && code == B::CS_SUCCEED) *rows_read = 1;
    return c.Done(code, cmd->Con);
}

CS_RETCODE ct_get_data(CS_COMMAND* cmd_, CS_INT item, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::ct_get_data);
    c.Handle(cmd_);
    c.Int(item);
    c.Ptr(buffer);
    c.Int(buflen);
    c.Ptr(outlen);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    FakeOC::Result* r = cmd->CurrentResult();
    if (!r || !Fetchable(r->Type) || cmd->RowsFetched == 0 || cmd->FetchDone) {
        c.Misuse("no fetched row on " + cmd->Label());
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (!ItemInRange(c, *r, item)) return c.Done(B::CS_FAIL, cmd->Con);
    std::size_t col = static_cast<std::size_t>(item - 1);
    if (cmd->Binds[col].Bound) {
        c.Misuse("column " + std::to_string(item) + " is bound");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    cmd->GetDataItem = item;
    ValueView v = ValueAt(*cmd, *r, col);
    std::size_t& pos = cmd->GetDataPos[col];
    std::size_t length = v.Null ? 0 : v.Length;
    std::size_t n = std::min(length - std::min(pos, length), buflen > 0 ? static_cast<std::size_t>(buflen) : 0);
    if (n && !buffer) {
        c.Misuse("null buffer");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (n) std::memcpy(buffer, v.Data + pos, n);
    pos += n;
    if (outlen) *outlen = static_cast<B::CS_INT>(n);
    if (pos < length) return c.Done(B::CS_SUCCEED, cmd->Con);
    return c.Done(col + 1 == r->Columns.size() ? B::CS_END_DATA : B::CS_END_ITEM, cmd->Con);
}

// CS_GET describes the column last read with ct_get_data in the current row:
// total_txtlen is its whole length, -1 for NULL. The fake has no table names
// or text pointers, so the name is ".column" and both stay empty.
CS_RETCODE ct_data_info(CS_COMMAND* cmd_, CS_INT action, CS_INT colnum, CS_IODESC* iodesc) {
    CallScope c(Fn::ct_data_info);
    c.Handle(cmd_);
    c.Int(action);
    c.Int(colnum);
    c.Ptr(iodesc);
    Command* cmd = c.Cmd(cmd_);
    if (!cmd) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code, cmd->Con);
    if (action == B::CS_SET) return c.Done(B::CS_SUCCEED, cmd->Con);
    if (action != B::CS_GET) return c.Done(B::CS_FAIL, cmd->Con);
    if (!iodesc) {
        c.Misuse("null CS_IODESC");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    FakeOC::Result* r = cmd->CurrentResult();
    if (!r || !Fetchable(r->Type) || cmd->RowsFetched == 0 || cmd->FetchDone) {
        c.Misuse("no fetched row on " + cmd->Label());
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    if (!ItemInRange(c, *r, colnum)) return c.Done(B::CS_FAIL, cmd->Con);
    if (colnum != cmd->GetDataItem) {
        c.Misuse("column " + std::to_string(colnum) + " was not read with ct_get_data");
        return c.Done(B::CS_FAIL, cmd->Con);
    }
    const std::size_t col = static_cast<std::size_t>(colnum - 1);
    const FakeOC::Column& column = r->Columns[col];
    const ValueView v = ValueAt(*cmd, *r, col);
    *iodesc = CS_IODESC{}; // log_on_update false, no locale, no text pointer
    iodesc->iotype = B::CS_IODATA;
    iodesc->datatype = column.DataType;
    iodesc->usertype = column.UserType;
    iodesc->total_txtlen = v.Null ? -1 : static_cast<B::CS_INT>(v.Length);
    const std::string name = "." + column.Name.substr(0, static_cast<std::size_t>(B::CS_OBJ_NAME) - 2);
    std::memcpy(iodesc->name, name.c_str(), name.size() + 1);
    iodesc->namelen = static_cast<B::CS_INT>(name.size());
    return c.Done(B::CS_SUCCEED, cmd->Con);
}

CS_RETCODE ct_cancel(CS_CONNECTION* connection, CS_COMMAND* cmd_, CS_INT type) {
    CallScope c(Fn::ct_cancel);
    c.Handle(connection);
    c.Handle(cmd_);
    c.Int(type);
    if ((connection == nullptr) == (cmd_ == nullptr)) {
        c.Misuse("exactly one of connection and command must be given");
        return c.Done(B::CS_FAIL);
    }
    Connection* con = nullptr;
    Command* cmd = nullptr;
    if (connection) {
        if (!(con = c.Con(connection))) return c.Done(B::CS_FAIL);
    } else {
        if (!(cmd = c.Cmd(cmd_))) return c.Done(B::CS_FAIL);
        con = cmd->Con;
    }
    if (auto code = c.Scripted()) return c.Done(*code, con);
    if (type == B::CS_CANCEL_CURRENT) {
        if (!cmd) return c.Done(B::CS_FAIL, con);
        cmd->FetchDone = true; // the rest of the current result is skipped
        return c.Done(B::CS_SUCCEED, con);
    }
    if (type != B::CS_CANCEL_ALL && type != B::CS_CANCEL_ATTN) return c.Done(B::CS_FAIL, con);
    if (cmd) {
        cmd->Discard();
    } else {
        for (auto& h : S().Handles)
            if (h->K == Kind::Command && h->Alive && static_cast<Command*>(h.get())->Con == con)
                static_cast<Command*>(h.get())->Discard();
    }
    return c.Done(B::CS_SUCCEED, con);
}

} // extern "C"
