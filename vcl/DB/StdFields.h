// The field classes, one per field type, with the native value formats they
// exchange with their dataset:
//   TStringField (ftString, ftFixedChar), TWideStringField: Size + 1 bytes,
//     8-bit text, zero-terminated;
//   TSmallintField, TWordField: 2 bytes; TIntegerField, TAutoIncField: 4;
//   TLargeintField: 8; TBooleanField: 2 (0 false, else true; writes 1);
//   TFloatField, TCurrencyField: an 8-byte double; TBCDField: a 34-byte TBcd;
//   TDateField: 4-byte day number (0001-01-01 is day 1); TTimeField: 4-byte
//     milliseconds since midnight; TDateTimeField: a double of milliseconds
//     since 0001-01-01 (day number * 86400000 + milliseconds of the day);
//   TBytesField: Size bytes; TVarBytesField: 2-byte length then the bytes;
//   blob fields: no native value, they go through CreateBlobStream.
#pragma once

#include <cstdint>
#include <string>

#include "vcl/DB/Field.h"

namespace vcl {

class TStream;

class TStringField : public TField {
public:
    explicit TStringField(TComponent* AOwner);
    bool FixedChar() const { return FFixedChar; }
    void SetFixedChar(bool Value);
    // Text passes through the dataset's Translate when set (default true).
    bool Transliterate() const { return FTransliterate; }
    void SetTransliterate(bool Value) { FTransliterate = Value; }
    // False when null.
    bool GetValue(std::string& Value);

protected:
    int GetDataSize() const override { return Size() + 1; }
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    int32_t GetAsInteger() override;
    void SetAsIntegerValue(int32_t Value) override;
    double GetAsFloat() override;
    void SetAsFloatValue(double Value) override;
    bool GetAsBoolean() override;
    void SetAsBooleanValue(bool Value) override;
    TDateTime GetAsDateTime() override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;

private:
    bool FFixedChar = false;
    bool FTransliterate = true;
};

// 8-bit text like TStringField; the record layout keeps it the same way.
class TWideStringField : public TStringField {
public:
    explicit TWideStringField(TComponent* AOwner);
};

// Common base of the number fields.
class TNumericField : public TField {
public:
    using TField::TField;
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value) { FDisplayFormat = Value; }

private:
    std::string FDisplayFormat;
};

// 32-bit and narrower integers; the range check uses MinValue/MaxValue when
// either is nonzero, else the type's own range.
class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* AOwner);
    int32_t MinValue() const { return FMinValue; }
    void SetMinValue(int32_t Value) { FMinValue = Value; }
    int32_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(int32_t Value) { FMaxValue = Value; }
    bool GetValue(int32_t& Value);

protected:
    int GetDataSize() const override { return 4; }
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    int32_t GetAsInteger() override;
    void SetAsIntegerValue(int32_t Value) override;
    double GetAsFloat() override;
    void SetAsFloatValue(double Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;
    void CheckRange(int64_t Value) const;
    virtual void ReadNative(const char* Data, int32_t& Value) const;
    virtual void WriteNative(char* Data, int32_t Value) const;
    int64_t FMinRange = INT32_MIN;
    int64_t FMaxRange = INT32_MAX;

private:
    int32_t FMinValue = 0;
    int32_t FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* AOwner);

protected:
    int GetDataSize() const override { return 2; }
    void ReadNative(const char* Data, int32_t& Value) const override;
    void WriteNative(char* Data, int32_t Value) const override;
};

class TWordField : public TIntegerField {
public:
    explicit TWordField(TComponent* AOwner);

protected:
    int GetDataSize() const override { return 2; }
    void ReadNative(const char* Data, int32_t& Value) const override;
    void WriteNative(char* Data, int32_t Value) const override;
};

class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TNumericField {
public:
    explicit TLargeintField(TComponent* AOwner);
    int64_t AsLargeInt();
    void SetAsLargeInt(int64_t Value);
    bool GetValue(int64_t& Value);

protected:
    int GetDataSize() const override { return 8; }
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    int32_t GetAsInteger() override;
    void SetAsIntegerValue(int32_t Value) override;
    double GetAsFloat() override;
    void SetAsFloatValue(double Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;
};

class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* AOwner);
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value) { FCurrency = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    // The range is checked only when either bound is nonzero.
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }

protected:
    int GetDataSize() const override { return 8; }
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    int32_t GetAsInteger() override;
    void SetAsIntegerValue(int32_t Value) override;
    double GetAsFloat() override;
    void SetAsFloatValue(double Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;

private:
    bool FCurrency = false;
    int FPrecision = 15;
    double FMinValue = 0;
    double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* AOwner);
};

// Packed decimal: Precision digits in total, SignSpecialPlaces bit 7 the sign
// and bits 0..5 the decimal places, Fraction two digits a byte, high nibble
// first.
struct TBcd {
    uint8_t Precision;
    uint8_t SignSpecialPlaces;
    uint8_t Fraction[32];
};
static_assert(sizeof(TBcd) == 34);
bool BCDToCurr(const TBcd& Bcd, double& Value);
bool CurrToBCD(double Value, TBcd& Bcd, int Precision = 32, int Decimals = 4);

class TBCDField : public TNumericField {
public:
    explicit TBCDField(TComponent* AOwner);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }

protected:
    int GetDataSize() const override { return static_cast<int>(sizeof(TBcd)); }
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    int32_t GetAsInteger() override;
    void SetAsIntegerValue(int32_t Value) override;
    double GetAsFloat() override;
    void SetAsFloatValue(double Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;

private:
    int FPrecision = 0;
};

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* AOwner);
    // 'True;False' by default: the texts AsString gives and accepts.
    const std::string& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const std::string& Value);

protected:
    int GetDataSize() const override { return 2; }
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    bool GetAsBoolean() override;
    void SetAsBooleanValue(bool Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;

private:
    std::string FDisplayValues = "True;False";
    std::string FTextValues[2] = {"False", "True"};
};

// Date, time and date-time fields convert between TDateTime and the native
// value of their type themselves.
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* AOwner);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value) { FDisplayFormat = Value; }
    bool GetValue(TDateTime& Value);

protected:
    int GetDataSize() const override;
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    double GetAsFloat() override;
    void SetAsFloatValue(double Value) override;
    TDateTime GetAsDateTime() override;
    void SetAsDateTimeValue(TDateTime Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;
    std::string GetText(bool DisplayText) override;

private:
    std::string FDisplayFormat;
};

class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* AOwner);
};

class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* AOwner);
};

// Raw bytes; AsVariant is a variant array of bytes, AsString the bytes.
class TBinaryField : public TField {
public:
    using TField::TField;

protected:
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;
    // The value's bytes; false when null.
    virtual bool GetBytes(std::string& Bytes) = 0;
    virtual void SetBytes(const std::string& Bytes) = 0;
};

class TBytesField : public TBinaryField {
public:
    explicit TBytesField(TComponent* AOwner);

protected:
    int GetDataSize() const override { return Size(); }
    bool GetBytes(std::string& Bytes) override;
    void SetBytes(const std::string& Bytes) override;
};

class TVarBytesField : public TBinaryField {
public:
    explicit TVarBytesField(TComponent* AOwner);

protected:
    int GetDataSize() const override { return Size() + 2; }
    bool GetBytes(std::string& Bytes) override;
    void SetBytes(const std::string& Bytes) override;
};

// Blob values go through DataSet->CreateBlobStream; each accessor opens a
// stream, uses it and frees it. Modified is set by the dataset's write stream
// and cleared by FreeBuffers (post, cancel, delete, close).
class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* AOwner);
    bool IsBlob() const override { return true; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    // Memo fields: the descendant's stream applies Translate when set.
    bool Transliterate() const { return FTransliterate; }
    void SetTransliterate(bool Value) { FTransliterate = Value; }
    TFieldType BlobType() const { return DataType(); }
    void SetBlobType(TFieldType Value) { SetDataType(Value); }
    int BlobSize();
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);
    void Clear() override;
    void FreeBuffers() override;

protected:
    int GetDataSize() const override { return 0; }
    bool GetIsNull() override;
    std::string GetAsString() override;
    void SetAsStringValue(const std::string& Value) override;
    Variant GetAsVariant() override;
    void SetVarValue(const Variant& Value) override;
    std::string GetText(bool DisplayText) override;

private:
    bool FModified = false;
    bool FTransliterate = false;
};

class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(TComponent* AOwner);
};

class TFmtMemoField : public TBlobField {
public:
    explicit TFmtMemoField(TComponent* AOwner);
};

// The class that serves each field type; none for the types without one
// (ftUnknown, ftCursor, object and interface types).
TFieldClass DefaultFieldClass(TFieldType Type);

} // namespace vcl
