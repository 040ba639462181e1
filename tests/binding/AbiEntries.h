// The entry shapes shared by both ABI tables; the includer supplies the names.
#pragma once

#include <cstddef>
#include <type_traits>

#define KESTREL_ABI_CONSTANT(name) table[#name] = static_cast<long long>(name);
#define KESTREL_ABI_RECORD(type)                                                                 \
    table["sizeof " #type] = static_cast<long long>(sizeof(type));                               \
    table["alignof " #type] = static_cast<long long>(alignof(type));
#define KESTREL_ABI_MEMBER(type, member)                                                         \
    table["offsetof " #type "." #member] = static_cast<long long>(offsetof(type, member));       \
    table["sizeof " #type "." #member] = static_cast<long long>(sizeof(static_cast<type*>(nullptr)->member));
#define KESTREL_ABI_SCALAR(type)                                                                 \
    table["sizeof " #type] = static_cast<long long>(sizeof(type));                               \
    table["signed " #type] = std::is_signed_v<type> ? 1 : 0;                                     \
    table["floating " #type] = std::is_floating_point_v<type> ? 1 : 0;
