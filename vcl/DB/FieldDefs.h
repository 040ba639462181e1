// TFieldDefs / TFieldDef: the descriptions of a dataset's physical fields, from
// which default fields are created and against which fields are bound.
// TFieldDefs owns its definitions; the dataset owns the TFieldDefs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/DB/DBTypes.h"
#include "vcl/DB/FieldType.h"

namespace vcl {

class TFieldDefs;

enum TFieldAttribute : unsigned {
    faHiddenCol = 1u,
    faReadonly = 2u,
    faRequired = 4u,
    faLink = 8u,
    faUnNamed = 16u,
    faFixed = 32u,
};
using TFieldAttributes = unsigned;

class TFieldDef : public TObject {
public:
    TFieldDef(TFieldDefs* Owner, int FieldNo);

    const std::string& Name() const { return FName; }
    // Renames; "Duplicate name '%s' in TFieldDefs" when another definition has
    // the name (compared without regard to case).
    void SetName(const std::string& Value);
    std::string DisplayName() const { return FName; }
    void SetDisplayName(const std::string& Value) { SetName(Value); }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    bool Required() const { return (FAttributes & faRequired) != 0; }
    void SetRequired(bool Value);
    TFieldAttributes Attributes() const { return FAttributes; }
    void SetAttributes(TFieldAttributes Value);
    int FieldNo() const { return FFieldNo; }
    void SetFieldNo(int Value) { FFieldNo = Value; }
    bool InternalCalcField() const { return FInternalCalcField; }
    void SetInternalCalcField(bool Value);
    int Index() const;
    TFieldClass FieldClass() const;
    // A field of the class for the type, owned by Owner, bound to this
    // definition's dataset. "Field '%s' is of an unknown type" without a class.
    TField* CreateField(TComponent* Owner);

private:
    friend class TFieldDefs;
    void Changed();
    TFieldDefs* FOwner;
    std::string FName;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FPrecision = 0;
    TFieldAttributes FAttributes = 0;
    int FFieldNo;
    bool FInternalCalcField = false;
};

class TFieldDefs : public TObject {
public:
    explicit TFieldDefs(TDataSet* ADataSet) : FDataSet(ADataSet) {}

    TDataSet* DataSet() const { return FDataSet; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // EListError "List index out of bounds (%d)" outside 0..Count-1.
    TFieldDef* Items(int Index) const;
    TFieldDef* operator[](int Index) const { return Items(Index); }
    // "Field name missing" for an empty name; duplicate names are refused.
    void Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
    // A blank definition (ftUnknown, FieldNo = the new count).
    TFieldDef* AddFieldDef();
    void Clear();
    // Without regard to case; -1 when absent.
    int IndexOf(const std::string& Name) const;
    // "Field '%s' not found" (with the dataset's name) when absent.
    TFieldDef* Find(const std::string& Name) const;

    // Describes the dataset's fields unless Updated; then Updated is true.
    void Update();
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { --FUpdateCount; }

private:
    friend class TFieldDef;
    void Changed() {
        if (FUpdateCount == 0) FUpdated = false;
    }
    TDataSet* FDataSet;
    std::vector<std::unique_ptr<TFieldDef>> FItems;
    bool FUpdated = false;
    int FUpdateCount = 0;
};

} // namespace vcl
