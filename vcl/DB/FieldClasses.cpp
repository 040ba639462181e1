// The field class for each field type.
#include "vcl/DB/StdFields.h"

namespace vcl {

namespace {
template <typename T>
TField* Make(TComponent* AOwner) {
    return new T(AOwner);
}
} // namespace

TFieldClass DefaultFieldClass(TFieldType Type) {
    switch (Type) {
    case ftString:
    case ftFixedChar:
        return &Make<TStringField>;
    case ftWideString:
        return &Make<TWideStringField>;
    case ftSmallint:
        return &Make<TSmallintField>;
    case ftInteger:
        return &Make<TIntegerField>;
    case ftWord:
        return &Make<TWordField>;
    case ftAutoInc:
        return &Make<TAutoIncField>;
    case ftLargeint:
        return &Make<TLargeintField>;
    case ftBoolean:
        return &Make<TBooleanField>;
    case ftFloat:
        return &Make<TFloatField>;
    case ftCurrency:
        return &Make<TCurrencyField>;
    case ftBCD:
        return &Make<TBCDField>;
    case ftDate:
        return &Make<TDateField>;
    case ftTime:
        return &Make<TTimeField>;
    case ftDateTime:
        return &Make<TDateTimeField>;
    case ftBytes:
        return &Make<TBytesField>;
    case ftVarBytes:
        return &Make<TVarBytesField>;
    case ftMemo:
        return &Make<TMemoField>;
    case ftGraphic:
        return &Make<TGraphicField>;
    case ftFmtMemo:
        return &Make<TFmtMemoField>;
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
        return &Make<TBlobField>;
#if !defined(KESTREL_VCL_VERSION) || KESTREL_VCL_VERSION >= 5
    case ftOraBlob:
        return &Make<TBlobField>;
    case ftOraClob:
        return &Make<TMemoField>;
#endif
    default:
        return nullptr;
    }
}

} // namespace vcl
