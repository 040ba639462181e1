// Csconfig: the platform configuration the Open Client headers are written for.
// The binding's record layouts assume it; the checks below stop a build for a
// platform whose layouts would differ. No behaviour.
#pragma once

#include <climits>

namespace Csconfig {

// 64-bit longs and pointers, 32-bit ints (Linux x86-64).
constexpr bool SYB_LP64 = true;
constexpr int CS_BITS_PER_LONG = 64;
constexpr int CS_BITS_PER_POINTER = 64;
constexpr int CS_BITS_PER_INT = 32;

static_assert(sizeof(long) * CHAR_BIT == CS_BITS_PER_LONG, "the binding is laid out for 64-bit long");
static_assert(sizeof(void*) * CHAR_BIT == CS_BITS_PER_POINTER, "the binding is laid out for 64-bit pointers");
static_assert(sizeof(int) * CHAR_BIT == CS_BITS_PER_INT, "the binding is laid out for 32-bit int");

// Unit start and end: nothing to do.
void Initialization();
void Finalization();

} // namespace Csconfig
