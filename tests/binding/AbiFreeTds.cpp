// FreeTDS's side of the ABI comparison: only FreeTDS's installed headers here.
#include "AbiTable.h"

#include <ctpublic.h>

#include "AbiEntries.h"

TAbiTable AbiTableOfFreeTds() {
    TAbiTable table;
#include "AbiConstants.inc"
#include "AbiRecords.inc"
    return table;
}
