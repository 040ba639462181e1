// The record layout: slot widths, the offset table, the record-info block.
#include <gtest/gtest.h>

#include "tests/sybdataset/TestStore.h"

using namespace storetest;

TEST(Layout, FieldSizeTable) {
    struct Case {
        TFieldType type;
        int size;
        int32_t width;
    };
    const Case cases[] = {
        {ftUnknown, 5, 0},   {ftString, 9, 10},    {ftSmallint, 0, 2},  {ftInteger, 0, 4},     {ftWord, 0, 2},
        {ftBoolean, 0, 2},   {ftFloat, 0, 8},      {ftCurrency, 0, 8},  {ftBCD, 4, 34},        {ftDate, 0, 8},
        {ftTime, 0, 8},      {ftDateTime, 0, 8},   {ftBytes, 16, 17},   {ftVarBytes, 16, 4},   {ftAutoInc, 0, 4},
        {ftBlob, 0, 4},      {ftMemo, 0, 4},       {ftGraphic, 0, 4},   {ftFmtMemo, 0, 4},     {ftParadoxOle, 0, 4},
        {ftDBaseOle, 0, 4},  {ftTypedBinary, 0, 4}, {ftCursor, 0, 0},   {ftFixedChar, 3, 4},   {ftWideString, 7, 8},
        {ftLargeint, 0, 8},  {ftADT, 0, 0},        {ftDataSet, 0, 0},   {ftGuid, 38, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(GetFieldSize(c.type, c.size), c.width) << FieldTypeName(c.type);
}

TEST(Layout, SlotsInfoBlockAndCalculatedArea) {
    TTestStore s;
    s.Columns = {{"S", ftString, 9}, {"I", ftInteger, 0}, {"F", ftFloat, 0}};
    s.Open();
    EXPECT_EQ(s.FieldOffset(1), 0);
    EXPECT_EQ(s.FieldOffset(2), 11);
    EXPECT_EQ(s.FieldOffset(3), 16);
    EXPECT_EQ(s.DataSize(), 25);
    EXPECT_EQ(s.RecordInfoOffset(), 25);
    EXPECT_EQ(s.FieldOffset(0), 33);
    EXPECT_EQ(s.GetRecordBufferSize(), 33);

    // Pointers: data fields through the table, calculated fields from entry 0.
    TRecordBuffer b = s.Alloc();
    EXPECT_EQ(s.GetFieldPointer(b, s.FieldByName("I")), b + 11);
    EXPECT_EQ(s.GetFieldPointer(nullptr, s.FieldByName("I")), nullptr);

    // A blank record: all null, flag bfCurrent, record number -1, reserved 0.
    std::memset(b, 0x5A, 33);
    s.InternalInitRecord(b);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(s.GetRecordNumber(b), -1);
    const unsigned char minusOne[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(b + 25, minusOne, 4), 0);
    EXPECT_EQ(b[29], bfCurrent);
    EXPECT_EQ(b[30] | b[31] | b[32], 0);
    s.SetRecordNumber(b, 0x01020304);
    EXPECT_EQ(b[25], 0x04); // little-endian
    s.SetRecordFlag(b, bfEOF);
    EXPECT_EQ(b[29], 2);
    s.Free(b);
    s.Close();

    // A calculated integer field adds its slot (flag + 4) behind the info block.
    TTestStore c;
    c.Columns = s.Columns;
    for (const char* name : {"S", "I", "F"}) {
        TField* f = name[0] == 'S'   ? static_cast<TField*>(new TStringField(&c))
                    : name[0] == 'I' ? static_cast<TField*>(new TIntegerField(&c))
                                     : static_cast<TField*>(new TFloatField(&c));
        if (name[0] == 'S') f->SetSize(9);
        f->SetFieldName(name);
        f->SetDataSet(&c);
    }
    auto* calc = new TIntegerField(&c);
    calc->SetFieldName("C");
    calc->SetFieldKind(fkCalculated);
    calc->SetDataSet(&c);
    c.Open();
    EXPECT_EQ(c.FieldOffset(0), 33);
    EXPECT_EQ(c.GetRecordBufferSize(), 38);
    TRecordBuffer cb = c.Alloc();
    EXPECT_EQ(c.GetFieldPointer(cb, calc), cb + 33);
    c.Free(cb);
}

TEST(Layout, MoreColumnsThanTheClassicTableHold) {
    // The offset table is sized by the column count: column 300 has a slot.
    TTestStore s;
    for (int i = 1; i <= 300; ++i) s.Columns.push_back({Text("C", i), ftInteger, 0});
    s.Rows = 2;
    s.FillRow = [](TTestStore& st, TRecordBuffer b, int row) { st.PutInt(b, 300, 1000 + row); };
    s.Open();
    EXPECT_EQ(s.FieldOffset(300), 299 * 5);
    EXPECT_EQ(s.DataSize(), 300 * 5);
    EXPECT_EQ(s.FieldByName("C300")->AsInteger(), 1000);
    s.Next();
    EXPECT_EQ(s.FieldByName("C300")->AsInteger(), 1001);
    EXPECT_TRUE(s.FieldByName("C299")->IsNull());
    EXPECT_THROW(s.FieldOffset(301), EListError);
}

TEST(Layout, NegativeColumnLengthIsRefusedAndKeepsTheLayout) {
    TTestStore s;
    s.Columns = {{"A", ftInteger, 0}};
    s.Open();
    const int32_t before = s.DataSize();
    auto* bad = new TTestFetchField(&s, {"BAD", ftString, 3});
    bad->OverrideLength = true;
    bad->LengthOverride = -7;
    try {
        s.CreateBuffer();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("BAD"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("-7"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(s.DataSize(), before);
    EXPECT_EQ(s.FieldOffset(0), before + 8);
}

TEST(Layout, FetchFieldsAreOwnedAndIndexed) {
    TTestStore s;
    SetupIdName(s, 0);
    s.Open();
    ASSERT_EQ(s.FetchFieldCount(), 2);
    EXPECT_EQ(s.GetFetchField(1)->GetName(), "NAME");
    try {
        s.GetFetchField(2);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }
    EXPECT_THROW(s.GetFetchField(-1), EListError);
    s.Close();
    EXPECT_EQ(s.FetchFieldCount(), 0);
    EXPECT_EQ(s.FieldCount(), 0); // default fields go with the close
}
