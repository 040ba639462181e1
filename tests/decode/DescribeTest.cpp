// Column description: type mapping, names, field definitions, column limit.
#include "tests/decode/DecodeStore.h"

namespace DecodeTests {

using namespace vcl;

namespace {

CS_DATAFMT Fmt(CS_INT type, CS_INT maxlength, const std::string& name = "c", CS_INT namelen = CS_NULLTERM) {
    CS_DATAFMT f{};
    std::memcpy(f.name, name.data(), std::min(name.size(), sizeof f.name));
    f.namelen = namelen;
    f.datatype = type;
    f.maxlength = maxlength;
    return f;
}

std::string Raised(const std::function<void()>& f) {
    try {
        f();
    } catch (const vcl::Exception& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

} // namespace

TEST(TypeMap, EveryMappedCodeHasItsFieldTypeAndWidth) {
    struct Case {
        CS_INT Code;
        CS_INT MaxLength;
        TFieldType Type;
        int32_t Width;
    };
    const Case cases[] = {
        {CS_CHAR_TYPE, 10, ftString, 11},      {CS_BINARY_TYPE, 16, ftBytes, 17}, {CS_TEXT_TYPE, 32768, ftMemo, 4},
        {CS_IMAGE_TYPE, 0x7FFFFFFF, ftBlob, 4}, {CS_TINYINT_TYPE, 1, ftSmallint, 2},
        {CS_SMALLINT_TYPE, 2, ftSmallint, 2},   {CS_INT_TYPE, 4, ftInteger, 4},   {CS_REAL_TYPE, 4, ftFloat, 8},
        {CS_FLOAT_TYPE, 8, ftFloat, 8},         {CS_BIT_TYPE, 1, ftBoolean, 2},   {CS_DATETIME_TYPE, 8, ftDateTime, 8},
        {CS_DATETIME4_TYPE, 4, ftDateTime, 8},  {CS_MONEY_TYPE, 8, ftFloat, 8},   {CS_MONEY4_TYPE, 4, ftFloat, 8},
        {CS_NUMERIC_TYPE, 35, ftFloat, 8},      {CS_DECIMAL_TYPE, 35, ftFloat, 8},
    };
    for (const Case& c : cases) {
        TSybClientField f(nullptr, 1, Fmt(c.Code, c.MaxLength));
        EXPECT_EQ(f.GetVclDataType(), c.Type) << c.Code;
        EXPECT_EQ(f.GetVclLength(), c.Width) << c.Code;
        EXPECT_EQ(f.GetBufferLength(), c.MaxLength) << c.Code;
        EXPECT_EQ(f.GetDataType(), c.Code);
    }
}

TEST(TypeMap, UnmappedCodesRaiseWithTheCode) {
    for (CS_INT code : {CS_ILLEGAL_TYPE, CS_LONGCHAR_TYPE, CS_LONGBINARY_TYPE, CS_VARCHAR_TYPE, CS_VARBINARY_TYPE,
                        CS_BIGINT_TYPE, CS_USER_TYPE}) {
        TSybClientField f(nullptr, 1, Fmt(code, 8));
        const std::string want = "Unknown data type " + std::to_string(code) + " receiver from SQL Server";
        EXPECT_EQ(Raised([&] { f.GetVclDataType(); }), want);
        EXPECT_EQ(Raised([&] { f.GetVclLength(); }), want);
    }
}

TEST(TypeMap, CharLengthWithoutASlotWidthIsRefusedNotOverflowed) {
    TSybClientField f(nullptr, 2, Fmt(CS_CHAR_TYPE, 0x7FFFFFFF, "big"));
    EXPECT_EQ(Raised([&] { f.GetVclLength(); }), "Column 2 (big) declares an invalid length 2147483647");
}

TEST(ColumnName, NameRules) {
    struct Case {
        std::string Name;
        CS_INT NameLen;
        CS_INT ColumnNo;
        std::string Want;
    };
    const Case cases[] = {
        {std::string("ab\0cd", 5), CS_NULLTERM, 1, "ab"},
        {std::string("ab\0 d", 5), 5, 1, std::string("ab\0 d", 5)}, // explicit length keeps every byte
        {" x ", 3, 1, " x "},                                       // blanks kept
        {"abc", 2, 1, "ab"},
        {"abc", 0, 3, "COLUMN3"},
        {"abc", -5, 4, "COLUMN4"},
        {"   ", 3, 7, "COLUMN7"},
        {"", CS_NULLTERM, 12, "COLUMN12"},
    };
    for (const Case& c : cases) {
        TSybClientField f(nullptr, c.ColumnNo, Fmt(CS_INT_TYPE, 4, c.Name, c.NameLen));
        EXPECT_EQ(f.GetName(), c.Want) << c.Name;
    }
}

TEST(ColumnName, NeverReadsBeyondTheNameArray) {
    CS_DATAFMT f = Fmt(CS_INT_TYPE, 4);
    std::memset(f.name, 'n', sizeof f.name);
    f.namelen = CS_NULLTERM; // no zero byte anywhere
    EXPECT_EQ(TSybClientField(nullptr, 1, f).GetName(), std::string(CS_MAX_NAME, 'n'));
    f.namelen = 1000;
    EXPECT_EQ(TSybClientField(nullptr, 1, f).GetName(), std::string(CS_MAX_NAME, 'n'));
}

// Field definitions straight from fetch fields, without opening.
class FieldDefsTest : public DecodeTest {
protected:
    std::vector<std::string> DefsFor(const std::vector<std::string>& Names) {
        Store = NewStore();
        CS_INT no = 1;
        for (const auto& n : Names) new TSybClientField(Store.get(), no++, Fmt(CS_INT_TYPE, 4, n));
        SybConnect::InitFieldDefs(*Store->FieldDefs(), *Store);
        return Names_();
    }
    std::vector<std::string> Names_() {
        std::vector<std::string> out;
        for (int i = 0; i < Store->FieldDefs()->Count(); ++i) out.push_back(Store->FieldDefs()->Items(i)->Name());
        return out;
    }
    std::unique_ptr<TDecodeStore> Store;
};

TEST_F(FieldDefsTest, RepeatedNamesGetSuffixes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(DefsFor({"id", "id", "id", "x", "id"}), (V{"id", "id_1", "id_2", "x", "id_3"}));
    EXPECT_EQ(DefsFor({"a", "b", "a", "b"}), (V{"a", "b", "a_1", "b_1"}));
    EXPECT_EQ(DefsFor({"", " ", "COLUMN1"}), (V{"COLUMN1", "COLUMN2", "COLUMN1_1"}));
}

TEST_F(FieldDefsTest, FrameworkRefusalsArriveWrappedAndEarlierDefinitionsStay) {
    // Names differing only in case get no suffix; the framework refuses the
    // second. So does a suffixed name that a real column already has.
    const struct {
        std::vector<std::string> Names;
        std::string Message;
        int Kept;
    } cases[] = {
        {{"Id", "id"}, "InternalInitFieldDefs failed. Error : Q1: Duplicate name 'id' in TFieldDefs", 2},
        {{"a_1", "a", "a"}, "InternalInitFieldDefs failed. Error : Q1: Duplicate name 'a_1' in TFieldDefs", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Raised([&] { DefsFor(c.Names); }), c.Message);
        EXPECT_EQ(Store->FieldDefs()->Count(), c.Kept);
        EXPECT_EQ(Store->FieldDefs()->Items(0)->Name(), c.Names[0]);
    }
}

TEST_F(FieldDefsTest, NumbersTypesSizesAndPrecision) {
    Store = NewStore();
    new TSybClientField(Store.get(), 1, Fmt(CS_CHAR_TYPE, 10, "s"));
    new TSybClientField(Store.get(), 2, Fmt(CS_BINARY_TYPE, 16, "b"));
    new TSybClientField(Store.get(), 3, Fmt(CS_MONEY_TYPE, 8, "m"));
    new TSybClientField(Store.get(), 4, Fmt(CS_MONEY4_TYPE, 4, "m4"));
    new TSybClientField(Store.get(), 5, Fmt(CS_TEXT_TYPE, 0x7FFFFFFF, "t"));
    SybConnect::InitFieldDefs(*Store->FieldDefs(), *Store);
    const struct {
        TFieldType Type;
        int Size, Precision;
    } want[] = {{ftString, 10, 0}, {ftBytes, 16, 0}, {ftFloat, 0, 4}, {ftFloat, 0, 0}, {ftMemo, 0, 0}};
    ASSERT_EQ(Store->FieldDefs()->Count(), 5);
    for (int i = 0; i < 5; ++i) {
        TFieldDef* d = Store->FieldDefs()->Items(i);
        EXPECT_EQ(d->FieldNo(), i + 1);
        EXPECT_EQ(d->DataType(), want[i].Type) << i;
        EXPECT_EQ(d->Size(), want[i].Size) << i;
        EXPECT_EQ(d->Precision(), want[i].Precision) << i;
    }
}

TEST_F(FieldDefsTest, UnmappedColumnFailsTheOpenWithItsCode) {
    auto store = NewStore();
    const std::string error = OpenOn(*store, {FakeOC::Column::Of("i", CS_INT_TYPE), FakeOC::Column::Of("big", CS_BIGINT_TYPE)},
                                     {{FakeOC::Value::Int(1), FakeOC::Value::BigInt(2)}});
    EXPECT_EQ(error, "InternalInitFieldDefs failed. Error : Unknown data type 30 receiver from SQL Server");
    EXPECT_FALSE(store->Active());
}

TEST_F(FieldDefsTest, MoreThan256ColumnsAreRefusedNaming256IsFine) {
    for (int count : {256, 257}) {
        std::vector<FakeOC::Column> columns;
        std::vector<FakeOC::Value> row;
        for (int i = 0; i < count; ++i) {
            columns.push_back(FakeOC::Column::Of("c" + std::to_string(i), CS_INT_TYPE));
            row.push_back(FakeOC::Value::Int(i));
        }
        auto store = NewStore();
        const std::string error = OpenOn(*store, columns, {row});
        if (count == 256) {
            ASSERT_EQ(error, "");
            EXPECT_EQ(store->Value<int32_t>(0, 255), 255);
        } else {
            EXPECT_EQ(error, "Result has 257 columns; at most 256 are supported");
        }
    }
}

} // namespace DecodeTests
