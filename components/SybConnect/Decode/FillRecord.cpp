// The row decoder: the current row of every fetch field into a record buffer.
#include <cstring>
#include <memory>
#include <string>

#include "binding/Cspublic.h"
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

double DecodeDateTime(TSybClientField& Field, CS_CONTEXT* Context) {
    if (!Context) throw Exception("Connection not defined");
    CS_DATEREC rec{};
    if (Cspublic::cs_dt_crack(Context, Field.GetDataType(), const_cast<uint8_t*>(Field.GetDataPointer()), &rec) !=
        CS_SUCCEED)
        throw Exception("cs_dt_crack failed.");
    const int64_t day = Decode::DayNumber(rec.dateyear, int64_t{rec.datemonth} + 1, rec.datedmonth);
    const int64_t ms = ((int64_t{rec.datehour} * 60 + rec.dateminute) * 60 + rec.datesecond) * 1000 + rec.datemsecond;
    return static_cast<double>(day) * 86400000.0 + static_cast<double>(ms);
}

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

void DecodeColumn(SybDataSet::TSybDataSet& DataSet, TSybClientField& Field, char* Slot, CS_CONTEXT* Context) {
    char* part = Slot + 1;
    const uint8_t* data = Field.GetDataPointer();
    switch (Field.GetDataType()) {
    case CS_CHAR_TYPE:
    case CS_BINARY_TYPE: CopyBytes(Field, part, Field.GetVclLength()); break;
    case CS_TEXT_TYPE:
    case CS_IMAGE_TYPE: StoreBlob(DataSet, Field, Slot); break;
    case CS_TINYINT_TYPE:
    case CS_BIT_TYPE: Write<int16_t>(part, data[0]); break;
    case CS_SMALLINT_TYPE: Write(part, Read<int16_t>(data)); break;
    case CS_INT_TYPE: Write(part, Read<int32_t>(data)); break;
    case CS_REAL_TYPE: Write(part, static_cast<double>(Read<float>(data))); break;
    case CS_FLOAT_TYPE: Write(part, Read<double>(data)); break;
    case CS_DATETIME_TYPE:
    case CS_DATETIME4_TYPE: Write(part, DecodeDateTime(Field, Context)); break;
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

} // namespace

void FillRecord(SybDataSet::TSybDataSet& DataSet, TRecordBuffer Buffer, CS_CONTEXT* Context,
                const std::string& QueryName) {
    const int count = DataSet.FetchFieldCount();
    for (int i = 0; i < count; ++i) {
        try {
            auto* field = dynamic_cast<TSybClientField*>(DataSet.GetFetchField(i));
            if (!field) throw Exception(Format("Fetch field %d is not a result column", {i}));
            char* slot = Buffer + DataSet.FieldOffset(i + 1);
            if (field->GetIndicator() == -1) {
                slot[0] = 0;
                continue;
            }
            slot[0] = static_cast<char>(255);
            DecodeColumn(DataSet, *field, slot, Context);
        } catch (const vcl::Exception& e) {
            throw Exception(Format("%s._InternalFillRecord failed for field %d: %s", {QueryName, i, e.Message()}));
        } catch (const std::exception& e) {
            throw Exception(Format("%s._InternalFillRecord failed for field %d: %s", {QueryName, i, e.what()}));
        }
    }
}

} // namespace SybConnect
