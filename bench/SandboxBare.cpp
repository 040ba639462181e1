#include "bench/SandboxBare.h"

#include <ctpublic.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace sandboxbench {

namespace {

constexpr CS_INT GetDataPiece = 64 * 1024;

struct TColumn {
    CS_DATAFMT Format;
    bool Bound = false;
    std::vector<char> Buffer;
    CS_INT Copied = 0;
    CS_SMALLINT Indicator = 0;
    size_t Offset = 0; // in the row block: indicator, length, bytes
};

bool IsLong(CS_INT type) { return type == CS_TEXT_TYPE || type == CS_IMAGE_TYPE; }

int64_t ReadRows(CS_COMMAND* cmd) {
    CS_INT count = 0;
    if (ct_res_info(cmd, CS_NUMDATA, &count, sizeof count, nullptr) != CS_SUCCEED) return -1;
    std::vector<TColumn> columns(static_cast<size_t>(count));
    size_t blockSize = 0;
    for (CS_INT c = 1; c <= count; ++c) {
        TColumn& col = columns[static_cast<size_t>(c - 1)];
        std::memset(&col.Format, 0, sizeof col.Format);
        if (ct_describe(cmd, c, &col.Format) != CS_SUCCEED) return -1;
        col.Bound = !IsLong(col.Format.datatype);
        // Fixed types report their size; a numeric is bound as the whole record.
        CS_INT length = col.Format.maxlength;
        if (col.Format.datatype == CS_NUMERIC_TYPE || col.Format.datatype == CS_DECIMAL_TYPE)
            length = static_cast<CS_INT>(sizeof(CS_NUMERIC));
        col.Buffer.resize(static_cast<size_t>(col.Bound ? length : GetDataPiece));
        col.Offset = blockSize;
        blockSize += sizeof(CS_SMALLINT) + sizeof(CS_INT) + static_cast<size_t>(col.Bound ? length : 0);
        if (!col.Bound) continue;
        CS_DATAFMT format = col.Format;
        format.format = CS_FMT_UNUSED;
        format.count = 1;
        format.maxlength = length;
        if (ct_bind(cmd, c, &format, col.Buffer.data(), &col.Copied, &col.Indicator) != CS_SUCCEED) return -1;
    }
    std::vector<char> block(blockSize + static_cast<size_t>(GetDataPiece));
    int64_t rows = 0;
    CS_INT read = 0;
    CS_RETCODE rc;
    while ((rc = ct_fetch(cmd, CS_UNUSED, CS_UNUSED, CS_UNUSED, &read)) == CS_SUCCEED) {
        for (CS_INT c = 1; c <= count; ++c) {
            TColumn& col = columns[static_cast<size_t>(c - 1)];
            if (col.Bound) continue;
            CS_INT total = 0, out = 0;
            CS_RETCODE got;
            do {
                out = 0;
                got = ct_get_data(cmd, c, col.Buffer.data() + total, GetDataPiece - total, &out);
                if (got != CS_SUCCEED && got != CS_END_ITEM && got != CS_END_DATA) return -1;
                total += std::max<CS_INT>(out, 0);
            } while (got == CS_SUCCEED && total < GetDataPiece);
            col.Copied = total;
            col.Indicator = 0;
        }
        size_t tail = blockSize;
        for (const TColumn& col : columns) {
            char* at = block.data() + col.Offset;
            std::memcpy(at, &col.Indicator, sizeof col.Indicator);
            std::memcpy(at + sizeof col.Indicator, &col.Copied, sizeof col.Copied);
            const size_t bytes = col.Indicator == -1 ? 0 : static_cast<size_t>(col.Copied);
            char* to = col.Bound ? at + sizeof col.Indicator + sizeof col.Copied : block.data() + tail;
            if (!col.Bound) tail += bytes;
            std::memcpy(to, col.Buffer.data(), bytes);
        }
        ++rows;
    }
    return rc == CS_END_DATA ? rows : -1;
}

} // namespace

struct TBareClient::TImpl {
    CS_CONTEXT* Context = nullptr;
    CS_CONNECTION* Connection = nullptr;

    void PrintMessages() {
        CS_INT count = 0;
        if (ct_diag(Connection, CS_STATUS, CS_SERVERMSG_TYPE, CS_UNUSED, &count) == CS_SUCCEED)
            for (CS_INT i = 1; i <= count; ++i) {
                CS_SERVERMSG s;
                std::memset(&s, 0, sizeof s);
                if (ct_diag(Connection, CS_GET, CS_SERVERMSG_TYPE, i, &s) == CS_SUCCEED)
                    std::fprintf(stderr, "server message %d: %s\n", static_cast<int>(s.msgnumber), s.text);
            }
        count = 0;
        if (ct_diag(Connection, CS_STATUS, CS_CLIENTMSG_TYPE, CS_UNUSED, &count) == CS_SUCCEED)
            for (CS_INT i = 1; i <= count; ++i) {
                CS_CLIENTMSG m;
                std::memset(&m, 0, sizeof m);
                if (ct_diag(Connection, CS_GET, CS_CLIENTMSG_TYPE, i, &m) == CS_SUCCEED)
                    std::fprintf(stderr, "client message %d: %s\n", static_cast<int>(m.msgnumber), m.msgstring);
            }
        ct_diag(Connection, CS_CLEAR, CS_ALLMSG_TYPE, CS_UNUSED, nullptr);
    }

    // Sends a language command; drains every result, reading row results with
    // ReadRows. Returns the rows of the last row result, -1 on a failure.
    int64_t Run(const std::string& sql) {
        CS_COMMAND* cmd = nullptr;
        if (ct_cmd_alloc(Connection, &cmd) != CS_SUCCEED) return -1;
        int64_t rows = 0;
        bool failed = ct_command(cmd, CS_LANG_CMD, const_cast<char*>(sql.c_str()), CS_NULLTERM, CS_UNUSED) != CS_SUCCEED ||
                      ct_send(cmd) != CS_SUCCEED;
        CS_INT type = 0;
        CS_RETCODE rc = CS_END_RESULTS;
        while (!failed && (rc = ct_results(cmd, &type)) == CS_SUCCEED) {
            if (type == CS_CMD_FAIL) failed = true;
            if (type == CS_ROW_RESULT) {
                rows = ReadRows(cmd);
                failed = failed || rows < 0;
            }
        }
        if (failed || rc != CS_END_RESULTS) {
            PrintMessages();
            ct_cancel(nullptr, cmd, CS_CANCEL_ALL);
            rows = -1;
        }
        ct_cmd_drop(cmd);
        return rows;
    }
};

TBareClient::TBareClient() : FImpl(std::make_unique<TImpl>()) {
    cs_ctx_alloc(CS_VERSION_100, &FImpl->Context);
    ct_init(FImpl->Context, CS_VERSION_100);
    ct_con_alloc(FImpl->Context, &FImpl->Connection);
    ct_diag(FImpl->Connection, CS_INIT, CS_UNUSED, CS_UNUSED, nullptr);
}

TBareClient::~TBareClient() {
    ct_close(FImpl->Connection, CS_FORCE_CLOSE);
    ct_con_drop(FImpl->Connection);
    ct_exit(FImpl->Context, CS_FORCE_EXIT);
    cs_ctx_drop(FImpl->Context);
}

bool TBareClient::Connect(const std::string& address, const std::string& password) {
    std::string user = "sa";
    ct_con_props(FImpl->Connection, CS_SET, CS_USERNAME, user.data(), CS_NULLTERM, nullptr);
    ct_con_props(FImpl->Connection, CS_SET, CS_PASSWORD, const_cast<char*>(password.c_str()), CS_NULLTERM, nullptr);
    if (ct_connect(FImpl->Connection, const_cast<char*>(address.c_str()), CS_NULLTERM) == CS_SUCCEED) return true;
    FImpl->PrintMessages();
    return false;
}

bool TBareClient::Execute(const std::string& sql) { return FImpl->Run(sql) >= 0; }

int64_t TBareClient::ReadAll(const std::string& sql) { return FImpl->Run(sql); }

} // namespace sandboxbench
