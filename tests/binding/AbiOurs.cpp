// The binding's side of the ABI comparison: only our headers here.
#include "AbiTable.h"

#include "binding/Csconfig.h"
#include "binding/Ctpublic.h"

using namespace Ctpublic;

#include "AbiEntries.h"

TAbiTable AbiTableOfBinding() {
    TAbiTable table;
#include "AbiConstants.inc"
#include "AbiRecords.inc"
    return table;
}
