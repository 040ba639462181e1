// The binding's records, scalar types and constants against FreeTDS's headers.
#include <gtest/gtest.h>

#include "AbiTable.h"

TEST(BindingAbi, MatchesFreeTdsHeadersEntryByEntry) {
    const TAbiTable ours = AbiTableOfBinding();
    const TAbiTable theirs = AbiTableOfFreeTds();

    // Both sides expand the same lists, so a missing key means a broken list.
    ASSERT_EQ(ours.size(), theirs.size());
    ASSERT_GT(ours.size(), 700u); // constants, scalars, records and their members

    std::string mismatches;
    for (const auto& [name, value] : ours) {
        auto it = theirs.find(name);
        if (it == theirs.end()) {
            mismatches += "\n  " + name + ": not in FreeTDS's table";
        } else if (it->second != value) {
            mismatches += "\n  " + name + ": binding " + std::to_string(value) + ", FreeTDS " +
                          std::to_string(it->second);
        }
    }
    EXPECT_TRUE(mismatches.empty()) << "ABI mismatches:" << mismatches;
}
