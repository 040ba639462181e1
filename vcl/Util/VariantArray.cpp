// Variant arrays: creation, bounds and element access.
#include "vcl/Util/VariantArray.h"

namespace vcl {

namespace {

// Enough for any array the components build; refuses absurd bounds before
// they turn into an allocation failure.
constexpr size_t MaxElements = size_t(1) << 28;

bool IsElementType(TVarType t) {
    switch (t) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varBoolean:
    case varVariant:
    case varByte:
    case varInt64:
    case varString: return true;
    default: return false;
    }
}

} // namespace

size_t TVarArrayData::Offset(const std::vector<int>& indices) const {
    if (indices.size() != Bounds.size()) throw EVariantError(SVarArrayBounds);
    size_t offset = 0;
    for (size_t i = 0; i < Bounds.size(); ++i) {
        const auto [low, high] = Bounds[i];
        if (indices[i] < low || indices[i] > high) throw EVariantError(SVarArrayBounds);
        const size_t extent = static_cast<size_t>(static_cast<int64_t>(high) - low + 1);
        offset = offset * extent + static_cast<size_t>(static_cast<int64_t>(indices[i]) - low);
    }
    return offset;
}

Variant Variant::CreateArray(const std::vector<std::pair<int, int>>& bounds, TVarType elemType) {
    if (bounds.empty() || !IsElementType(elemType)) throw EVariantError(SVarArrayCreate);
    size_t total = 1;
    for (const auto& [low, high] : bounds) {
        const int64_t extent = static_cast<int64_t>(high) - low + 1;
        if (extent < 0) throw EVariantError(SVarArrayCreate);
        if (extent > 0 && total > MaxElements / static_cast<size_t>(extent)) throw EVariantError(SVarArrayCreate);
        total *= static_cast<size_t>(extent);
    }
    std::unique_ptr<TVarArrayData, TVarArrayDeleter> data(new TVarArrayData);
    data->ElemType = elemType;
    data->Bounds = bounds;
    const Variant zero = elemType == varVariant  ? Variant()
                         : elemType == varString ? Variant(std::string())
                                                 : Variant(0).AsType(elemType);
    data->Items.assign(total, zero);
    Variant v;
    v.FArray = std::move(data);
    return v;
}

const TVarArrayData& Variant::Array() const {
    if (!FArray) throw EVariantError(SVarNotArray);
    return *FArray;
}

int Variant::ArrayDimCount() const noexcept {
    return FArray ? static_cast<int>(FArray->Bounds.size()) : 0;
}

int Variant::ArrayLowBound(int dim) const {
    const TVarArrayData& a = Array();
    if (dim < 1 || dim > static_cast<int>(a.Bounds.size())) throw EVariantError(SVarArrayBounds);
    return a.Bounds[static_cast<size_t>(dim - 1)].first;
}

int Variant::ArrayHighBound(int dim) const {
    const TVarArrayData& a = Array();
    if (dim < 1 || dim > static_cast<int>(a.Bounds.size())) throw EVariantError(SVarArrayBounds);
    return a.Bounds[static_cast<size_t>(dim - 1)].second;
}

TVarType Variant::ArrayElemType() const {
    return Array().ElemType;
}

Variant Variant::GetElement(const std::vector<int>& indices) const {
    const TVarArrayData& a = Array();
    return a.Items[a.Offset(indices)];
}

void Variant::PutElement(const std::vector<int>& indices, const Variant& value) {
    const TVarArrayData& a = Array();
    const size_t at = a.Offset(indices);
    // Convert before storing so a failed conversion leaves the element as it was.
    Variant stored = value.AsType(a.ElemType);
    FArray->Items[at] = std::move(stored);
}

Variant VarArrayCreate(const std::vector<std::pair<int, int>>& bounds, TVarType elemType) {
    return Variant::CreateArray(bounds, elemType);
}

Variant VarArrayOf(const std::vector<Variant>& values) {
    Variant v = Variant::CreateArray({{0, static_cast<int>(values.size()) - 1}});
    for (size_t i = 0; i < values.size(); ++i) v.PutElement({static_cast<int>(i)}, values[i]);
    return v;
}

Variant VarArrayFromBytes(const void* data, size_t size) {
    if (size > MaxElements) throw EVariantError(SVarArrayCreate);
    Variant v = Variant::CreateArray({{0, static_cast<int>(size) - 1}}, varByte);
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) v.PutElement({static_cast<int>(i)}, Variant::FromByte(bytes[i]));
    return v;
}

std::vector<uint8_t> VarArrayToBytes(const Variant& v) {
    if (v.ArrayDimCount() != 1) throw EVariantError(SInvalidVarCast);
    const int low = v.ArrayLowBound(1), high = v.ArrayHighBound(1);
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(static_cast<int64_t>(high) - low + 1));
    for (int i = low; i <= high; ++i) {
        out.push_back(static_cast<uint8_t>(v.GetElement({i}).AsType(varByte).AsInteger()));
    }
    return out;
}

} // namespace vcl
