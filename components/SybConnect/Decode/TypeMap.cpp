// The mapping from Open Client type codes to field types and transfers.
#include "components/SybConnect/ClientField.h"
#include "components/SybConnect/Decode/Decode.h"

namespace SybConnect::Decode {

using namespace Cstypes;
using namespace vcl;

bool MapDataType(CS_INT DataType, TFieldType& FieldType) {
    switch (DataType) {
    case CS_CHAR_TYPE: FieldType = ftString; return true;
    case CS_BINARY_TYPE: FieldType = ftBytes; return true;
    case CS_TEXT_TYPE: FieldType = ftMemo; return true;
    case CS_IMAGE_TYPE: FieldType = ftBlob; return true;
    case CS_TINYINT_TYPE:
    case CS_SMALLINT_TYPE: FieldType = ftSmallint; return true;
    case CS_INT_TYPE: FieldType = ftInteger; return true;
    case CS_REAL_TYPE:
    case CS_FLOAT_TYPE:
    case CS_MONEY_TYPE:
    case CS_MONEY4_TYPE:
    case CS_NUMERIC_TYPE:
    case CS_DECIMAL_TYPE: FieldType = ftFloat; return true;
    case CS_BIT_TYPE: FieldType = ftBoolean; return true;
    case CS_DATETIME_TYPE:
    case CS_DATETIME4_TYPE: FieldType = ftDateTime; return true;
    default: return false;
    }
}

int FixedValueSize(CS_INT DataType) {
    switch (DataType) {
    case CS_TINYINT_TYPE:
    case CS_BIT_TYPE: return 1;
    case CS_SMALLINT_TYPE: return 2;
    case CS_INT_TYPE:
    case CS_REAL_TYPE:
    case CS_DATETIME4_TYPE:
    case CS_MONEY4_TYPE: return 4;
    case CS_FLOAT_TYPE:
    case CS_DATETIME_TYPE:
    case CS_MONEY_TYPE: return 8;
    // The whole CS_NUMERIC record is copied, whatever maxlength says.
    case CS_NUMERIC_TYPE:
    case CS_DECIMAL_TYPE: return static_cast<int>(sizeof(CS_NUMERIC));
    default: return 0;
    }
}

TTransfer TransferOf(CS_INT DataType, CS_INT MaxLength) {
    TFieldType type;
    if (!MapDataType(DataType, type)) return TTransfer::None;
    switch (DataType) {
    case CS_TEXT_TYPE:
    case CS_IMAGE_TYPE: return TTransfer::GetData;
    case CS_CHAR_TYPE:
    case CS_BINARY_TYPE:
        return MaxLength >= 0 && MaxLength <= MaxBoundLength ? TTransfer::Bound : TTransfer::GetData;
    default: return TTransfer::Bound;
    }
}

} // namespace SybConnect::Decode
