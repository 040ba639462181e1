// TParam: one named, typed parameter value.
#include <cstring>

#include "vcl/DB/DBError.h"
#include "vcl/DB/Params.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

namespace {

TFieldType TypeOfVariant(TVarType t) {
    switch (t) {
    case varSmallint:
    case varByte: return ftSmallint;
    case varInteger: return ftInteger;
    case varInt64: return ftLargeint;
    case varCurrency: return ftBCD;
    case varSingle:
    case varDouble: return ftFloat;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varString: return ftString;
    default: return ftUnknown;
    }
}

bool IsBlobType(TFieldType t) {
    switch (t) {
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
#if !defined(KESTREL_VCL_VERSION) || KESTREL_VCL_VERSION >= 5
    case ftOraBlob:
    case ftOraClob:
#endif
        return true;
    default: return false;
    }
}

bool IsObjectType(TFieldType t) {
    return t == ftCursor || t == ftADT || t == ftArray || t == ftReference || t == ftDataSet;
}

template <typename T>
void Store(void* buffer, T value) {
    std::memcpy(buffer, &value, sizeof value);
}

template <typename T>
T Load(const void* buffer) {
    T value;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

} // namespace

TParam::TParam(TParams* collection) {
    if (collection) collection->AddParam(this);
}

TParam::TParam(TParams* collection, TParamType paramType) : FParamType(paramType) {
    if (collection) collection->AddParam(this);
}

TParam::~TParam() {
    if (FCollection) FCollection->RemoveParam(this);
}

void TParam::SetValue(const Variant& value) {
    if (FDataType == ftUnknown) FDataType = TypeOfVariant(value.VarType());
    FValue = value;
    FBound = !value.IsEmpty();
}

std::string TParam::GetAsString() const {
    return IsNull() ? std::string() : FValue.AsString();
}

int32_t TParam::GetAsInteger() const {
    return IsNull() ? 0 : FValue.AsInteger();
}

int16_t TParam::GetAsSmallInt() const {
    return static_cast<int16_t>(GetAsInteger());
}

uint16_t TParam::GetAsWord() const {
    return static_cast<uint16_t>(GetAsInteger());
}

double TParam::GetAsFloat() const {
    return IsNull() ? 0.0 : FValue.AsFloat();
}

double TParam::GetAsCurrency() const {
    return GetAsFloat();
}

double TParam::GetAsBCD() const {
    return GetAsFloat();
}

bool TParam::GetAsBoolean() const {
    return IsNull() ? false : FValue.AsBoolean();
}

TDateTime TParam::GetAsDate() const {
    return GetAsDateTime();
}

TDateTime TParam::GetAsTime() const {
    return GetAsDateTime();
}

TDateTime TParam::GetAsDateTime() const {
    return IsNull() ? 0.0 : FValue.AsDateTime();
}

std::string TParam::GetAsMemo() const {
    return GetAsString();
}

std::string TParam::GetAsBlob() const {
    if (IsNull()) return std::string();
    if (FValue.IsArray()) {
        const std::vector<uint8_t> bytes = VarArrayToBytes(FValue);
        return std::string(bytes.begin(), bytes.end());
    }
    return FValue.AsString();
}

void TParam::SetAsString(const std::string& value) {
    FDataType = ftString;
    SetValue(Variant(value));
}

void TParam::SetAsInteger(int32_t value) {
    FDataType = ftInteger;
    SetValue(Variant(static_cast<int>(value)));
}

void TParam::SetAsSmallInt(int value) {
    FDataType = ftSmallint;
    SetValue(Variant(value));
}

void TParam::SetAsWord(int value) {
    FDataType = ftWord;
    SetValue(Variant(value));
}

void TParam::SetAsFloat(double value) {
    FDataType = ftFloat;
    SetValue(Variant(value));
}

void TParam::SetAsCurrency(double value) {
    FDataType = ftCurrency;
    SetValue(Variant(value));
}

void TParam::SetAsBCD(double value) {
    FDataType = ftBCD;
    SetValue(Variant::FromCurrency(value));
}

void TParam::SetAsBoolean(bool value) {
    FDataType = ftBoolean;
    SetValue(Variant(value));
}

void TParam::SetAsDate(TDateTime value) {
    FDataType = ftDate;
    SetValue(Variant::FromDateTime(value));
}

void TParam::SetAsTime(TDateTime value) {
    FDataType = ftTime;
    SetValue(Variant::FromDateTime(value));
}

void TParam::SetAsDateTime(TDateTime value) {
    FDataType = ftDateTime;
    SetValue(Variant::FromDateTime(value));
}

void TParam::SetAsMemo(const std::string& value) {
    FDataType = ftMemo;
    SetValue(Variant(value));
}

void TParam::SetAsBlob(const std::string& bytes) {
    FDataType = ftBlob;
    SetValue(Variant(bytes));
}

void TParam::SetBlobData(const void* buffer, int size) {
    if (!buffer || size <= 0)
        SetAsBlob(std::string());
    else
        SetAsBlob(std::string(static_cast<const char*>(buffer), static_cast<size_t>(size)));
}

int TParam::GetDataSize() const {
    TComponent* owner = FCollection ? dynamic_cast<TComponent*>(FCollection->Owner()) : nullptr;
    switch (FDataType) {
    case ftUnknown: DatabaseErrorFmt("Field '%s' is of an unknown type", {FName}, owner);
    case ftString:
    case ftFixedChar:
    case ftMemo: return static_cast<int>(GetAsString().size()) + 1;
    case ftBoolean:
    case ftSmallint:
    case ftWord: return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime: return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime: return 8;
    case ftBCD: return static_cast<int>(sizeof(TBcd));
    case ftBytes:
    case ftVarBytes:
        if (FValue.ArrayDimCount() != 1) return 0;
        return FValue.ArrayHighBound(1) - FValue.ArrayLowBound(1) + 1;
    default:
        if (IsBlobType(FDataType)) return static_cast<int>(GetAsBlob().size());
        if (IsObjectType(FDataType)) return 0;
        DatabaseErrorFmt("Field '%s' is of an unsupported type", {FName}, owner);
    }
}

void TParam::GetData(void* buffer) const {
    switch (FDataType) {
    case ftString:
    case ftFixedChar:
    case ftMemo: {
        const std::string s = GetAsString();
        std::memcpy(buffer, s.c_str(), s.size() + 1);
        return;
    }
    case ftSmallint: Store<int16_t>(buffer, GetAsSmallInt()); return;
    case ftWord: Store<uint16_t>(buffer, GetAsWord()); return;
    case ftInteger:
    case ftAutoInc: Store<int32_t>(buffer, GetAsInteger()); return;
    case ftBoolean: Store<int16_t>(buffer, GetAsBoolean() ? 1 : 0); return;
    case ftFloat:
    case ftCurrency: Store<double>(buffer, GetAsFloat()); return;
    case ftBCD: {
        TBcd bcd;
        if (!CurrToBCD(GetAsBCD(), bcd)) throw EConvertError("BCD overflow");
        Store<TBcd>(buffer, bcd);
        return;
    }
    case ftDate: Store<int32_t>(buffer, DateTimeToTimeStamp(GetAsDateTime()).Date); return;
    case ftTime: Store<int32_t>(buffer, DateTimeToTimeStamp(GetAsDateTime()).Time); return;
    case ftDateTime: Store<double>(buffer, TimeStampToMSecs(DateTimeToTimeStamp(GetAsDateTime()))); return;
    case ftBytes:
    case ftVarBytes:
        if (FValue.ArrayDimCount() == 1) {
            const std::vector<uint8_t> bytes = VarArrayToBytes(FValue);
            if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
        }
        return;
    default:
        if (IsBlobType(FDataType)) {
            const std::string bytes = GetAsBlob();
            if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
            return;
        }
        // Types without a native form raise GetDataSize's error; object types write nothing.
        GetDataSize();
        return;
    }
}

void TParam::SetData(const void* buffer) {
    switch (FDataType) {
    case ftString:
    case ftFixedChar: SetAsString(static_cast<const char*>(buffer)); return;
    case ftMemo: SetAsMemo(static_cast<const char*>(buffer)); return;
    case ftSmallint: SetAsSmallInt(Load<int16_t>(buffer)); return;
    case ftWord: SetAsWord(Load<uint16_t>(buffer)); return;
    case ftInteger:
    case ftAutoInc: SetAsInteger(Load<int32_t>(buffer)); return;
    case ftBoolean: SetAsBoolean(Load<int16_t>(buffer) != 0); return;
    case ftFloat: SetAsFloat(Load<double>(buffer)); return;
    case ftCurrency: SetAsCurrency(Load<double>(buffer)); return;
    case ftBCD: {
        double value;
        if (!BCDToCurr(Load<TBcd>(buffer), value)) throw EConvertError("Invalid BCD value");
        SetAsBCD(value);
        return;
    }
    case ftDate: SetAsDate(TimeStampToDateTime(TTimeStamp{0, Load<int32_t>(buffer)})); return;
    case ftTime: SetAsTime(TimeStampToDateTime(TTimeStamp{Load<int32_t>(buffer), DateDelta})); return;
    case ftDateTime: SetAsDateTime(TimeStampToDateTime(MSecsToTimeStamp(Load<double>(buffer)))); return;
    default: {
        // Byte and blob data carry no length of their own: refuse rather than guess.
        TComponent* owner = FCollection ? dynamic_cast<TComponent*>(FCollection->Owner()) : nullptr;
        if (FDataType == ftUnknown) DatabaseErrorFmt("Field '%s' is of an unknown type", {FName}, owner);
        DatabaseErrorFmt("Field '%s' is of an unsupported type", {FName}, owner);
    }
    }
}

void TParam::Assign(const TParam& source) {
    if (&source == this) return;
    FDataType = source.FDataType;
    // An unassigned source value stays unassigned, so the copy of an unbound
    // item is equal to it (IsEqual compares the variant types).
    if (source.FValue.IsNull())
        FValue = Variant::Null();
    else
        FValue = source.FValue;
    FBound = source.FBound;
    FName = source.FName;
    if (FParamType == ptUnknown) FParamType = source.FParamType;
}

bool TParam::IsEqual(const TParam& other) const {
    return FName == other.FName && FDataType == other.FDataType && FParamType == other.FParamType &&
           FBound == other.FBound && IsNull() == other.IsNull() && FValue.VarType() == other.FValue.VarType() &&
           FValue == other.FValue;
}

} // namespace vcl
