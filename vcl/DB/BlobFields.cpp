// TBlobField and its memo and graphic variants: every accessor goes through
// a stream from the dataset's CreateBlobStream.
#include <memory>

#include "vcl/Classes/Streams.h"
#include "vcl/DB/DataSet.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

namespace {

std::unique_ptr<TStream> OpenBlob(TDataSet* DataSet, TField* Field, TBlobStreamMode Mode) {
    return std::unique_ptr<TStream>(DataSet->CreateBlobStream(Field, Mode));
}

} // namespace

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) {
    SetDataType(ftMemo);
    SetTransliterate(true);
}

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftGraphic); }

TFmtMemoField::TFmtMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftFmtMemo); }

int TBlobField::BlobSize() {
    auto stream = OpenBlob(CheckDataSet(), this, bmRead);
    return stream ? static_cast<int>(stream->Size()) : 0;
}

bool TBlobField::GetIsNull() {
    if (!FModified) return TField::GetIsNull();
    auto stream = OpenBlob(CheckDataSet(), this, bmRead);
    return !stream || stream->Size() == 0;
}

std::string TBlobField::GetAsString() {
    auto stream = OpenBlob(CheckDataSet(), this, bmRead);
    if (!stream) return std::string();
    std::string result(static_cast<size_t>(stream->Size()), '\0');
    stream->Seek(0, soBeginning);
    stream->ReadBuffer(result.data(), static_cast<int64_t>(result.size()));
    return result;
}

void TBlobField::SetAsStringValue(const std::string& Value) {
    auto stream = OpenBlob(CheckDataSet(), this, bmWrite);
    // A dataset without blob streams cannot take the value; say so.
    if (!stream) AccessError("String");
    stream->WriteBuffer(Value.data(), static_cast<int64_t>(Value.size()));
}

void TBlobField::LoadFromStream(TStream& Stream) {
    auto stream = OpenBlob(CheckDataSet(), this, bmWrite);
    if (!stream) AccessError("Blob");
    Stream.Seek(0, soBeginning);
    stream->CopyFrom(Stream, 0);
}

void TBlobField::SaveToStream(TStream& Stream) {
    auto stream = OpenBlob(CheckDataSet(), this, bmRead);
    if (!stream || stream->Size() == 0) return;
    Stream.CopyFrom(*stream, 0);
}

void TBlobField::Clear() { OpenBlob(CheckDataSet(), this, bmWrite); }

void TBlobField::FreeBuffers() {
    if (DataSet()) DataSet()->CloseBlob(this);
    FModified = false;
}

Variant TBlobField::GetAsVariant() { return IsNull() ? Variant::Null() : Variant(GetAsString()); }

void TBlobField::SetVarValue(const Variant& Value) { SetAsStringValue(Value.AsString()); }

std::string TBlobField::GetText(bool DisplayText) {
    std::string text = DataType() == ftMemo ? GetAsString() : (DisplayText ? "(BLOB)" : GetAsString());
    if (OnGetText) OnGetText(this, text, DisplayText);
    return text;
}

} // namespace vcl
