#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "../vcl_db/MemDataSet.h"
#include "vcl/DB/DBError.h"
#include "vcl/DB/Params.h"

using namespace vcl;

namespace {

std::string DatabaseErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return "";
}

const TDateTime Moment = EncodeDate(2001, 1, 3) + EncodeTime(14, 5, 9, 7);

} // namespace

TEST(Param, TypedSettersAndGetters) {
    struct Row {
        const char* Name;
        std::function<void(TParam&)> Set;
        TFieldType Type;
        std::string Str;
        int32_t Int;
        double Float;
        bool Bool;
    };
    const std::vector<Row> rows = {
        {"string", [](TParam& p) { p.SetAsString("12"); }, ftString, "12", 12, 12.0, true},
        {"integer", [](TParam& p) { p.SetAsInteger(-5); }, ftInteger, "-5", -5, -5.0, true},
        {"smallint", [](TParam& p) { p.SetAsSmallInt(7); }, ftSmallint, "7", 7, 7.0, true},
        {"word", [](TParam& p) { p.SetAsWord(65535); }, ftWord, "65535", 65535, 65535.0, true},
        {"float", [](TParam& p) { p.SetAsFloat(2.5); }, ftFloat, "2.5", 2, 2.5, true},
        {"currency", [](TParam& p) { p.SetAsCurrency(1.25); }, ftCurrency, "1.25", 1, 1.25, true},
        {"bcd", [](TParam& p) { p.SetAsBCD(1.23456); }, ftBCD, "1.2346", 1, 1.2346, true},
        {"boolean", [](TParam& p) { p.SetAsBoolean(true); }, ftBoolean, "True", -1, -1.0, true},
        {"false", [](TParam& p) { p.SetAsBoolean(false); }, ftBoolean, "False", 0, 0.0, false},
        {"date", [](TParam& p) { p.SetAsDate(EncodeDate(2001, 1, 3)); }, ftDate, "1/3/2001", 36894, 36894.0, true},
        {"time", [](TParam& p) { p.SetAsTime(0.5); }, ftTime, "12/30/1899 12:00:00", 0, 0.5, true},
        {"datetime", [](TParam& p) { p.SetAsDateTime(Moment); }, ftDateTime, "1/3/2001 14:05:09", 36895, Moment, true},
        {"memo", [](TParam& p) { p.SetAsMemo("3"); }, ftMemo, "3", 3, 3.0, true},
        {"blob", [](TParam& p) { p.SetAsBlob("4"); }, ftBlob, "4", 4, 4.0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        TParam p;
        p.SetDataType(ftGuid);  // every setter replaces the type
        r.Set(p);
        EXPECT_EQ(p.DataType(), r.Type);
        EXPECT_TRUE(p.Bound());
        EXPECT_FALSE(p.IsNull());
        EXPECT_EQ(p.AsString(), r.Str);
        EXPECT_EQ(p.AsInteger(), r.Int);
        EXPECT_DOUBLE_EQ(p.AsFloat(), r.Float);
        EXPECT_EQ(p.AsBoolean(), r.Bool);
    }
    TParam p;
    p.SetAsWord(65535);
    EXPECT_EQ(p.AsWord(), 65535);
    p.SetAsSmallInt(-2);
    EXPECT_EQ(p.AsSmallInt(), -2);
    p.SetAsDateTime(Moment);
    EXPECT_DOUBLE_EQ(p.AsDate(), Moment);
    EXPECT_DOUBLE_EQ(p.AsTime(), Moment);
    EXPECT_EQ(VarType(p.Value()), varDate);
}

TEST(Param, NullUnboundAndConversionErrors) {
    TParam p;
    EXPECT_TRUE(p.IsNull());
    EXPECT_FALSE(p.Bound());
    EXPECT_EQ(p.AsString(), "");
    EXPECT_EQ(p.AsInteger(), 0);
    EXPECT_EQ(p.AsFloat(), 0.0);
    EXPECT_FALSE(p.AsBoolean());
    EXPECT_EQ(p.AsDateTime(), 0.0);

    p.SetValue(Null());
    EXPECT_TRUE(p.Bound());
    EXPECT_TRUE(p.IsNull());
    EXPECT_EQ(p.AsInteger(), 0);

    p.SetAsInteger(3);
    p.Clear();  // null, still bound
    EXPECT_TRUE(p.IsNull());
    EXPECT_TRUE(VarIsNull(p.Value()));
    EXPECT_TRUE(p.Bound());
    EXPECT_EQ(p.DataType(), ftInteger);

    p.SetValue(Unassigned());
    EXPECT_FALSE(p.Bound());

    p.SetAsString("abc");
    EXPECT_THROW((void)p.AsInteger(), EVariantError);
    EXPECT_THROW((void)p.AsFloat(), EVariantError);
    EXPECT_THROW((void)p.AsDateTime(), EVariantError);
}

TEST(Param, ValueTakesTheTypeOnlyWhenUnknown) {
    const struct {
        Variant V;
        TFieldType Type;
    } rows[] = {
        {Variant::FromSmallint(1), ftSmallint}, {Variant::FromByte(1), ftSmallint},
        {Variant(1), ftInteger},                {Variant::FromCurrency(1), ftBCD},
        {Variant(1.5), ftFloat},                {Variant(1.5f), ftFloat},
        {Variant::FromDateTime(1), ftDateTime}, {Variant(true), ftBoolean},
        {Variant("x"), ftString},               {Null(), ftUnknown},
        {VarArrayOf({1}), ftUnknown},
    };
    for (const auto& r : rows) {
        TParam p;
        p.SetValue(r.V);
        EXPECT_EQ(p.DataType(), r.Type) << VarType(r.V);
        p.SetValue(Variant("text"));
        EXPECT_EQ(p.DataType(), r.Type == ftUnknown ? ftString : r.Type);
    }
}

TEST(Param, NativeData) {
    TParams list;
    TParam* p = list.CreateParam(ftUnknown, "p", ptInput);
    uint8_t buf[64];

    p->SetAsInteger(-70000);
    ASSERT_EQ(p->GetDataSize(), 4);
    p->GetData(buf);
    int32_t i32;
    std::memcpy(&i32, buf, 4);
    EXPECT_EQ(i32, -70000);

    p->SetAsString("abc");
    ASSERT_EQ(p->GetDataSize(), 4);
    std::memset(buf, 'x', sizeof buf);
    p->GetData(buf);
    EXPECT_STREQ(reinterpret_cast<char*>(buf), "abc");

    p->SetAsBoolean(true);
    ASSERT_EQ(p->GetDataSize(), 2);
    p->GetData(buf);
    int16_t i16;
    std::memcpy(&i16, buf, 2);
    EXPECT_EQ(i16, 1);

    p->SetAsDate(EncodeDate(1900, 1, 1));
    ASSERT_EQ(p->GetDataSize(), 4);
    p->GetData(buf);
    std::memcpy(&i32, buf, 4);
    EXPECT_EQ(i32, 693596);

    p->SetAsTime(EncodeTime(14, 5, 9, 7));
    p->GetData(buf);
    std::memcpy(&i32, buf, 4);
    EXPECT_EQ(i32, 50709007);

    p->SetAsDateTime(EncodeDate(1900, 1, 1) + EncodeTime(0, 0, 1, 0));
    ASSERT_EQ(p->GetDataSize(), 8);
    p->GetData(buf);
    double d;
    std::memcpy(&d, buf, 8);
    EXPECT_EQ(d, 693596.0 * 86400000 + 1000);

    const char blob[] = {'\0', '\x01', '\xff'};
    p->SetBlobData(blob, 3);
    EXPECT_EQ(p->DataType(), ftBlob);
    ASSERT_EQ(p->GetDataSize(), 3);
    p->GetData(buf);
    EXPECT_EQ(std::memcmp(buf, blob, 3), 0);
    EXPECT_EQ(p->AsBlob(), std::string(blob, 3));

    const uint8_t bytes[] = {9, 8, 7, 6};
    p->SetDataType(ftBytes);
    p->SetValue(VarArrayFromBytes(bytes, 4));
    ASSERT_EQ(p->GetDataSize(), 4);
    p->GetData(buf);
    EXPECT_EQ(std::memcmp(buf, bytes, 4), 0);
    p->SetValue(Variant(5));
    EXPECT_EQ(p->GetDataSize(), 0);  // not an array

    p->SetAsBCD(-1234.5678);
    ASSERT_EQ(p->GetDataSize(), 34);
    p->GetData(buf);

    p->SetDataType(ftUnknown);
    EXPECT_EQ(DatabaseErrorOf([&] { p->GetDataSize(); }), "Field 'p' is of an unknown type");
    p->SetDataType(ftLargeint);
    EXPECT_EQ(DatabaseErrorOf([&] { p->GetDataSize(); }), "Field 'p' is of an unsupported type");
    EXPECT_EQ(DatabaseErrorOf([&] { p->GetData(buf); }), "Field 'p' is of an unsupported type");
    p->SetDataType(ftCursor);
    EXPECT_EQ(p->GetDataSize(), 0);
}

TEST(Param, SetDataReadsTheNativeFormat) {
    // Each native value written by GetData comes back through SetData.
    const std::vector<std::function<void(TParam&)>> setters = {
        [](TParam& p) { p.SetAsString("text"); },
        [](TParam& p) { p.SetAsMemo("memo"); },
        [](TParam& p) { p.SetAsSmallInt(-12); },
        [](TParam& p) { p.SetAsWord(60000); },
        [](TParam& p) { p.SetAsInteger(123456); },
        [](TParam& p) { p.SetAsBoolean(true); },
        [](TParam& p) { p.SetAsFloat(-0.125); },
        [](TParam& p) { p.SetAsCurrency(99.99); },
        [](TParam& p) { p.SetAsBCD(-1234.5678); },
        [](TParam& p) { p.SetAsDate(EncodeDate(1, 1, 1)); },
        [](TParam& p) { p.SetAsTime(EncodeTime(23, 59, 59, 999)); },
        [](TParam& p) { p.SetAsDateTime(Moment); },
    };
    for (const auto& set : setters) {
        TParam src, dst;
        set(src);
        std::vector<uint8_t> buf(static_cast<size_t>(src.GetDataSize()));
        src.GetData(buf.data());
        dst.SetDataType(src.DataType());
        dst.SetData(buf.data());
        SCOPED_TRACE(src.AsString());
        EXPECT_EQ(dst.DataType(), src.DataType());
        EXPECT_EQ(VarType(dst.Value()), VarType(src.Value()));
        EXPECT_TRUE(dst.Value() == src.Value());
    }
    TParam p;
    p.SetDataType(ftBlob);
    uint8_t buf[4] = {};
    EXPECT_EQ(DatabaseErrorOf([&] { p.SetData(buf); }), "Field '' is of an unsupported type");
}

TEST(Param, AssignCopiesAndKeepsAKnownParamType) {
    TParam src(nullptr, ptOutput);
    src.SetName("Name");
    src.SetAsInteger(5);
    TParam dst(nullptr, ptInput);
    dst.Assign(src);
    EXPECT_EQ(dst.Name(), "Name");
    EXPECT_EQ(dst.DataType(), ftInteger);
    EXPECT_EQ(dst.AsInteger(), 5);
    EXPECT_TRUE(dst.Bound());
    EXPECT_EQ(dst.ParamType(), ptInput);
    TParam fresh;
    fresh.Assign(src);
    EXPECT_EQ(fresh.ParamType(), ptOutput);
    EXPECT_TRUE(fresh.IsEqual(src));

    TParam null;
    null.SetAsInteger(1);
    null.Clear();
    dst.Assign(null);
    EXPECT_TRUE(VarIsNull(dst.Value()));
    EXPECT_TRUE(dst.Bound());

    TParam unbound;
    unbound.SetDataType(ftString);
    dst.Assign(unbound);
    EXPECT_TRUE(VarIsEmpty(dst.Value()));
    EXPECT_FALSE(dst.Bound());
    TParam copyOfUnbound;
    copyOfUnbound.Assign(unbound);
    EXPECT_TRUE(copyOfUnbound.IsEqual(unbound));
    EXPECT_EQ(dst.DataType(), ftString);
    EXPECT_EQ(dst.Name(), "");

    dst.SetAsString("x");
    dst.SetName("keep");
    dst.AssignField(nullptr);
    EXPECT_TRUE(dst.IsNull());
    EXPECT_EQ(dst.Name(), "");
}

TEST(Params, ListBasicsAndOwnership) {
    TParams list;
    TParam* a = list.CreateParam(ftInteger, "Id", ptInput);
    TParam* b = list.CreateParam(ftString, "id", ptOutput);  // no reuse of a name
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], a);
    EXPECT_EQ(list.Items(1), b);
    EXPECT_EQ(b->ParamType(), ptOutput);
    EXPECT_EQ(b->DataType(), ftString);
    EXPECT_EQ(b->Collection(), &list);
    EXPECT_EQ(list.FindParam("ID"), a);  // the first match
    EXPECT_EQ(list.FindParam("none"), nullptr);
    try {
        (void)list.Items(2);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }

    delete a;  // leaves its list
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.FindParam("ID"), b);
    list.RemoveParam(b);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(b->Collection(), nullptr);
    TParams other;
    other.AddParam(b);
    list.AddParam(b);  // moves between lists
    EXPECT_EQ(other.Count(), 0);
    EXPECT_EQ(list.Count(), 1);
    new TParam(&list);
    EXPECT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(Params, ParamByNameNamesTheOwner) {
    TParams bare;
    bare.CreateParam(ftInteger, "a", ptInput);
    EXPECT_EQ(bare.ParamByName("A"), bare[0]);
    EXPECT_EQ(DatabaseErrorOf([&] { bare.ParamByName("x"); }), "Parameter 'x' not found");

    TComponent query(nullptr);
    query.SetName("Query1");
    TParams owned(&query);
    EXPECT_EQ(DatabaseErrorOf([&] { owned.ParamByName("x"); }), "Query1: Parameter 'x' not found");
    owned.CreateParam(ftUnknown, "p", ptInput);
    EXPECT_EQ(DatabaseErrorOf([&] { owned[0]->GetDataSize(); }), "Query1: Field 'p' is of an unknown type");
}

TEST(Params, AssignValuesByName) {
    TParams dst;
    dst.CreateParam(ftUnknown, "a", ptInput);
    dst.CreateParam(ftUnknown, "B", ptInput);
    dst.CreateParam(ftUnknown, "a", ptInput);
    dst.CreateParam(ftInteger, "c", ptInput)->SetAsInteger(30);
    TParams src;
    src.CreateParam(ftUnknown, "A", ptOutput)->SetAsInteger(1);
    src.CreateParam(ftUnknown, "b", ptOutput)->SetAsString("two");
    src.CreateParam(ftUnknown, "a", ptOutput)->SetAsFloat(3.5);
    src.CreateParam(ftUnknown, "z", ptOutput)->SetAsInteger(9);
    dst.AssignValues(src);

    ASSERT_EQ(dst.Count(), 4);
    // The last source item of a name wins, on the first target of that name.
    EXPECT_EQ(dst[0]->Name(), "a");
    EXPECT_DOUBLE_EQ(dst[0]->AsFloat(), 3.5);
    EXPECT_EQ(dst[0]->DataType(), ftFloat);
    EXPECT_EQ(dst[0]->ParamType(), ptInput);
    EXPECT_EQ(dst[1]->Name(), "b");
    EXPECT_EQ(dst[1]->AsString(), "two");
    EXPECT_TRUE(dst[2]->IsNull());
    EXPECT_FALSE(dst[2]->Bound());
    EXPECT_EQ(dst[3]->AsInteger(), 30);
    EXPECT_EQ(dst.FindParam("z"), nullptr);
}

TEST(Params, AssignAndIsEqual) {
    TParams src;
    src.CreateParam(ftInteger, "id", ptInput)->SetAsInteger(5);
    src.CreateParam(ftString, "name", ptUnknown);
    src.CreateParam(ftString, "id", ptOutput)->SetValue(Null());
    TParams copy;
    copy.CreateParam(ftFloat, "old", ptInput);
    copy.Assign(src);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy[2]->Name(), "id");
    EXPECT_TRUE(copy[2]->Bound());
    EXPECT_TRUE(copy.IsEqual(src));
    EXPECT_TRUE(src.IsEqual(copy));

    const std::vector<std::function<void(TParam&)>> changes = {
        [](TParam& p) { p.SetName("ID"); },
        [](TParam& p) { p.SetDataType(ftSmallint); },
        [](TParam& p) { p.SetParamType(ptOutput); },
        [](TParam& p) { p.SetBound(false); },
        [](TParam& p) { p.SetAsInteger(6); },
        [](TParam& p) { p.SetValue(Variant(int64_t(5))); },  // same value, other variant type
        [](TParam& p) { p.Clear(); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        TParams changed;
        changed.Assign(src);
        changes[i](*changed[0]);
        EXPECT_FALSE(changed.IsEqual(src)) << "change " << i;
    }
    TParams shorter;
    EXPECT_FALSE(shorter.IsEqual(src));
}

TEST(Params, ParamValues) {
    TParams list;
    list.CreateParam(ftInteger, "a", ptInput)->SetAsInteger(1);
    list.CreateParam(ftString, "b", ptInput)->SetAsString("x");
    EXPECT_EQ(list.GetParamValues("A").AsInteger(), 1);
    const Variant both = list.GetParamValues("a; b");
    ASSERT_EQ(VarArrayDimCount(both), 1);
    EXPECT_EQ(both.GetElement({1}).AsString(), "x");
    list.SetParamValues("b;a", VarArrayOf({"y", 2}));
    EXPECT_EQ(list[0]->AsInteger(), 2);
    EXPECT_EQ(list[1]->AsString(), "y");
    EXPECT_THROW(list.SetParamValues("a;b", VarArrayOf({3})), EVariantError);
    EXPECT_EQ(list[0]->AsInteger(), 2);  // nothing half-assigned
    EXPECT_EQ(DatabaseErrorOf([&] { list.GetParamValues("a;q"); }), "Parameter 'q' not found");
}

TEST(Param, AssignFieldTakesTypeValueAndName) {
    kestrel_test::TMemDataSet ds(nullptr, {{"ID", ftInteger}, {"NAME", ftString, 20}, {"N", ftInteger}});
    ds.Open();
    ds.AppendRaw({7, "seven", Null()});
    ds.First();

    TParam p(nullptr, ptInput);
    p.AssignField(ds.FieldByName("ID"));
    EXPECT_EQ(p.Name(), "ID");
    EXPECT_EQ(p.DataType(), ftInteger);
    EXPECT_EQ(p.AsInteger(), 7);
    EXPECT_TRUE(p.Bound());
    EXPECT_EQ(p.ParamType(), ptInput);

    p.AssignField(ds.FieldByName("NAME"));
    EXPECT_EQ(p.DataType(), ftString);
    EXPECT_EQ(p.AsString(), "seven");

    p.AssignField(ds.FieldByName("N"));
    EXPECT_EQ(p.Name(), "N");
    EXPECT_TRUE(VarIsNull(p.Value()));
    EXPECT_TRUE(p.Bound());

    TParam q;
    q.SetName("kept");
    q.AssignFieldValue(ds.FieldByName("NAME"), Variant(5));
    EXPECT_EQ(q.Name(), "kept");
    EXPECT_EQ(q.DataType(), ftString);
    EXPECT_EQ(q.AsInteger(), 5);
    EXPECT_TRUE(q.Bound());
    q.AssignFieldValue(ds.FieldByName("ID"), Null());
    EXPECT_TRUE(q.IsNull());
    EXPECT_EQ(q.DataType(), ftInteger);
    ds.Close();
}
