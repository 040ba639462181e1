// The decoding plan a result is read with: what it holds, and that a plan
// made once decodes a row as FillRecord does, failures included.
#include "tests/decode/DecodeStore.h"

namespace DecodeTests {

using FakeOC::Column;
using FakeOC::Value;

namespace {
// A fetch field that is not a result column.
class TForeignField : public SybDataSet::TBTFetchField {
public:
    using TBTFetchField::TBTFetchField;
    vcl::TFieldType GetVclDataType() override { return vcl::ftInteger; }
    int32_t GetVclLength() override { return 4; }
    std::string GetName() override { return "FOREIGN"; }
};

std::string RecordBytes(const char* Record, const TDecodeStore& Store) {
    return {Record, static_cast<size_t>(Store.GetRecordBufferSize())};
}
} // namespace

TEST_F(DecodeTest, PlanHoldsEverySlotAndTheColumnsAfterFetchReads) {
    auto store = NewStore();
    // The text column is read with ct_get_data, and so is every column after it.
    ASSERT_EQ(OpenOn(*store,
                     {Column::Of("i", CS_INT_TYPE), Column::Of("c", CS_CHAR_TYPE, 7),
                      Column::Of("t", CS_TEXT_TYPE, 100), Column::Of("d", CS_DATETIME_TYPE),
                      Column::Of("b", CS_BINARY_TYPE, 3)},
                     {{Value::Int(5), Value::Char("abc"), Value::Text("note"), Value::DateTime(3, 300),
                       Value::Null()}}),
              "");
    const SybConnect::TFillPlan plan = SybConnect::MakeFillPlan(*store);
    ASSERT_EQ(plan.Columns.size(), 5u);
    const int32_t widths[] = {0, 8, 0, 0, 4};
    for (int i = 0; i < 5; ++i) {
        const auto& column = plan.Columns[static_cast<size_t>(i)];
        EXPECT_EQ(column.Field, &store->Column(i)) << i;
        EXPECT_EQ(column.Offset, store->FieldOffset(i + 1)) << i;
        EXPECT_EQ(column.Width, widths[i]) << i;
        EXPECT_EQ(column.DataType, store->Column(i).GetDataType()) << i;
    }
    ASSERT_EQ(plan.Unbound.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(plan.Unbound[static_cast<size_t>(i)], &store->Column(i + 2)) << i;

    // The fields still hold the last row: decoding it again gives its bytes,
    // only the text's blob reference is a new one.
    std::vector<char> again(static_cast<size_t>(store->GetRecordBufferSize()));
    const char* stored = store->GetStoredRecord(0);
    std::memcpy(again.data(), stored, again.size());
    const int32_t text = store->FieldOffset(3);
    std::memset(again.data(), 0, static_cast<size_t>(store->DataSize()));
    SybConnect::FillRecord(*store, plan, again.data(), Session.Context, "Q1");
    EXPECT_EQ(store->GetSlotBlob(again.data() + text)->Data(), "note");
    std::memcpy(again.data() + text + 1, stored + text + 1, 4);
    EXPECT_EQ(RecordBytes(again.data(), *store), RecordBytes(stored, *store));
}

TEST_F(DecodeTest, FieldThePlanCannotTakeFailsInItsTurn) {
    auto store = NewStore();
    ASSERT_EQ(OpenOn(*store, {Column::Of("i", CS_INT_TYPE), Column::Of("c", CS_CHAR_TYPE, 3)},
                     {{Value::Int(9), Value::Char("xy")}}),
              "");
    // Appended after the layout was made: neither a result column nor a slot.
    new TForeignField(store.get());
    const SybConnect::TFillPlan plan = SybConnect::MakeFillPlan(*store);
    EXPECT_EQ(plan.Columns.size(), 2u);
    EXPECT_TRUE(plan.Unbound.empty());
    // With the plan made up front and made on the fly alike.
    for (bool upFront : {true, false}) {
        std::vector<char> record(static_cast<size_t>(store->GetRecordBufferSize()), 0);
        std::string error;
        try {
            if (upFront)
                SybConnect::FillRecord(*store, plan, record.data(), Session.Context, "Q1");
            else
                SybConnect::FillRecord(*store, record.data(), Session.Context, "Q1");
        } catch (const vcl::Exception& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, "Q1._InternalFillRecord failed for field 2: Fetch field 2 is not a result column") << upFront;
        // The fields before it are decoded.
        EXPECT_EQ(std::string(record.data(), 10), std::string("\xff\x09\0\0\0\xffxy\0\0", 10)) << upFront;
    }
}

} // namespace DecodeTests
