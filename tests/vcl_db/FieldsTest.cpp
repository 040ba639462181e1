// Fields: lookup by name, typed access and conversions, native formats,
// field definitions, binding, calculated fields, validation, blob fields.
#include <cstring>

#include "Fixture.h"

namespace kestrel_test {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

std::unique_ptr<TMemDataSet> AllTypes() {
    auto ds = std::make_unique<TMemDataSet>(
        nullptr, std::vector<TColumn>{{"S", ftString, 5},   {"I", ftInteger},  {"SI", ftSmallint}, {"W", ftWord},
                                      {"L", ftLargeint},    {"F", ftFloat},    {"C", ftCurrency},  {"B", ftBoolean},
                                      {"D", ftDate},        {"T", ftTime},     {"DT", ftDateTime}, {"BY", ftBytes, 3},
                                      {"VB", ftVarBytes, 4}, {"BCD", ftBCD, 2}, {"M", ftMemo},      {"A", ftAutoInc}});
    ds->SetName("Types");
    ds->Open();
    ds->Append();
    return ds;
}

TEST(Fields, FieldByNameAndFindField) {
    auto ds = MakeRows(1);
    EXPECT_EQ(ds->FieldByName("name"), ds->FindField("NAME"));
    EXPECT_EQ(ds->FindField("nope"), nullptr);
    EXPECT_EQ(ErrorOf([&] { ds->FieldByName("NOPE"); }), "Mem1: Field 'NOPE' not found");
    EXPECT_EQ(ds->FieldByNumber(2)->FieldName(), "NAME");
    EXPECT_EQ(ds->Fields()->Count(), 2);
    EXPECT_THROW((*ds->Fields())[2], EListError);
    Variant both = ds->GetFieldValue("ID; NAME");
    ASSERT_EQ(both.ArrayDimCount(), 1);
    EXPECT_EQ(both.GetElement({1}).AsString(), "row1");
}

struct SetCase {
    const char* field;
    std::string input;    // through SetAsString
    std::string asString; // read back, or the error text
};

class StringConversions : public ::testing::TestWithParam<SetCase> {};

TEST_P(StringConversions, RoundTrip) {
    const SetCase& c = GetParam();
    auto ds = AllTypes();
    TField* f = ds->FieldByName(c.field);
    const std::string err = ErrorOf([&] { f->SetAsString(c.input); });
    if (err != "no error")
        EXPECT_EQ(err, c.asString);
    else
        EXPECT_EQ(f->AsString(), c.asString);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StringConversions,
    ::testing::Values(SetCase{"S", "abcdefgh", "abcde"}, SetCase{"S", "", ""}, SetCase{"I", "-17", "-17"},
                      SetCase{"I", "abc", "'abc' is not a valid integer value for field 'I'"},
                      SetCase{"SI", "40000",
                              "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
                      SetCase{"W", "-1", "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
                      SetCase{"W", "65535", "65535"}, SetCase{"L", "9000000000", "9000000000"},
                      SetCase{"F", "2.5", "2.5"},
                      SetCase{"F", "x1", "'x1' is not a valid floating point value for field 'F'"},
                      SetCase{"C", "12.25", "12.25"}, SetCase{"B", "t", "True"}, SetCase{"B", "FA", "False"},
                      SetCase{"B", "maybe", "'maybe' is not a valid boolean value for field 'B'"},
                      SetCase{"D", "2/29/2000", "2/29/2000"}, SetCase{"T", "13:05:09", "13:05:09"},
                      SetCase{"DT", "1/2/2001 10:30:00", "1/2/2001 10:30:00"}, SetCase{"BY", "ab", std::string("ab\0", 3)},
                      SetCase{"VB", "xyz", "xyz"}, SetCase{"VB", "toolong", "tool"}, SetCase{"BCD", "-3.14159", "-3.14"},
                      SetCase{"M", "memo text", "memo text"}, SetCase{"A", "12", "12"}),
    [](const auto& info) { return std::string(info.param.field) + "_" + std::to_string(info.index); });

TEST(Fields, NullFieldsReadAsZeroes) {
    auto ds = AllTypes();
    for (int i = 0; i < ds->Fields()->Count(); ++i) {
        TField* f = (*ds->Fields())[i];
        SCOPED_TRACE(f->FieldName());
        EXPECT_TRUE(f->IsNull());
        EXPECT_EQ(f->AsString(), "");
        EXPECT_TRUE(f->AsVariant().IsNull());
    }
    EXPECT_EQ(ds->FieldByName("I")->AsInteger(), 0);
    EXPECT_EQ(ds->FieldByName("F")->AsFloat(), 0.0);
    EXPECT_FALSE(ds->FieldByName("B")->AsBoolean());
    EXPECT_EQ(ds->FieldByName("DT")->AsDateTime(), 0.0);
}

TEST(Fields, TypedAccessAndUnsupportedConversions) {
    auto ds = AllTypes();
    ds->FieldByName("I")->SetAsFloat(2.5); // rounds half to even
    EXPECT_EQ(ds->FieldByName("I")->AsInteger(), 2);
    ds->FieldByName("F")->SetAsInteger(3);
    EXPECT_EQ(ds->FieldByName("F")->AsVariant().VarType(), varDouble);
    ds->FieldByName("S")->SetAsBoolean(true);
    EXPECT_EQ(ds->FieldByName("S")->AsString(), "T");
    EXPECT_TRUE(ds->FieldByName("S")->AsBoolean());
    ds->FieldByName("S")->SetAsInteger(123);
    EXPECT_EQ(ds->FieldByName("S")->AsInteger(), 123);
    ds->FieldByName("B")->SetValue(Variant(true));
    EXPECT_EQ(ds->FieldByName("B")->AsVariant().VarType(), varBoolean);
    ds->FieldByName("I")->SetValue(Variant::Null());
    EXPECT_TRUE(ds->FieldByName("I")->IsNull());
    ds->FieldByName("BY")->SetValue(VarArrayOf({Variant(1), Variant(2), Variant(3)}));
    EXPECT_EQ(VarArrayToBytes(ds->FieldByName("BY")->Value()), (std::vector<uint8_t>{1, 2, 3}));

    EXPECT_EQ(ErrorOf([&] { ds->FieldByName("B")->AsInteger(); }), "Cannot access field 'B' as type Integer");
    EXPECT_EQ(ErrorOf([&] { ds->FieldByName("I")->AsBoolean(); }), "Cannot access field 'I' as type Boolean");
    EXPECT_EQ(ErrorOf([&] { ds->FieldByName("D")->SetAsBoolean(true); }), "Cannot access field 'D' as type Boolean");
    EXPECT_EQ(ErrorOf([&] { ds->FieldByName("SI")->SetValue(Variant(70000)); }),
              "70000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767");
    EXPECT_THROW(ds->FieldByName("I")->SetValue(Variant("x")), EVariantError);
    ds->Cancel();
}

TEST(Fields, NativeFormats) {
    auto ds = AllTypes();
    const TDateTime when = EncodeDate(2000, 1, 1) + EncodeTime(12, 0, 0, 0);
    ds->FieldByName("D")->SetAsDateTime(when);
    ds->FieldByName("T")->SetAsDateTime(when);
    ds->FieldByName("DT")->SetAsDateTime(when);
    ds->FieldByName("B")->SetAsBoolean(true);
    char raw[16] = {};
    int32_t i32;
    ASSERT_TRUE(ds->FieldByName("D")->GetData(raw));
    std::memcpy(&i32, raw, 4);
    EXPECT_EQ(i32, 730120); // 2000-01-01 as a day number
    ds->FieldByName("T")->GetData(raw);
    std::memcpy(&i32, raw, 4);
    EXPECT_EQ(i32, 43200000);
    double ms;
    ds->FieldByName("DT")->GetData(raw);
    std::memcpy(&ms, raw, 8);
    EXPECT_EQ(ms, 730120.0 * 86400000 + 43200000);
    int16_t b;
    ds->FieldByName("B")->GetData(raw);
    std::memcpy(&b, raw, 2);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(ds->FieldByName("D")->AsDateTime(), EncodeDate(2000, 1, 1));
    EXPECT_EQ(ds->FieldByName("T")->AsDateTime(), EncodeTime(12, 0, 0, 0));
    EXPECT_EQ(ds->FieldByName("DT")->AsDateTime(), when);
    EXPECT_EQ(ds->FieldByName("S")->DataSize(), 6);
    EXPECT_EQ(ds->FieldByName("D")->DataSize(), 4);
    EXPECT_EQ(ds->FieldByName("VB")->DataSize(), 6);
    EXPECT_EQ(ds->FieldByName("BCD")->DataSize(), 34);
}

class TTranslatingDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    int Translate(const std::string& Src, std::string& Dest, bool ToOem) override {
        Dest = ToOem ? UpperCase(Src) : LowerCase(Src);
        return static_cast<int>(Dest.size());
    }
};

TEST(Fields, TransliterateGoesThroughTranslate) {
    TTranslatingDataSet ds(nullptr, {{"S", ftString, 10}});
    ds.Open();
    ds.Append();
    auto* s = static_cast<TStringField*>(ds.FieldByName("S"));
    s->SetAsString("MiXed");
    char raw[16] = {};
    s->GetData(raw);
    EXPECT_STREQ(raw, "MIXED");
    EXPECT_EQ(s->AsString(), "mixed");
    s->SetTransliterate(false);
    EXPECT_EQ(s->AsString(), "MIXED");
    ds.Cancel();
}

TEST(FieldDefs, AddFindUpdate) {
    TMemDataSet ds(nullptr, {{"ID", ftInteger}, {"NAME", ftString, 8}});
    ds.SetName("Defs");
    TFieldDefs* defs = ds.FieldDefs();
    EXPECT_FALSE(defs->Updated());
    defs->Update(); // describes a closed dataset through an information open
    EXPECT_TRUE(defs->Updated());
    EXPECT_EQ(ds.Log, (std::vector<std::string>{"initdefs", "close"}));
    EXPECT_FALSE(ds.Active());
    ASSERT_EQ(defs->Count(), 2);
    EXPECT_EQ(defs->Items(1)->FieldNo(), 2);
    EXPECT_EQ(defs->Find("name")->Size(), 8);
    ds.ClearLog();
    defs->Update();
    EXPECT_TRUE(ds.Log.empty());
    ds.DataEvent(dePropertyChange, 0);
    EXPECT_FALSE(defs->Updated());

    EXPECT_EQ(ErrorOf([&] { defs->Find("X"); }), "Defs: Field 'X' not found");
    EXPECT_EQ(ErrorOf([&] { defs->Add("", ftInteger); }), "Defs: Field name missing");
    EXPECT_EQ(ErrorOf([&] { defs->Add("id", ftInteger); }), "Defs: Duplicate name 'id' in TFieldDefs");
    EXPECT_EQ(ErrorOf([&] { defs->Items(1)->SetDisplayName("ID"); }), "Defs: Duplicate name 'ID' in TFieldDefs");
    EXPECT_EQ(defs->IndexOf("Nope"), -1);
    defs->Add("EXTRA", ftFloat, 0, true);
    EXPECT_EQ(defs->Items(2)->FieldNo(), 3);
    EXPECT_TRUE(defs->Items(2)->Required());
    TFieldDef* blank = defs->AddFieldDef();
    EXPECT_EQ(blank->DataType(), ftUnknown);
    EXPECT_EQ(blank->FieldNo(), 4);
    blank->SetDataType(ftCursor);
    blank->SetName("CUR");
    EXPECT_EQ(ErrorOf([&] { blank->CreateField(&ds); }), "Defs: Field 'CUR' is of an unknown type");
    defs->Clear();
    EXPECT_EQ(defs->Count(), 0);
}

// Persistent fields made from the definitions, plus calculated fields.
struct CalcFixture {
    TMemDataSet ds{nullptr, {{"ID", ftInteger}, {"NAME", ftString, 10}}};
    TIntegerField* twice;
    TStringField* label;
    int calcs = 0;
    CalcFixture() {
        ds.SetName("Calc");
        ds.FieldDefs()->Update();
        for (int i = 0; i < ds.FieldDefs()->Count(); ++i) ds.FieldDefs()->Items(i)->CreateField(&ds);
        twice = new TIntegerField(&ds);
        twice->SetFieldName("TWICE");
        twice->SetFieldKind(fkCalculated);
        twice->SetDataSet(&ds);
        label = new TStringField(&ds);
        label->SetSize(10);
        label->SetFieldName("LABEL");
        label->SetFieldKind(fkCalculated);
        label->SetDataSet(&ds);
        ds.OnCalcFields = [this](TDataSet* d) {
            ++calcs;
            EXPECT_EQ(d->State(), dsCalcFields);
            EXPECT_TRUE(twice->IsNull()); // cleared before every computation
            twice->SetAsInteger(d->FieldByName("ID")->AsInteger() * 2);
            label->SetAsString("#" + d->FieldByName("ID")->AsString());
        };
    }
};

TEST(CalculatedFields, LayoutAndPerRecordValues) {
    CalcFixture f;
    f.ds.Open();
    EXPECT_FALSE(f.ds.DefaultFields());
    EXPECT_EQ(f.twice->Offset(), 0);
    EXPECT_EQ(f.label->Offset(), 5);
    EXPECT_EQ(f.ds.CalcFieldsSize(), 17);
    EXPECT_EQ(f.twice->FieldNo(), -1);
    for (int i = 1; i <= 50; ++i) f.ds.AppendRaw({i, "n"});
    TDataSource source(nullptr);
    source.SetDataSet(&f.ds);
    TRecordingLink link;
    link.SetBufferCount(7);
    link.SetDataSource(&source);
    f.ds.First();
    int expected = 1;
    while (!f.ds.Eof()) {
        EXPECT_EQ(f.twice->AsInteger(), expected * 2);
        EXPECT_EQ(f.label->AsString(), "#" + std::to_string(expected));
        ++expected;
        f.ds.Next();
    }
    EXPECT_EQ(expected, 51);

    // Writing a data field recomputes; the calculated value follows the edit.
    f.ds.First();
    f.ds.Edit();
    f.ds.FieldByName("ID")->SetAsInteger(100);
    EXPECT_EQ(f.twice->AsInteger(), 200);
    f.ds.Post();
    EXPECT_EQ(f.twice->AsInteger(), 200);
    f.ds.Close();
    EXPECT_EQ(f.ds.FieldCount(), 4); // persistent fields survive close
}

TEST(CalculatedFields, BindingErrors) {
    {
        CalcFixture f;
        auto* blob = new TMemoField(&f.ds);
        blob->SetFieldName("BAD");
        blob->SetFieldKind(fkCalculated);
        blob->SetDataSet(&f.ds);
        EXPECT_EQ(ErrorOf([&] { f.ds.Open(); }), "Calc: Field 'BAD' cannot be a calculated or lookup field");
        EXPECT_FALSE(f.ds.Active());
    }
    {
        TMemDataSet ds(nullptr, {{"ID", ftInteger}});
        ds.SetName("M");
        auto* wrong = new TStringField(&ds);
        wrong->SetFieldName("ID");
        wrong->SetDataSet(&ds);
        EXPECT_EQ(ErrorOf([&] { ds.Open(); }), "M: Type mismatch for field 'ID', expecting: String actual: Integer");
        auto* missing = new TIntegerField(&ds);
        missing->SetFieldName("GONE");
        EXPECT_EQ(ErrorOf([&] { missing->SetDataSet(&ds); }), "no error");
        delete wrong;
        EXPECT_EQ(ErrorOf([&] { ds.Open(); }), "M: Field 'GONE' not found");
        auto* dup = new TIntegerField(&ds);
        dup->SetFieldName("gone");
        EXPECT_EQ(ErrorOf([&] { dup->SetDataSet(&ds); }), "M: Duplicate field name 'gone'");
    }
}

TEST(CalculatedFields, LookupFieldsTakeTheirValueFromTheLookupDataSet) {
    auto customers = MakeRows(3); // ID, NAME = rowN
    TMemDataSet orders(nullptr, {{"NO", ftInteger}, {"CUST", ftInteger}});
    orders.SetName("Orders");
    orders.FieldDefs()->Update();
    for (int i = 0; i < orders.FieldDefs()->Count(); ++i) orders.FieldDefs()->Items(i)->CreateField(&orders);
    auto* name = new TStringField(&orders);
    name->SetFieldName("CUSTNAME");
    name->SetFieldKind(fkLookup);
    name->SetDataSet(&orders);
    EXPECT_EQ(ErrorOf([&] { orders.Open(); }), "Orders: Lookup information for field 'CUSTNAME' is incomplete");
    name->SetLookupDataSet(customers.get());
    name->SetKeyFields("CUST");
    name->SetLookupKeyFields("ID");
    name->SetLookupResultField("NAME");
    orders.Open();
    orders.AppendRaw({1, 3});
    orders.AppendRaw({2, 7});
    orders.First();
    EXPECT_EQ(name->AsString(), "row3");
    orders.Next();
    EXPECT_TRUE(name->IsNull());
    EXPECT_EQ(name->FieldNo(), -1);
}

TEST(Fields, OnValidateSeesThePendingValueAndCanRefuse) {
    auto ds = MakeRows(1);
    TField* name = ds->FieldByName("NAME");
    std::string seen;
    name->OnValidate = [&](TField* f) {
        seen = f->AsString();
        if (seen == "bad") throw EDatabaseError("refused");
    };
    int changes = 0;
    name->OnChange = [&](TField*) { ++changes; };
    ds->Edit();
    name->SetAsString("good");
    EXPECT_EQ(seen, "good");
    EXPECT_THROW(name->SetAsString("bad"), EDatabaseError);
    EXPECT_EQ(name->AsString(), "good");
    EXPECT_EQ(changes, 1);
    ds->Cancel();
}

TEST(BlobFields, ThroughTheDataSetsStreams) {
    TMemDataSet ds(nullptr, {{"ID", ftInteger}, {"M", ftMemo}});
    ds.SetName("Blobs");
    ds.Open();
    ds.AppendRaw({1, "first"});
    ds.First();
    auto* memo = static_cast<TBlobField*>(ds.FieldByName("M"));
    EXPECT_EQ(memo->AsString(), "first");
    EXPECT_EQ(memo->BlobSize(), 5);
    EXPECT_TRUE(memo->Transliterate());
    EXPECT_EQ(ErrorOf([&] { memo->SetAsString("x"); }), "Blobs: Dataset not in edit or insert mode");

    ds.Edit();
    memo->SetAsString("second");
    EXPECT_TRUE(memo->Modified());
    EXPECT_TRUE(ds.Modified());
    ds.Cancel();
    EXPECT_FALSE(memo->Modified());
    EXPECT_EQ(memo->AsString(), "first");

    ds.Edit();
    TMemoryStream in;
    in.WriteBuffer("loaded", 6);
    memo->LoadFromStream(in);
    ds.Post();
    EXPECT_EQ(memo->AsString(), "loaded");
    TMemoryStream out;
    memo->SaveToStream(out);
    EXPECT_EQ(out.Size(), 6);

    ds.Edit();
    memo->Clear();
    EXPECT_TRUE(memo->IsNull()); // answered from the stream while modified
    ds.Post();
    EXPECT_TRUE(memo->IsNull());
    EXPECT_TRUE(memo->Value().IsNull());

    std::unique_ptr<TStream> read(ds.CreateBlobStream(memo, bmRead));
    EXPECT_EQ(read->Size(), 0);
}

} // namespace
} // namespace kestrel_test
