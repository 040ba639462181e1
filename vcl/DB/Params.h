// Parameters of datasets: TParam (one named, typed value) and TParams (the
// ordered list of them that owns its items).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/DB/FieldType.h"
#include "vcl/DateTime.h"
#include "vcl/Variants.h"

namespace vcl {

class TField;
class TParams;

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

// One parameter. Belongs to the TParams it was added to (which deletes it);
// a TParam deleted on its own first leaves its list.
class TParam : public TObject {
public:
    explicit TParam(TParams* collection = nullptr);
    TParam(TParams* collection, TParamType paramType);
    ~TParam() override;

    TParams* Collection() const { return FCollection; }

    const std::string& GetName() const { return FName; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    TFieldType GetDataType() const { return FDataType; }
    TFieldType DataType() const { return FDataType; }
    // Sets the type only; do not rely on the value surviving a change of type.
    void SetDataType(TFieldType type) { FDataType = type; }
    TParamType GetParamType() const { return FParamType; }
    TParamType ParamType() const { return FParamType; }
    void SetParamType(TParamType type) { FParamType = type; }
    bool GetBound() const { return FBound; }
    bool Bound() const { return FBound; }
    void SetBound(bool bound) { FBound = bound; }

    const Variant& GetValue() const { return FValue; }
    const Variant& Value() const { return FValue; }
    // Bound := value is not Unassigned; an ftUnknown DataType is taken from the
    // variant's type (smallint/byte ftSmallint, integer ftInteger, currency
    // ftBCD, single/double ftFloat, date ftDateTime, boolean ftBoolean,
    // string ftString; others stay ftUnknown).
    void SetValue(const Variant& value);

    // Null or Unassigned.
    bool IsNull() const { return FValue.IsNull() || FValue.IsEmpty(); }
    // The value becomes Null; Bound does not change.
    void Clear() { FValue = Variant::Null(); }

    // Getters give 0, 0.0, "", false when IsNull; otherwise the value converted
    // by the variant rules (EVariantError when it does not convert).
    std::string GetAsString() const;
    int32_t GetAsInteger() const;
    int16_t GetAsSmallInt() const;
    uint16_t GetAsWord() const;
    double GetAsFloat() const;
    double GetAsCurrency() const;
    double GetAsBCD() const;
    bool GetAsBoolean() const;
    TDateTime GetAsDate() const;
    TDateTime GetAsTime() const;
    TDateTime GetAsDateTime() const;
    std::string GetAsMemo() const;
    std::string GetAsBlob() const;  // the bytes
    std::string AsString() const { return GetAsString(); }
    int32_t AsInteger() const { return GetAsInteger(); }
    int16_t AsSmallInt() const { return GetAsSmallInt(); }
    uint16_t AsWord() const { return GetAsWord(); }
    double AsFloat() const { return GetAsFloat(); }
    double AsCurrency() const { return GetAsCurrency(); }
    double AsBCD() const { return GetAsBCD(); }
    bool AsBoolean() const { return GetAsBoolean(); }
    TDateTime AsDate() const { return GetAsDate(); }
    TDateTime AsTime() const { return GetAsTime(); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    std::string AsMemo() const { return GetAsMemo(); }
    std::string AsBlob() const { return GetAsBlob(); }

    // Each setter sets DataType (ftString, ftInteger, ftSmallint, ftWord,
    // ftFloat, ftCurrency, ftBCD, ftBoolean, ftDate, ftTime, ftDateTime,
    // ftMemo, ftBlob) and then the value, so Bound becomes true.
    void SetAsString(const std::string& value);
    void SetAsInteger(int32_t value);
    void SetAsSmallInt(int value);
    void SetAsWord(int value);
    void SetAsFloat(double value);
    void SetAsCurrency(double value);
    void SetAsBCD(double value);
    void SetAsBoolean(bool value);
    void SetAsDate(TDateTime value);
    void SetAsTime(TDateTime value);
    void SetAsDateTime(TDateTime value);
    void SetAsMemo(const std::string& value);
    void SetAsBlob(const std::string& bytes);
    // AsBlob := those size bytes.
    void SetBlobData(const void* buffer, int size);

    // Bytes of the native value by DataType (strings with their terminator,
    // blobs without). EDatabaseError "Field '%s' is of an unknown type" for
    // ftUnknown, "Field '%s' is of an unsupported type" for types without a
    // native form.
    int GetDataSize() const;
    // Writes GetDataSize() bytes in the native format of DataType.
    void GetData(void* buffer) const;
    // The reverse: reads the native value of DataType and sets it through the
    // typed setter.
    void SetData(const void* buffer);

    // Copies DataType, value, Bound and Name; ParamType only when this item's
    // is ptUnknown. An unassigned value is copied as unassigned, so a copy is
    // IsEqual to its source.
    void Assign(const TParam& source);
    // DataType from the field (ftMemo with Size > 255 becomes ftString),
    // value from the field (Null when null), Bound true, Name the field name.
    // A null field clears the value and the name.
    void AssignField(TField* field);
    // DataType from the field, the given value, Bound true.
    void AssignFieldValue(TField* field, const Variant& value);

    // Same name (case-sensitive), data type, parameter type, Bound, IsNull,
    // variant type and value.
    bool IsEqual(const TParam& other) const;

private:
    friend class TParams;
    TParams* FCollection = nullptr;
    std::string FName;
    TFieldType FDataType = ftUnknown;
    TParamType FParamType = ptUnknown;
    bool FBound = false;
    Variant FValue;
};

// The list of a dataset's parameters; owns its items. Owner (optional, not
// owned) names the errors: a TComponent owner's non-empty Name prefixes them
// as "Name: ".
class TParams : public TObject {
public:
    explicit TParams(TObject* owner = nullptr) : FOwner(owner) {}
    ~TParams() override;

    TObject* Owner() const { return FOwner; }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Outside 0..Count-1: EListError "List index out of bounds (%d)".
    TParam* Items(int index) const;
    TParam* operator[](int index) const { return Items(index); }

    // Appends a new item, never reusing an existing one of that name.
    TParam* CreateParam(TFieldType dataType, const std::string& name, TParamType paramType);
    // Takes ownership; the item leaves the list it was in.
    void AddParam(TParam* value);
    // Removes without deleting; the caller owns the item afterwards.
    void RemoveParam(TParam* value);
    // The first item whose name matches without regard to ASCII case; nullptr.
    TParam* FindParam(const std::string& name) const;
    // EDatabaseError "Parameter '%s' not found" (with the owner prefix).
    TParam* ParamByName(const std::string& name) const;
    // Deletes all items.
    void Clear();

    // A copy in order, repeated names included.
    void Assign(const TParams& source);
    // For each source item in order, the first item of that name here takes
    // it over (TParam::Assign); unmatched items stay as they are.
    void AssignValues(const TParams& source);
    bool IsEqual(const TParams& other) const;

    // Names separated by ';'. One name: its value; several: a variant array
    // of the values in order. Setting with several names takes a 1-dimensional
    // array with an element per name. Unknown names raise ParamByName's error.
    Variant GetParamValues(const std::string& names) const;
    void SetParamValues(const std::string& names, const Variant& value);

    // The items named in a ";"-separated list, in that order; unknown names
    // raise ParamByName's error.
    void GetParamList(std::vector<TParam*>& list, const std::string& names) const;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { if (FUpdateCount > 0) --FUpdateCount; }

private:
    friend class TParam;
    TObject* FOwner;
    std::vector<TParam*> FItems;
    int FUpdateCount = 0;
};

} // namespace vcl
