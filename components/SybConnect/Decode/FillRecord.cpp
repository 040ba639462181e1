// The row decoder: the current row of every fetch field into a record buffer.
#include <cstring>
#include <memory>
#include <string>

#include "components/SybConnect.h"
#include "components/SybConnect/ClientField.h"
#include "components/SybConnect/Decode/Decode.h"

namespace SybConnect {

using namespace Cstypes;
using namespace vcl;

namespace {

template <typename T> T Read(const uint8_t* Data) {
    T value;
    std::memcpy(&value, Data, sizeof value);
    return value;
}

template <typename T> void Write(char* Part, T Value) { std::memcpy(Part, &Value, sizeof Value); }

// The value's bytes into the data part, which holds Width bytes.
void CopyBytes(TSybClientField& Field, char* Part, int32_t Width) {
    const CS_INT length = Field.GetDataLength();
    if (length < 0 || length >= Width)
        throw Exception(Format("Value of %d bytes does not fit column %d (%s) of %d bytes",
                               {length, Field.GetColumnNo(), Field.GetName(), Width - 1}));
    if (length > 0) std::memcpy(Part, Field.GetDataPointer(), static_cast<size_t>(length));
}

void StoreBlob(SybDataSet::TSybDataSet& DataSet, TSybClientField& Field, char* Slot) {
    const CS_INT length = Field.GetDataLength();
    if (length < 0) throw Exception(Format("Invalid length %d of column %d", {length, Field.GetColumnNo()}));
    auto blob = std::make_unique<SybDataSet::TBTBlob>();
    const char* data = reinterpret_cast<const char*>(Field.GetDataPointer());
    blob->SetData(length > 0 ? std::string(data, static_cast<size_t>(length)) : std::string());
    DataSet.StoreSlotBlob(Slot, std::move(blob));
}

bool HasWidth(CS_INT DataType) { return DataType == CS_CHAR_TYPE || DataType == CS_BINARY_TYPE; }

// One non-NULL value into its slot, whose flag byte is set. Width is only
// read for char and binary columns.
void DecodeValue(SybDataSet::TSybDataSet& DataSet, TSybClientField& Field, CS_INT DataType, int32_t Width, char* Slot,
                 CS_CONTEXT* Context) {
    char* part = Slot + 1;
    const uint8_t* data = Field.GetDataPointer();
    switch (DataType) {
    case CS_CHAR_TYPE:
    case CS_BINARY_TYPE: CopyBytes(Field, part, Width); break;
    case CS_TEXT_TYPE:
    case CS_IMAGE_TYPE: StoreBlob(DataSet, Field, Slot); break;
    case CS_TINYINT_TYPE:
    case CS_BIT_TYPE: Write<int16_t>(part, data[0]); break;
    case CS_SMALLINT_TYPE: Write(part, Read<int16_t>(data)); break;
    case CS_INT_TYPE: Write(part, Read<int32_t>(data)); break;
    case CS_REAL_TYPE: Write(part, static_cast<double>(Read<float>(data))); break;
    case CS_FLOAT_TYPE: Write(part, Read<double>(data)); break;
    case CS_DATETIME_TYPE:
    case CS_DATETIME4_TYPE: Write(part, Decode::DecodeDateTime(Context, DataType, data)); break;
    case CS_MONEY_TYPE: {
        const auto money = Read<CS_MONEY>(data);
        const int64_t units = int64_t{money.mnyhigh} * 4294967296LL + int64_t{money.mnylow};
        Write(part, static_cast<double>(units) / 10000.0);
        break;
    }
    case CS_MONEY4_TYPE: Write(part, static_cast<double>(Read<int32_t>(data)) / 10000.0); break;
    case CS_NUMERIC_TYPE:
    case CS_DECIMAL_TYPE: Write(part, Decode::DecodeNumeric(data)); break;
    default: break; // column description refuses other types
    }
}

// Fields From.. of the data set, each looked up as it comes: the way for a
// field the plan could not take, so its error is raised in its turn.
void FillUnplanned(SybDataSet::TSybDataSet& DataSet, int From, TRecordBuffer Buffer, CS_CONTEXT* Context,
                   int& Index) {
    const int count = DataSet.FetchFieldCount();
    for (Index = From; Index < count; ++Index) {
        auto* field = dynamic_cast<TSybClientField*>(DataSet.GetFetchField(Index));
        if (!field) throw Exception(Format("Fetch field %d is not a result column", {Index}));
        char* slot = Buffer + DataSet.FieldOffset(Index + 1);
        if (field->GetIndicator() == -1) {
            slot[0] = 0;
            continue;
        }
        slot[0] = static_cast<char>(255);
        const CS_INT type = field->GetDataType();
        DecodeValue(DataSet, *field, type, HasWidth(type) ? field->GetVclLength() : 0, slot, Context);
    }
}

[[noreturn]] void RaiseFieldFailed(const std::string& QueryName, int Index, const std::string& Cause) {
    throw Exception(Format("%s._InternalFillRecord failed for field %d: %s", {QueryName, Index, Cause}));
}

} // namespace

TFillPlan MakeFillPlan(SybDataSet::TSybDataSet& DataSet) {
    TFillPlan plan;
    const int count = DataSet.FetchFieldCount();
    plan.Columns.reserve(static_cast<size_t>(count));
    bool planning = true;
    for (int i = 0; i < count; ++i) {
        auto* field = dynamic_cast<TSybClientField*>(DataSet.GetFetchField(i));
        if (field && !field->IsBound()) plan.Unbound.push_back(field);
        if (!planning) continue;
        planning = false;
        if (!field) continue;
        const CS_INT type = field->GetDataType();
        TFillColumn column{field, 0, 0, type};
        try {
            column.Offset = DataSet.FieldOffset(i + 1);
            if (HasWidth(type)) column.Width = field->GetVclLength();
        } catch (const vcl::Exception&) {
            continue; // raised again, in its turn, by the unplanned way
        }
        plan.Columns.push_back(column);
        planning = true;
    }
    return plan;
}

void FillRecord(SybDataSet::TSybDataSet& DataSet, const TFillPlan& Plan, TRecordBuffer Buffer, CS_CONTEXT* Context,
                const std::string& QueryName) {
    int i = 0;
    try {
        const int planned = static_cast<int>(Plan.Columns.size());
        for (; i < planned; ++i) {
            const TFillColumn& column = Plan.Columns[static_cast<size_t>(i)];
            char* slot = Buffer + column.Offset;
            if (column.Field->GetIndicator() == -1) {
                slot[0] = 0;
                continue;
            }
            slot[0] = static_cast<char>(255);
            DecodeValue(DataSet, *column.Field, column.DataType, column.Width, slot, Context);
        }
        if (planned < DataSet.FetchFieldCount()) FillUnplanned(DataSet, planned, Buffer, Context, i);
    } catch (const vcl::Exception& e) {
        RaiseFieldFailed(QueryName, i, e.Message());
    } catch (const std::exception& e) {
        RaiseFieldFailed(QueryName, i, e.what());
    }
}

void FillRecord(SybDataSet::TSybDataSet& DataSet, TRecordBuffer Buffer, CS_CONTEXT* Context,
                const std::string& QueryName) {
    TFillPlan plan;
    try {
        plan = MakeFillPlan(DataSet);
    } catch (const std::exception& e) {
        RaiseFieldFailed(QueryName, 0, e.what());
    }
    FillRecord(DataSet, plan, Buffer, Context, QueryName);
}

} // namespace SybConnect
