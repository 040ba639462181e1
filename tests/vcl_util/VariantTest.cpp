#include <gtest/gtest.h>

#include <functional>

#include "Settings.h"
#include "vcl/Variants.h"

using namespace vcl;

namespace {

// Runs f and returns the EVariantError message, or "" when nothing was raised.
std::string VariantErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EVariantError& e) {
        return e.Message();
    }
    return "";
}

} // namespace

TEST(Variant, UnassignedConvertsToZeroNullRaises) {
    const Variant u;
    EXPECT_TRUE(u.IsEmpty());
    EXPECT_FALSE(u.IsNull());
    EXPECT_EQ(VarType(u), varEmpty);
    EXPECT_EQ(u.AsString(), "");
    EXPECT_EQ(u.AsInteger(), 0);
    EXPECT_EQ(u.AsFloat(), 0.0);
    EXPECT_FALSE(u.AsBoolean());
    EXPECT_EQ(u.AsDateTime(), 0.0);

    const Variant n = Null();
    EXPECT_TRUE(VarIsNull(n));
    EXPECT_FALSE(VarIsEmpty(n));
    EXPECT_EQ(VarType(n), varNull);
    for (const auto& f : std::vector<std::function<void()>>{
             [&] { (void)n.AsString(); }, [&] { (void)n.AsInteger(); }, [&] { (void)n.AsInt64(); },
             [&] { (void)n.AsFloat(); }, [&] { (void)n.AsBoolean(); }, [&] { (void)n.AsDateTime(); }})
        EXPECT_EQ(VariantErrorOf(f), "Invalid variant type conversion");
    EXPECT_EQ(VarToStr(n), "");
    EXPECT_EQ(VarToStr(Unassigned()), "");
}

TEST(Variant, ConstructorsPickTheirTypes) {
    EXPECT_EQ(VarType(Variant(true)), varBoolean);
    EXPECT_EQ(VarType(Variant(1)), varInteger);
    EXPECT_EQ(VarType(Variant(int64_t(1))), varInt64);
    EXPECT_EQ(VarType(Variant(short(1))), varSmallint);
    EXPECT_EQ(VarType(Variant(uint8_t(1))), varByte);
    EXPECT_EQ(VarType(Variant(1u)), varInt64);
    EXPECT_EQ(VarType(Variant(1.5)), varDouble);
    EXPECT_EQ(VarType(Variant(1.5f)), varSingle);
    EXPECT_EQ(VarType(Variant("a")), varString);
    EXPECT_EQ(VarType(Variant(std::string("a"))), varString);
    EXPECT_EQ(VarType(Variant::FromDateTime(1)), varDate);
    EXPECT_EQ(VarType(Variant::FromCurrency(1)), varCurrency);
    EXPECT_EQ(Variant(static_cast<const char*>(nullptr)).AsString(), "");
    EXPECT_EQ(VariantErrorOf([] { Variant v(UINT64_MAX); }), "Invalid variant type conversion");
}

TEST(Variant, ConversionTable) {
    struct Row {
        Variant V;
        std::string Str;
        int32_t Int;
        double Float;
        bool Bool;
    };
    const TDateTime d = EncodeDate(2001, 1, 3) + EncodeTime(12, 0, 0, 0);
    const std::vector<Row> rows = {
        {Variant(true), "True", -1, -1.0, true},
        {Variant(false), "False", 0, 0.0, false},
        {Variant(42), "42", 42, 42.0, true},
        {Variant::FromSmallint(-3), "-3", -3, -3.0, true},
        {Variant::FromByte(200), "200", 200, 200.0, true},
        {Variant(int64_t(-7)), "-7", -7, -7.0, true},
        {Variant(2.5), "2.5", 2, 2.5, true},     // half to even
        {Variant(3.5), "3.5", 4, 3.5, true},
        {Variant(-2.5), "-2.5", -2, -2.5, true},
        {Variant(0.1f), "0.1", 0, 0.10000000149011612, true},
        {Variant::FromCurrency(1.23456), "1.2346", 1, 1.2346, true},
        {Variant("12"), "12", 12, 12.0, true},
        {Variant(" 7.25 "), " 7.25 ", 7, 7.25, true},
        {Variant("0"), "0", 0, 0.0, false},
        {Variant::FromDateTime(d), "1/3/2001 12:00:00", 36894, d, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Str);
        EXPECT_EQ(r.V.AsString(), r.Str);
        EXPECT_EQ(r.V.AsInteger(), r.Int);
        EXPECT_DOUBLE_EQ(r.V.AsFloat(), r.Float);
        EXPECT_EQ(r.V.AsBoolean(), r.Bool);
    }
    EXPECT_TRUE(Variant("TRUE").AsBoolean());
    EXPECT_FALSE(Variant("false").AsBoolean());
    EXPECT_DOUBLE_EQ(Variant("1/3/2001").AsDateTime(), EncodeDate(2001, 1, 3));
    EXPECT_DOUBLE_EQ(Variant(36894).AsDateTime(), 36894.0);
}

TEST(Variant, ConversionErrors) {
    const Variant text("abc");
    EXPECT_EQ(VariantErrorOf([&] { (void)text.AsInteger(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([&] { (void)text.AsFloat(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([&] { (void)text.AsBoolean(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([&] { (void)text.AsDateTime(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { (void)Variant("True").AsInteger(); }), "Invalid variant type conversion");
    // Overflow of the target type.
    EXPECT_EQ(VariantErrorOf([] { (void)Variant(int64_t(1) << 40).AsInteger(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { (void)Variant(1e300).AsInt64(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { (void)Variant(300).AsType(varByte); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { (void)VarArrayOf({1}).AsString(); }), "Invalid variant type conversion");
    EXPECT_EQ(Variant(int64_t(1) << 40).AsInt64(), int64_t(1) << 40);
}

TEST_F(SettingsTest, VariantTextUsesTheDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(Variant(2.5).AsString(), "2,5");
    EXPECT_DOUBLE_EQ(Variant("2,5").AsFloat(), 2.5);
    EXPECT_EQ(VariantErrorOf([] { (void)Variant("2.5").AsFloat(); }), "Invalid variant type conversion");
}

TEST(Variant, AsTypeConverts) {
    const Variant s = Variant("15").AsType(varInteger);
    EXPECT_EQ(VarType(s), varInteger);
    EXPECT_EQ(s.AsInteger(), 15);
    EXPECT_EQ(VarType(Variant(1).AsType(varString)), varString);
    EXPECT_EQ(VarType(Variant(1).AsType(varDate)), varDate);
    EXPECT_EQ(VarType(Unassigned().AsType(varInteger)), varInteger);
    EXPECT_EQ(VariantErrorOf([] { (void)Null().AsType(varInteger); }), "Invalid variant type conversion");
    EXPECT_TRUE(Null().AsType(varVariant).IsNull());
}

TEST(Variant, Equality) {
    EXPECT_TRUE(Variant(1) == Variant(1.0));
    EXPECT_TRUE(Variant(int64_t(5)) == Variant::FromSmallint(5));
    EXPECT_TRUE(Variant("1") == Variant(1));
    EXPECT_TRUE(Variant(true) == Variant(-1));
    EXPECT_TRUE(Variant("abc") == Variant("abc"));
    EXPECT_FALSE(Variant("abc") == Variant("ABC"));
    EXPECT_TRUE(Null() == Null());
    EXPECT_TRUE(Unassigned() == Unassigned());
    EXPECT_FALSE(Null() == Unassigned());
    EXPECT_FALSE(Null() == Variant(0));
    EXPECT_FALSE(Unassigned() == Variant(0));
    EXPECT_TRUE(Variant(2) != Variant(3));
    EXPECT_EQ(VariantErrorOf([] { (void)(Variant("abc") == Variant(1)); }), "Invalid variant type conversion");
    EXPECT_TRUE(VarArrayOf({1, "a"}) == VarArrayOf({1, "a"}));
    EXPECT_FALSE(VarArrayOf({1, "a"}) == VarArrayOf({1, "b"}));
    EXPECT_FALSE(VarArrayOf({1}) == Variant(1));
}

TEST(VariantArray, OneDimension) {
    Variant a = VarArrayOf({1, "a", Null()});
    EXPECT_TRUE(VarIsArray(a));
    EXPECT_EQ(VarType(a), varArray | varVariant);
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 0);
    EXPECT_EQ(VarArrayHighBound(a, 1), 2);
    EXPECT_EQ(a.GetElement({0}).AsInteger(), 1);
    EXPECT_EQ(a.GetElement({1}).AsString(), "a");
    EXPECT_TRUE(a.GetElement({2}).IsNull());

    const std::string bounds = "Variant or safe array index out of bounds";
    EXPECT_EQ(VariantErrorOf([&] { (void)a.GetElement({3}); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)a.GetElement({-1}); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)a.GetElement({0, 0}); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { a.PutElement({3}, 1); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)VarArrayLowBound(a, 2); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)VarArrayHighBound(a, 0); }), bounds);

    // Copies are deep.
    Variant b = a;
    b.PutElement({0}, "changed");
    EXPECT_EQ(a.GetElement({0}).AsInteger(), 1);
    EXPECT_EQ(b.GetElement({0}).AsString(), "changed");

    const Variant empty = VarArrayOf({});
    EXPECT_EQ(VarArrayLowBound(empty, 1), 0);
    EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
    EXPECT_EQ(VariantErrorOf([&] { (void)empty.GetElement({0}); }), bounds);
}

TEST(VariantArray, TwoDimensions) {
    Variant a = Variant::CreateArray({{1, 2}, {-1, 1}}, varInteger);
    EXPECT_EQ(VarType(a), varArray | varInteger);
    EXPECT_EQ(VarArrayDimCount(a), 2);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 2);
    EXPECT_EQ(VarArrayLowBound(a, 2), -1);
    EXPECT_EQ(VarArrayHighBound(a, 2), 1);
    EXPECT_EQ(VarType(a.GetElement({2, 1})), varInteger);
    EXPECT_EQ(a.GetElement({2, 1}).AsInteger(), 0);
    // Every cell distinct: the layout must not alias two index pairs.
    for (int i = 1; i <= 2; ++i)
        for (int j = -1; j <= 1; ++j) a.PutElement({i, j}, i * 10 + j);
    for (int i = 1; i <= 2; ++i)
        for (int j = -1; j <= 1; ++j) EXPECT_EQ(a.GetElement({i, j}).AsInteger(), i * 10 + j);
    // Typed elements convert on the way in; a failed conversion changes nothing.
    a.PutElement({1, 0}, "77");
    EXPECT_EQ(VarType(a.GetElement({1, 0})), varInteger);
    EXPECT_EQ(a.GetElement({1, 0}).AsInteger(), 77);
    EXPECT_EQ(VariantErrorOf([&] { a.PutElement({1, 0}, "x"); }), "Invalid variant type conversion");
    EXPECT_EQ(a.GetElement({1, 0}).AsInteger(), 77);

    const std::string bounds = "Variant or safe array index out of bounds";
    EXPECT_EQ(VariantErrorOf([&] { (void)a.GetElement({0, 0}); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)a.GetElement({1, 2}); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)a.GetElement({1}); }), bounds);
    EXPECT_EQ(VariantErrorOf([&] { (void)VarArrayLowBound(a, 3); }), bounds);
}

TEST(VariantArray, NotAnArrayAndBadCreation) {
    const Variant v(5);
    EXPECT_EQ(VarArrayDimCount(v), 0);
    EXPECT_EQ(VariantErrorOf([&] { (void)VarArrayLowBound(v, 1); }), "Variant is not an array");
    EXPECT_EQ(VariantErrorOf([&] { (void)v.GetElement({0}); }), "Variant is not an array");
    const std::string create = "Error creating variant array";
    EXPECT_EQ(VariantErrorOf([] { (void)Variant::CreateArray({}); }), create);
    EXPECT_EQ(VariantErrorOf([] { (void)Variant::CreateArray({{1, -1}}); }), create);
    EXPECT_EQ(VariantErrorOf([] { (void)Variant::CreateArray({{0, 1}}, varNull); }), create);
    EXPECT_EQ(VariantErrorOf([] { (void)Variant::CreateArray({{0, 1 << 20}, {0, 1 << 20}}); }), create);
}

TEST(VariantArray, Bytes) {
    const uint8_t bytes[] = {0, 1, 0x7F, 0xFF};
    const Variant a = VarArrayFromBytes(bytes, sizeof bytes);
    EXPECT_EQ(VarType(a), varArray | varByte);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    EXPECT_EQ(a.GetElement({3}).AsInteger(), 255);
    EXPECT_EQ(VarArrayToBytes(a), std::vector<uint8_t>(bytes, bytes + 4));
    EXPECT_EQ(VarArrayToBytes(VarArrayOf({1, "2"})), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(VariantErrorOf([] { (void)VarArrayToBytes(Variant(1)); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { (void)VarArrayToBytes(VarArrayOf({256})); }), "Invalid variant type conversion");
}
