// TField: one column of a dataset as the application sees it. A field reads
// and writes its value through its dataset (GetFieldData / SetFieldData) in
// the native format of its class and converts it for the As... accessors.
// A field is a component owned by whoever created it (the dataset for default
// fields, the form for persistent ones); its dataset lists it in Fields but
// does not own it, except that destroying the dataset destroys its fields.
//
// TFields: the dataset's ordered list of its fields (owns nothing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/DB/DBTypes.h"
#include "vcl/DB/FieldType.h"
#include "vcl/Variants.h"

namespace vcl {

class TDataSet;

class TField : public TComponent {
public:
    explicit TField(TComponent* AOwner);
    ~TField() override;

    TDataSet* DataSet() const { return FDataSet; }
    // Only while the old and the new dataset are closed.
    void SetDataSet(TDataSet* ADataSet);

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    const std::string& DisplayLabel() const { return FDisplayLabel; }
    void SetDisplayLabel(const std::string& Value);
    // DisplayLabel, or FieldName when the label is empty; errors name it.
    std::string DisplayName() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }

    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool Value) { SetFieldKind(Value ? fkCalculated : fkData); }
    bool Lookup() const { return FFieldKind == fkLookup; }
    void SetLookup(bool Value) { SetFieldKind(Value ? fkLookup : fkData); }

    // Definition number for data fields, -1 for calculated/lookup, 0 unbound.
    int FieldNo() const { return FFieldNo; }
    TFieldType DataType() const { return FDataType; }
    int Size() const { return FSize; }
    virtual void SetSize(int Value);
    // Bytes of the native value.
    int DataSize() const { return GetDataSize(); }
    // Calculated fields: position in the calculated area; blob fields: index
    // among the dataset's blob fields.
    int Offset() const { return FOffset; }
    virtual bool IsBlob() const { return false; }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Index() const;
    // Not ReadOnly, a data field, and the dataset can be modified.
    bool CanModify() const;

    // Lookup information.
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const std::string& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
    const std::string& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
    const std::string& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }

    // Raw access in the native format. GetData: true when not null; Buffer
    // none asks only for null-ness. SetData: none sets null.
    bool GetData(void* Buffer);
    void SetData(const void* Buffer);
    // Runs OnValidate with Buffer as the pending value (what the field reads
    // meanwhile); an exception from the handler aborts the write.
    void Validate(const void* Buffer);

    bool IsNull() { return GetIsNull(); }
    virtual void Clear() { SetData(nullptr); }

    std::string AsString() { return GetAsString(); }
    void SetAsString(const std::string& Value) { SetAsStringValue(Value); }
    int32_t AsInteger() { return GetAsInteger(); }
    void SetAsInteger(int32_t Value) { SetAsIntegerValue(Value); }
    double AsFloat() { return GetAsFloat(); }
    void SetAsFloat(double Value) { SetAsFloatValue(Value); }
    // Currency is a double here, as the float fields keep it.
    double AsCurrency() { return GetAsCurrency(); }
    void SetAsCurrency(double Value) { SetAsCurrencyValue(Value); }
    bool AsBoolean() { return GetAsBoolean(); }
    void SetAsBoolean(bool Value) { SetAsBooleanValue(Value); }
    TDateTime AsDateTime() { return GetAsDateTime(); }
    void SetAsDateTime(TDateTime Value) { SetAsDateTimeValue(Value); }
    // Null when the field is null.
    Variant AsVariant() { return GetAsVariant(); }
    // Null clears; other values go through the class's own setter.
    void SetAsVariant(const Variant& Value);
    Variant Value() { return GetAsVariant(); }
    void SetValue(const Variant& Value) { SetAsVariant(Value); }
    // The value in another state's buffer (dsOldValue: as editing began).
    Variant OldValue() { return GetStateValue(dsOldValue); }
    Variant CurValue() { return GetStateValue(dsCurValue); }
    Variant NewValue() { return GetStateValue(dsNewValue); }
    // InsertRecord/AppendRecord: Unassigned leaves the field, Null clears.
    void AssignValue(const Variant& Value);
    std::string DisplayText() { return GetText(true); }
    std::string Text() { return GetText(false); }

    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;
    TFieldGetTextEvent OnGetText;

    // Framework calls.
    virtual void Change();
    virtual void FreeBuffers() {}
    virtual void Bind(bool Binding);
    void FocusControl();
    // Lookup fields: fetch the value from the lookup dataset (calc state).
    void CalcLookupValue();

protected:
    virtual int GetDataSize() const { return 0; }
    virtual bool GetIsNull() { return !GetData(nullptr); }
    virtual std::string GetAsString();
    virtual void SetAsStringValue(const std::string& Value);
    virtual int32_t GetAsInteger();
    virtual void SetAsIntegerValue(int32_t Value);
    virtual double GetAsFloat();
    virtual void SetAsFloatValue(double Value);
    virtual double GetAsCurrency() { return GetAsFloat(); }
    virtual void SetAsCurrencyValue(double Value) { SetAsFloatValue(Value); }
    virtual bool GetAsBoolean();
    virtual void SetAsBooleanValue(bool Value);
    virtual TDateTime GetAsDateTime();
    virtual void SetAsDateTimeValue(TDateTime Value);
    virtual Variant GetAsVariant();
    virtual void SetVarValue(const Variant& Value);
    virtual std::string GetText(bool DisplayText);
    // "Cannot access field '%s' as type %s".
    [[noreturn]] void AccessError(const std::string& TypeName) const;
    [[noreturn]] void RangeError(double Value, double Min, double Max) const;
    void SetDataType(TFieldType Value) { FDataType = Value; }
    void CheckInactive();
    // Raises "Field '%s' has no dataset" when none.
    TDataSet* CheckDataSet() const;
    Variant GetStateValue(TDataSetState State);
    // A zeroed scratch buffer for one native value, DataSize plus slack.
    std::vector<char> ValueBuffer() const;

private:
    TDataSet* FDataSet = nullptr;
    std::string FFieldName;
    std::string FDisplayLabel;
    TFieldKind FFieldKind = fkData;
    TFieldType FDataType = ftUnknown;
    int FFieldNo = 0;
    int FSize = 0;
    int FOffset = 0;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FVisible = true;
    bool FValidating = false;
    const void* FValueBuffer = nullptr;
    TDataSet* FLookupDataSet = nullptr;
    std::string FKeyFields;
    std::string FLookupKeyFields;
    std::string FLookupResultField;

    friend class TDataSet;
    friend class TFields;
    friend class TFieldDef;
};

class TFields : public TObject {
public:
    explicit TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}

    int Count() const { return static_cast<int>(FList.size()); }
    // EListError "List index out of bounds (%d)" outside 0..Count-1.
    TField* Fields(int Index) const;
    TField* operator[](int Index) const { return Fields(Index); }
    TField* FindField(const std::string& FieldName) const;
    // "Field '%s' not found", prefixed with the dataset's name.
    TField* FieldByName(const std::string& FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    int IndexOf(const TField* Field) const;
    TDataSet* DataSet() const { return FDataSet; }
    // "Duplicate field name '%s'" when another field has the name.
    void CheckFieldName(const std::string& FieldName, const TField* Except = nullptr) const;

    void Add(TField* Field);
    void Remove(TField* Field);
    void Clear() { FList.clear(); }

private:
    TDataSet* FDataSet;
    std::vector<TField*> FList;
};

} // namespace vcl
