// Unbound columns: text, image and long char/binary read with ct_get_data in
// pieces, every later column with them, values that do not fit refused.
#include <algorithm>

#include "tests/decode/DecodeStore.h"

namespace DecodeTests {

using FakeOC::Column;
using FakeOC::Value;

namespace {
constexpr CS_INT Huge = 0x7FFFFFFF;

std::string Pattern(size_t n, char salt) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + static_cast<size_t>(salt)) % 251);
    return s;
}

int ArgInt(const FakeOC::Call& c, size_t i) { return std::stoi(c.Args.at(i)); }
} // namespace

TEST_F(DecodeTest, TextAndImageAreReadInPiecesIntoBlobsWithoutAMaxlengthBuffer) {
    const std::string text = Pattern(200000, 't'); // longer than any first piece
    const std::string image = Pattern(150000, 'i');
    auto store = NewStore();
    ASSERT_EQ(OpenOn(*store,
                     {Column::Of("id", CS_INT_TYPE), Column::Of("t", CS_TEXT_TYPE, Huge),
                      Column::Of("img", CS_IMAGE_TYPE, Huge), Column::Of("n", CS_INT_TYPE),
                      Column::Of("c", CS_CHAR_TYPE, 5)},
                     {{Value::Int(1), Value::Text(text), Value::Image(image), Value::Int(42), Value::Char("abcde")},
                      {Value::Int(2), Value::Text(""), Value::Image("x"), Value::Null(), Value::Char("z")},
                      {Value::Int(3), Value::Text("short"), Value::Image(""), Value::Int(-1), Value::Char("")}}),
              "");
    // Only the column before the first text column is bound.
    const auto binds = FakeOC::Calls("ct_bind");
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_EQ(ArgInt(binds[0], 1), 1);
    // No piece asked for is sized by the declared 2 GiB.
    int pieces = 0;
    for (const auto& c : FakeOC::Calls("ct_get_data")) {
        EXPECT_LE(ArgInt(c, 3), 256 * 1024) << c.Text();
        if (ArgInt(c, 1) == 2) ++pieces;
    }
    EXPECT_GT(pieces, 3);

    ASSERT_EQ(store->RecordListCount(), 3);
    EXPECT_EQ(store->Value<int32_t>(0, 0), 1);
    EXPECT_EQ(store->Blob(0, 1)->Data(), text);
    EXPECT_EQ(store->Blob(0, 2)->Data(), image);
    EXPECT_EQ(store->Value<int32_t>(0, 3), 42);
    EXPECT_EQ(std::string(store->Slot(0, 4) + 1, 6), std::string("abcde\0", 6));
    // An empty text is a value of size 0, not a null.
    EXPECT_EQ(store->Flag(1, 1), 255);
    EXPECT_EQ(store->Blob(1, 1)->Size(), 0);
    EXPECT_EQ(store->Blob(1, 2)->Data(), "x");
    // A fixed-size column read with ct_get_data: no bytes is NULL.
    EXPECT_EQ(store->Flag(1, 3), 0);
    EXPECT_EQ(store->Value<int32_t>(1, 3), 0);
    EXPECT_EQ(std::string(store->Slot(1, 4) + 1, 6), std::string("z\0\0\0\0\0", 6));
    // A shorter value after a longer one carries nothing of it.
    EXPECT_EQ(store->Blob(2, 1)->Data(), "short");
    EXPECT_EQ(store->Value<int32_t>(2, 3), -1);
    EXPECT_EQ(store->Blob(2, 2)->Size(), 0);
    EXPECT_EQ(store->BlobCount(), 6);
}

TEST_F(DecodeTest, EmptyUnboundValueIsNullOnlyWhenTheDescriptorSaysSo) {
    // No bytes come for a NULL nor for an empty value: the column's I/O
    // descriptor tells them apart. One that cannot be read counts as empty.
    FakeOC::FailCall("ct_data_info", 5);
    auto store = NewStore();
    ASSERT_EQ(OpenOn(*store, {Column::Of("t", CS_TEXT_TYPE, Huge), Column::Of("img", CS_IMAGE_TYPE, Huge)},
                     {{Value::Text("abc"), Value::Image("ab")},
                      {Value::Null(), Value::Null()},
                      {Value::Text(""), Value::Image("")},
                      {Value::Text(""), Value::Null()}}),
              "");
    EXPECT_EQ(FakeOC::Count("ct_data_info"), 6);
    EXPECT_EQ(store->Blob(0, 0)->Data(), "abc");
    EXPECT_EQ(store->Blob(0, 1)->Data(), "ab");
    const struct {
        int Row, Col;
        bool Null;
    } cases[] = {{1, 0, true}, {1, 1, true}, {2, 0, false}, {2, 1, false}, {3, 0, false}, {3, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Row) + "/" + std::to_string(c.Col));
        if (c.Null) {
            EXPECT_EQ(store->Flag(c.Row, c.Col), 0);
            EXPECT_EQ(store->Blob(c.Row, c.Col), nullptr);
        } else {
            EXPECT_EQ(store->Flag(c.Row, c.Col), 255);
            ASSERT_NE(store->Blob(c.Row, c.Col), nullptr);
            EXPECT_EQ(store->Blob(c.Row, c.Col)->Size(), 0);
        }
    }
}

TEST_F(DecodeTest, LongCharColumnsAreReadWithGetDataAndNeverCut) {
    const CS_INT declared = SybConnect::MaxBoundLength * 2;
    const struct {
        CS_INT Type;
        size_t Length;
        std::string Error;
    } cases[] = {
        {CS_CHAR_TYPE, static_cast<size_t>(declared), ""},
        {CS_BINARY_TYPE, static_cast<size_t>(declared), ""},
        {CS_CHAR_TYPE, static_cast<size_t>(declared) + 1, "Value of column 1 (c) is longer than 131072 bytes"},
        {CS_BINARY_TYPE, static_cast<size_t>(declared) + 1, "Value of column 1 (c) is longer than 131072 bytes"},
    };
    for (const auto& c : cases) {
        const std::string value = Pattern(c.Length, 'c');
        auto store = NewStore();
        const Value v = c.Type == CS_CHAR_TYPE ? Value::Char(value) : Value::Binary(value);
        EXPECT_EQ(OpenOn(*store, {Column::Of("c", c.Type, declared)}, {{v}}), c.Error);
        if (c.Error.empty()) {
            EXPECT_EQ(std::string(store->Slot(0, 0) + 1, c.Length), value);
        }
    }
    EXPECT_EQ(FakeOC::Count("ct_bind"), 0);
}

TEST_F(DecodeTest, FixedValueLongerThanItsTypeAfterAnUnboundColumnIsRefused) {
    auto store = NewStore();
    EXPECT_EQ(OpenOn(*store, {Column::Of("t", CS_TEXT_TYPE, 100), Column::Of("i", CS_INT_TYPE)},
                     {{Value::Text("a"), Value::Raw(std::vector<uint8_t>(6, 1))}}),
              "Value of column 2 (i) is longer than 4 bytes");
}

TEST_F(DecodeTest, GetDataFailureNamesTheColumn) {
    FakeOC::FailCall("ct_get_data", 2);
    auto store = NewStore();
    EXPECT_EQ(OpenOn(*store, {Column::Of("t", CS_TEXT_TYPE, Huge), Column::Of("u", CS_TEXT_TYPE, Huge)},
                     {{Value::Text("a"), Value::Text("b")}}),
              "ct_get_data failed for column 2 (u) with code 0");
}

// Output parameters have no data set: the caller names the column before.
TEST_F(DecodeTest, BindWithoutDataSetForcesPlainFormatAndFullNumericBuffer) {
    FakeOC::QueueResults({FakeOC::Result::ParamResult(
        {Column::Numeric("n", 5, 2), Column::Of("t", CS_TEXT_TYPE, Huge), Column::Of("i", CS_INT_TYPE)},
        {Value::Numeric(5, 2, {0, 0x00, 0x30, 0x39}), Value::Text("abc"), Value::Int(9)})});
    CS_COMMAND* cmd = Session.Command;
    ASSERT_EQ(Ctpublic::ct_command(cmd, CS_LANG_CMD, const_cast<char*>("exec p"), CS_NULLTERM, CS_UNUSED), CS_SUCCEED);
    ASSERT_EQ(Ctpublic::ct_send(cmd), CS_SUCCEED);
    CS_INT type = 0;
    ASSERT_EQ(Ctpublic::ct_results(cmd, &type), CS_SUCCEED);
    std::vector<std::unique_ptr<TSybClientField>> fields;
    for (CS_INT c = 1; c <= 3; ++c) {
        CS_DATAFMT f{};
        ASSERT_EQ(Ctpublic::ct_describe(cmd, c, &f), CS_SUCCEED);
        f.format = CS_FMT_NULLTERM; // what a caller that reuses a record may leave
        if (c == 1) f.maxlength = 17;
        fields.push_back(std::make_unique<TSybClientField>(nullptr, c, f));
        ASSERT_EQ(fields.back()->Bind(cmd, c > 1 ? fields[c - 2].get() : nullptr), CS_SUCCEED);
    }
    EXPECT_TRUE(fields[0]->IsBound());
    EXPECT_FALSE(fields[1]->IsBound());
    EXPECT_FALSE(fields[2]->IsBound());
    const auto bind = FakeOC::Find("ct_bind");
    ASSERT_TRUE(bind);
    EXPECT_EQ(bind->Args.at(3), "35");
    EXPECT_EQ(bind->Args.at(4), "0");
    ASSERT_EQ(Ctpublic::ct_fetch(cmd, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr), CS_SUCCEED);
    for (auto& f : fields) f->AfterFetch(cmd);
    EXPECT_EQ(fields[0]->GetDataLength(), 35);
    EXPECT_EQ(fields[0]->GetDataPointer()[4], 0x30);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(fields[1]->GetDataPointer()), 3), "abc");
    int32_t i = 0;
    std::memcpy(&i, fields[2]->GetDataPointer(), 4);
    EXPECT_EQ(i, 9);
    EXPECT_EQ(Ctpublic::ct_fetch(cmd, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr), CS_END_DATA);
    EXPECT_EQ(Ctpublic::ct_results(cmd, &type), CS_END_RESULTS);
}

} // namespace DecodeTests
