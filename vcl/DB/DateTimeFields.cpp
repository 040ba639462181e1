// TDateTimeField, TDateField and TTimeField: TDateTime outside, the native
// day number / milliseconds inside.
#include <cstring>

#include "vcl/DB/StdFields.h"

namespace vcl {

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTime); }

int TDateTimeField::GetDataSize() const { return DataType() == ftDateTime ? 8 : 4; }

bool TDateTimeField::GetValue(TDateTime& Value) {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    switch (DataType()) {
    case ftDate: {
        int32_t day;
        std::memcpy(&day, buffer.data(), 4);
        Value = TimeStampToDateTime(TTimeStamp{0, day});
        break;
    }
    case ftTime: {
        int32_t ms;
        std::memcpy(&ms, buffer.data(), 4);
        Value = TimeStampToDateTime(TTimeStamp{ms, DateDelta});
        break;
    }
    default: {
        double ms;
        std::memcpy(&ms, buffer.data(), 8);
        Value = TimeStampToDateTime(MSecsToTimeStamp(ms));
        break;
    }
    }
    return true;
}

TDateTime TDateTimeField::GetAsDateTime() {
    TDateTime v;
    return GetValue(v) ? v : 0.0;
}

void TDateTimeField::SetAsDateTimeValue(TDateTime Value) {
    const TTimeStamp ts = DateTimeToTimeStamp(Value);
    std::vector<char> buffer = ValueBuffer();
    switch (DataType()) {
    case ftDate:
        std::memcpy(buffer.data(), &ts.Date, 4);
        break;
    case ftTime:
        std::memcpy(buffer.data(), &ts.Time, 4);
        break;
    default: {
        const double ms = TimeStampToMSecs(ts);
        std::memcpy(buffer.data(), &ms, 8);
        break;
    }
    }
    SetData(buffer.data());
}

double TDateTimeField::GetAsFloat() { return GetAsDateTime(); }

void TDateTimeField::SetAsFloatValue(double Value) { SetAsDateTimeValue(Value); }

std::string TDateTimeField::GetAsString() {
    TDateTime v;
    if (!GetValue(v)) return std::string();
    switch (DataType()) {
    case ftDate:
        return DateToStr(v);
    case ftTime:
        return TimeToStr(v);
    default:
        return DateTimeToStr(v);
    }
}

void TDateTimeField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    switch (DataType()) {
    case ftDate:
        SetAsDateTimeValue(StrToDate(Value));
        break;
    case ftTime:
        SetAsDateTimeValue(StrToTime(Value));
        break;
    default:
        SetAsDateTimeValue(StrToDateTime(Value));
        break;
    }
}

std::string TDateTimeField::GetText(bool DisplayText) {
    std::string text;
    TDateTime v;
    if (DisplayText && !FDisplayFormat.empty() && GetValue(v))
        text = FormatDateTime(FDisplayFormat, v);
    else
        text = GetAsString();
    if (OnGetText) OnGetText(this, text, DisplayText);
    return text;
}

Variant TDateTimeField::GetAsVariant() {
    TDateTime v;
    return GetValue(v) ? Variant::FromDateTime(v) : Variant::Null();
}

void TDateTimeField::SetVarValue(const Variant& Value) { SetAsDateTimeValue(Value.AsDateTime()); }

} // namespace vcl
