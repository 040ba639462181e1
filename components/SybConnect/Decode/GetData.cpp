// Reading an unbound column with ct_get_data after each fetch.
#include <algorithm>
#include <limits>

#include "binding/Ctpublic.h"
#include "components/SybConnect/ClientField.h"
#include "components/SybConnect/Decode/Decode.h"

namespace SybConnect {

using namespace Cstypes;
using namespace vcl;

int64_t TSybClientField::GetDataLimit() const {
    if (FDataType == CS_TEXT_TYPE || FDataType == CS_IMAGE_TYPE) return std::numeric_limits<int32_t>::max();
    const int fixed = Decode::FixedValueSize(FDataType);
    if (fixed > 0) return fixed;
    // char and binary: the record slot holds the declared length.
    return std::max<CS_INT>(FBufferLength, 0);
}

void TSybClientField::AfterFetch(CS_COMMAND* Cmd) {
    if (!FBindDecided || FBound || !FTransferred) return;
    ReadWithGetData(Cmd);
}

void TSybClientField::ReadWithGetData(CS_COMMAND* Cmd) {
    FDataLength = 0;
    FIndicator = 0;
    const int64_t limit = GetDataLimit();
    auto tooLong = [&] {
        return Exception(Format("Value of column %d (%s) is longer than %d bytes",
                                {FColumnNo, GetName(), static_cast<long long>(limit)}));
    };
    auto failed = [&](CS_RETCODE rc) {
        return Exception(Format("ct_get_data failed for column %d (%s) with code %d", {FColumnNo, GetName(), rc}));
    };
    int64_t length = 0;
    bool null = false;
    for (;;) {
        if (length == static_cast<int64_t>(FBuffer.size())) {
            if (length >= limit) {
                // Full to the limit: one more byte means the value does not fit.
                uint8_t probe;
                CS_INT out = 0;
                const CS_RETCODE rc = Ctpublic::ct_get_data(Cmd, FColumnNo, &probe, 1, &out);
                if (rc != CS_SUCCEED && rc != CS_END_ITEM && rc != CS_END_DATA) throw failed(rc);
                if (out > 0 || rc == CS_SUCCEED) throw tooLong();
                break;
            }
            // Grows with the largest value seen and stays for the next rows.
            const int64_t grown = std::max<int64_t>(length * 2, MaxBoundLength);
            FBuffer.resize(static_cast<size_t>(std::min(limit, grown)));
        }
        const int64_t room = static_cast<int64_t>(FBuffer.size()) - length;
        const CS_INT ask = static_cast<CS_INT>(std::min<int64_t>(room, std::numeric_limits<CS_INT>::max()));
        CS_INT out = 0;
        const CS_RETCODE rc = Ctpublic::ct_get_data(Cmd, FColumnNo, FBuffer.data() + length, ask, &out);
        if (rc != CS_SUCCEED && rc != CS_END_ITEM && rc != CS_END_DATA) throw failed(rc);
        if (out < 0) {
            // The library's way of saying NULL when asked to tell it apart.
            null = true;
            if (rc == CS_SUCCEED) throw failed(rc);
            break;
        }
        if (out > ask) throw failed(rc);
        length += out;
        if (rc != CS_SUCCEED) break;
        // More remains but nothing came: stop rather than spin.
        if (out == 0) throw failed(rc);
    }
    if (!null && length == 0) null = ReportsNull(Cmd);
    FIndicator = null ? -1 : 0;
    FDataLength = null ? 0 : static_cast<CS_INT>(length);
}

bool TSybClientField::ReportsNull(CS_COMMAND* Cmd) const {
    // A fixed-size value always has its bytes.
    if (Decode::FixedValueSize(FDataType) > 0) return true;
    CS_IODESC desc{};
    const CS_RETCODE rc = Ctpublic::ct_data_info(Cmd, CS_GET, FColumnNo, &desc);
    return rc == CS_SUCCEED && desc.total_txtlen < 0;
}

} // namespace SybConnect
