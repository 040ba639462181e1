// Storage of variant arrays (private to the variant implementation).
#pragma once

#include <utility>
#include <vector>

#include "vcl/Variants.h"

namespace vcl {

// Elements in row-major order of the index tuple (last index fastest).
struct TVarArrayData {
    TVarType ElemType = varVariant;
    std::vector<std::pair<int, int>> Bounds;
    std::vector<Variant> Items;

    // Position of the element, or EVariantError "Variant or safe array index
    // out of bounds" for a wrong index count or an index outside its bounds.
    size_t Offset(const std::vector<int>& indices) const;
};

} // namespace vcl
