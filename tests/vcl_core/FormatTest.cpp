#include <gtest/gtest.h>

#include "vcl/SysUtils.h"

using namespace vcl;

TEST(Format, FillsDecimalAndStringDirectivesInOrder) {
    EXPECT_EQ(Format("Message %d,Level %d: %s ", {208, 16, "x not found"}), "Message 208,Level 16: x not found ");
    EXPECT_EQ(Format("100%% of %s", {"rows"}), "100% of rows");
    EXPECT_EQ(Format("%d", {-2147483647 - 1}), "-2147483648");
}

TEST(Format, RejectsMismatchedOrMissingArguments) {
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("%x", {1}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
}

TEST(Strings, TrimRemovesBlanksAndControlCharactersOnly) {
    struct Case { std::string in, trim, left, right; } cases[] = {
        {"  a b \t\r\n", "a b", "a b \t\r\n", "  a b"},
        {"\x01x\x1f", "x", "x\x1f", "\x01x"},
        {"   ", "", "", ""},
        {"\xa0y\xa0", "\xa0y\xa0", "\xa0y\xa0", "\xa0y\xa0"}, // bytes above 127 are kept
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trim(c.in), c.trim);
        EXPECT_EQ(TrimLeft(c.in), c.left);
        EXPECT_EQ(TrimRight(c.in), c.right);
    }
}

TEST(Strings, UpperCaseMapsOnlyAsciiLetters) {
    EXPECT_EQ(UpperCase("sales_1 \xe9t\xe9"), "SALES_1 \xe9T\xe9");
    EXPECT_EQ(LowerCase("ABC\xc9"), "abc\xc9");
}

TEST(Assertion, NamesTheCheckTheUnitAndTheLine) {
    try {
        AssertFail("ct_bind", "CTPUBLIC", 2);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Assertion failure: ct_bind (CTPUBLIC, line 2)");
    }
    EXPECT_NO_THROW(Assert(true, "never", "Unit", 1));
}

// Both come from SysUtils alone, without the dataset framework.
TEST(Exceptions, AbortAndInvalidCastCarryTheirTexts) {
    try {
        Abort();
        FAIL();
    } catch (const EAbort& e) {
        EXPECT_EQ(e.Message(), "Operation aborted");
    }
    const Exception& cast = EInvalidCast();
    EXPECT_EQ(cast.Message(), "Invalid class typecast");
    EXPECT_EQ(EInvalidCast("other").Message(), "other");
}
