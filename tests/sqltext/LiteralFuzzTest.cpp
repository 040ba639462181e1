// Generated string values from the characters that break naive quoting:
// whatever the value, the text sent holds it as exactly one single-quoted
// literal that reads back as the value, and the rest of the statement is intact.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <string>

#include "QueryText.h"
#include "vcl/SysUtils.h"

using namespace vcl;

namespace {

// A lexer of its own: reads one single-quoted SQL string at the front of
// text ('' stands for one quote), returns its content and removes it from text.
std::optional<std::string> TakeQuotedLiteral(std::string& text) {
    if (text.empty() || text[0] != '\'') return std::nullopt;
    std::string content;
    size_t i = 1;
    for (;;) {
        if (i >= text.size()) return std::nullopt;  // never closed
        if (text[i] == '\'') {
            if (i + 1 < text.size() && text[i + 1] == '\'') {
                content += '\'';
                i += 2;
                continue;
            }
            break;
        }
        content += text[i++];
    }
    text.erase(0, i + 1);
    return content;
}

} // namespace

TEST(SqlLiteralGenerated, StringValuesStayOneLiteral) {
    unsigned seed = 20010103;
    if (const char* s = std::getenv("SQLTEXT_SEED")) seed = static_cast<unsigned>(std::strtoul(s, nullptr, 10));
    std::cout << "seed " << seed << " (replay with SQLTEXT_SEED)\n";
    std::mt19937 rng(seed);
    const std::string alphabet("'\"\\-/*:;\r\n\t\x01\x1a\x7f\xC0\xFF a0\0", 21);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 24);

    const std::string prefix = "select * from t where a = ";
    const std::string rest = " and b = 7 -- :c\r\n";
    TQueryText q;
    q.SetLines("select * from t where a = :v and b = :w -- :c");
    ASSERT_EQ(q.Params.Count(), 2);
    q.Params.Items(1)->SetAsInteger(7);

    int refused = 0;
    for (int round = 0; round < 5000; ++round) {
        std::string value;
        for (size_t n = length(rng); n > 0; --n) value += alphabet[pick(rng)];
        SCOPED_TRACE(::testing::PrintToString(value));
        q.Params.Items(0)->SetAsString(value);
        if (value.find('\0') != std::string::npos) {
            EXPECT_THROW(q.Text(), Exception);
            ++refused;
            continue;
        }
        std::string text = q.Text();
        ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
        text.erase(0, prefix.size());
        const std::optional<std::string> content = TakeQuotedLiteral(text);
        ASSERT_TRUE(content.has_value());
        ASSERT_EQ(*content, value);
        ASSERT_EQ(text, rest);
    }
    // Both paths were taken.
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 5000);
}
