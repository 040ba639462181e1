// TSybClientField: the column's description, its name and its binding.
#include <algorithm>
#include <cstring>
#include <limits>

#include "binding/Ctpublic.h"
#include "components/SybConnect/ClientField.h"
#include "components/SybConnect/Decode/Decode.h"

namespace SybConnect {

using namespace Cstypes;
using namespace vcl;
using Decode::TTransfer;

namespace {
// The buffer a column starts with: what its bound value needs, or the first
// piece of a value read with ct_get_data.
size_t InitialBufferSize(const CS_DATAFMT& Format) {
    // Fixed types: the value's own size, whatever maxlength claims.
    const int fixed = Decode::FixedValueSize(Format.datatype);
    if (fixed > 0) return static_cast<size_t>(fixed);
    switch (Decode::TransferOf(Format.datatype, Format.maxlength)) {
    // Never empty: a null buffer would clear the binding.
    case TTransfer::Bound: return static_cast<size_t>(std::max<CS_INT>(Format.maxlength, 1));
    case TTransfer::GetData: return static_cast<size_t>(std::clamp<CS_INT>(Format.maxlength, 0, MaxBoundLength));
    case TTransfer::None: break;
    }
    return 0;
}
} // namespace

// The buffer is allocated before the base constructor hands the object to
// the data set's list, so a failed allocation leaves no entry behind.
TSybClientField::TSybClientField(SybDataSet::TSybDataSet* DataSet, CS_INT ColumnNo, const CS_DATAFMT& Format)
    : TSybClientField(std::vector<uint8_t>(InitialBufferSize(Format)), DataSet, ColumnNo, Format) {}

TSybClientField::TSybClientField(std::vector<uint8_t>&& Buffer, SybDataSet::TSybDataSet* DataSet, CS_INT ColumnNo,
                                 const CS_DATAFMT& Format)
    : TBTFetchField(DataSet), FDataSet(DataSet), FBuffer(std::move(Buffer)), FBufferLength(Format.maxlength),
      FColumnNo(ColumnNo), FDataType(Format.datatype), FFormat(Format),
      FTransferred(Decode::TransferOf(Format.datatype, Format.maxlength) != TTransfer::None) {}

TFieldType TSybClientField::GetVclDataType() {
    TFieldType type;
    if (!Decode::MapDataType(FDataType, type))
        throw Exception(Format("Unknown data type %d receiver from SQL Server", {FDataType}));
    return type;
}

int32_t TSybClientField::GetVclLength() {
    const TFieldType type = GetVclDataType();
    if ((type == ftString || type == ftBytes) &&
        (FBufferLength < 0 || FBufferLength == std::numeric_limits<int32_t>::max()))
        throw Exception(Format("Column %d (%s) declares an invalid length %d", {FColumnNo, GetName(), FBufferLength}));
    return SybDataSet::GetFieldSize(type, FBufferLength);
}

std::string TSybClientField::GetName() {
    const char* name = FFormat.name;
    size_t length = 0;
    if (FFormat.namelen == CS_NULLTERM) {
        // A name without its zero byte ends with the array.
        const void* end = std::memchr(name, 0, sizeof FFormat.name);
        length = end ? static_cast<size_t>(static_cast<const char*>(end) - name) : sizeof FFormat.name;
    } else if (FFormat.namelen > 0) {
        length = std::min(static_cast<size_t>(FFormat.namelen), sizeof FFormat.name);
    }
    std::string result(name, length);
    if (Trim(result).empty()) return "COLUMN" + IntToStr(FColumnNo);
    return result;
}

const TSybClientField* TSybClientField::PreviousInDataSet() const {
    if (!FDataSet) return nullptr;
    for (int i = FDataSet->FetchFieldCount() - 1; i > 0; --i)
        if (FDataSet->GetFetchField(i) == this) return dynamic_cast<const TSybClientField*>(FDataSet->GetFetchField(i - 1));
    return nullptr;
}

CS_RETCODE TSybClientField::Bind(CS_COMMAND* Cmd) { return Bind(Cmd, PreviousInDataSet()); }

CS_RETCODE TSybClientField::Bind(CS_COMMAND* Cmd, const TSybClientField* Previous) {
    // Open Client serves ct_get_data only after the last bound column.
    const bool afterUnbound = Previous && !Previous->FBound;
    FBindDecided = true;
    FBound = !afterUnbound && Decode::TransferOf(FDataType, FBufferLength) == TTransfer::Bound;
    if (!FBound) return CS_SUCCEED;
    CS_DATAFMT format = FFormat;
    // Values as they stand, one row per fetch: the decoder relies on both.
    format.format = CS_FMT_UNUSED;
    format.count = 1;
    // Fixed types take their whole buffer; char and binary their declared
    // length, which the buffer holds.
    format.maxlength = Decode::FixedValueSize(FDataType) > 0 ? static_cast<CS_INT>(FBuffer.size()) : FBufferLength;
    const CS_RETCODE rc = Ctpublic::ct_bind(Cmd, FColumnNo, &format, FBuffer.data(), &FDataLength, &FIndicator);
    if (rc != CS_SUCCEED) FBound = false;
    return rc;
}

} // namespace SybConnect
