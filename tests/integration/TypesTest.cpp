// Every mapped type through the wire and the decoder: values inserted as
// literals come back as the dataset's fields, limits and NULLs included; text
// and image up to and beyond the session's text size.
#include "tests/integration/Fixture.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <variant>

#include "components/SybConnect/ClientField.h"
#include "vcl/Classes.h"
#include "vcl/DB.h"
#include "vcl/DateTime.h"

namespace Integration {
namespace {

struct Null {};
struct Str {
    std::string v;
};
struct Bytes {
    std::string v;
};
struct Int {
    int64_t v;
};
struct Real {
    double v;
};
struct Date {
    std::string v; // yyyy-mm-dd hh:nn:ss.zzz
};
using Expected = std::variant<Null, Str, Bytes, Int, Real, Date>;

struct Case {
    const char* column;
    const char* literal;
    Expected expected;
};

std::string Hex(const std::string& bytes) {
    std::string out;
    char buf[3];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += buf;
    }
    return out;
}

const char* const kTable = "create table e2e_types ("
                           " id int not null,"
                           " c_char char(10) null,"
                           " c_varchar varchar(40) null,"
                           " c_binary binary(4) null,"
                           " c_varbinary varbinary(8) null,"
                           " c_text text null,"
                           " c_image image null,"
                           " c_tinyint tinyint null,"
                           " c_smallint smallint null,"
                           " c_int int null,"
                           " c_real real null,"
                           " c_float float null,"
                           " c_bit bit not null default 0,"
                           " c_datetime datetime null,"
                           " c_smalldatetime smalldatetime null,"
                           " c_money money null,"
                           " c_smallmoney smallmoney null,"
                           " c_numeric numeric(38,0) null,"
                           " c_decimal decimal(10,2) null)";

// ASE returns an empty char or varchar value as one blank (a zero length
// means NULL on the wire), pads char(n) with blanks and binary(n) with
// zeros; the sandbox does the same. A bytes field always holds its declared
// length, so a shorter varbinary value reads back padded with zeros.
const Case kCases[] = {
    {"c_varchar", "'hello, world'", Str{"hello, world"}},
    {"c_varchar", "''", Str{" "}},
    {"c_varchar", "NULL", Null{}},
    {"c_char", "'abc'", Str{"abc       "}},
    {"c_char", "''", Str{"          "}},
    {"c_char", "NULL", Null{}},
    {"c_binary", "0x01020304", Bytes{"\x01\x02\x03\x04"}},
    {"c_binary", "0xFF", Bytes{std::string("\xFF\0\0\0", 4)}},
    {"c_binary", "NULL", Null{}},
    {"c_varbinary", "0xDEADBEEF", Bytes{std::string("\xDE\xAD\xBE\xEF\0\0\0\0", 8)}},
    {"c_varbinary", "NULL", Null{}},
    {"c_tinyint", "0", Int{0}},
    {"c_tinyint", "255", Int{255}},
    {"c_tinyint", "NULL", Null{}},
    {"c_smallint", "-32768", Int{-32768}},
    {"c_smallint", "32767", Int{32767}},
    {"c_int", "-2147483648", Int{-2147483647 - 1}},
    {"c_int", "2147483647", Int{2147483647}},
    {"c_int", "NULL", Null{}},
    {"c_real", "1.5", Real{1.5}},
    {"c_real", "-0.25", Real{-0.25}},
    {"c_float", "-2.25e100", Real{-2.25e100}},
    {"c_float", "NULL", Null{}},
    {"c_bit", "1", Int{1}},
    {"c_bit", "0", Int{0}},
    {"c_datetime", "'1753-01-01 00:00:00.000'", Date{"1753-01-01 00:00:00.000"}},
    {"c_datetime", "'9999-12-31 23:59:59.997'", Date{"9999-12-31 23:59:59.997"}},
    {"c_datetime", "'1900-01-01 10:00:00.003'", Date{"1900-01-01 10:00:00.003"}},
    {"c_datetime", "NULL", Null{}},
    {"c_smalldatetime", "'1900-01-01 00:00'", Date{"1900-01-01 00:00:00.000"}},
    {"c_smalldatetime", "'2079-06-06 23:59'", Date{"2079-06-06 23:59:00.000"}},
    {"c_smalldatetime", "NULL", Null{}},
    {"c_money", "-922337203685477.5808", Real{-922337203685477.5808}},
    {"c_money", "922337203685477.5807", Real{922337203685477.5807}},
    {"c_money", "0.0001", Real{0.0001}},
    {"c_money", "NULL", Null{}},
    {"c_smallmoney", "-214748.3648", Real{-214748.3648}},
    {"c_smallmoney", "214748.3647", Real{214748.3647}},
    {"c_numeric", "99999999999999999999999999999999999999", Real{1e38}},
    {"c_numeric", "-99999999999999999999999999999999999999", Real{-1e38}},
    {"c_numeric", "0", Real{0}},
    {"c_numeric", "NULL", Null{}},
    {"c_decimal", "-12345678.91", Real{-12345678.91}},
    {"c_decimal", "0.01", Real{0.01}},
    {"c_text", "'some text'", Str{"some text"}},
    {"c_text", "''", Str{""}},
    {"c_text", "NULL", Null{}},
    {"c_image", "0x89504E47", Bytes{"\x89PNG"}},
    {"c_image", "0x", Bytes{""}},
    {"c_image", "NULL", Null{}},
};

class TypesTest : public IntegrationTest {
protected:
    void SetUp() override {
        IntegrationTest::SetUp();
        Conn->Connect();
        Exec(kTable);
    }

    // A blob field's bytes through a read stream.
    static std::string BlobBytes(TSybQuery& q, vcl::TField* f) {
        std::unique_ptr<vcl::TStream> s(q.CreateBlobStream(f, vcl::bmRead));
        std::string bytes(static_cast<size_t>(s->Size()), '\0');
        if (!bytes.empty()) s->Read(bytes.data(), static_cast<int64_t>(bytes.size()));
        return bytes;
    }

    // The maximum length ct_describe reported for the column.
    static Cstypes::CS_INT DeclaredLength(TSybQuery& q, const std::string& column) {
        for (int i = 0; i < q.FetchFieldCount(); ++i) {
            auto* f = dynamic_cast<SybConnect::TSybClientField*>(q.GetFetchField(i));
            if (f && f->GetName() == column) return f->GetFormat().maxlength;
        }
        ADD_FAILURE() << "no column " << column;
        return -1;
    }
};

TEST_F(TypesTest, EveryMappedTypeReturnsWhatWasInserted) {
    int id = 0;
    for (const Case& c : kCases)
        Exec("insert e2e_types (id, " + std::string(c.column) + ") values (" + std::to_string(++id) + ", " +
             c.literal + ")");

    TSybQuery* q = NewQuery("select * from e2e_types order by id");
    q->Open();
    ASSERT_EQ(q->RecordCount(), static_cast<int>(std::size(kCases)));
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.literal);
        ASSERT_FALSE(q->Eof());
        vcl::TField* f = q->FieldByName(c.column);
        std::visit(
            [&](const auto& e) {
                using T = std::decay_t<decltype(e)>;
                if constexpr (std::is_same_v<T, Null>) {
                    EXPECT_TRUE(f->IsNull());
                } else {
                    ASSERT_FALSE(f->IsNull());
                    if constexpr (std::is_same_v<T, Str>) {
                        EXPECT_EQ(f->IsBlob() ? BlobBytes(*q, f) : f->AsString(), e.v);
                    } else if constexpr (std::is_same_v<T, Bytes>) {
                        EXPECT_EQ(Hex(f->IsBlob() ? BlobBytes(*q, f) : f->AsString()), Hex(e.v));
                    } else if constexpr (std::is_same_v<T, Int>) {
                        if (f->DataType() == vcl::ftBoolean)
                            EXPECT_EQ(f->AsBoolean(), e.v != 0);
                        else
                            EXPECT_EQ(f->AsInteger(), e.v);
                    } else if constexpr (std::is_same_v<T, Real>) {
                        EXPECT_NEAR(f->AsFloat(), e.v, std::fabs(e.v) * 1e-15);
                    } else {
                        EXPECT_EQ(vcl::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", f->AsDateTime()), e.v);
                    }
                }
            },
            c.expected);
        // Every other column of the row was left NULL (bit has its default).
        for (int i = 1; i < q->Fields()->Count(); ++i) {
            vcl::TField* other = q->Fields()->Fields(i);
            if (other != f && other->FieldName() != "c_bit") {
                EXPECT_TRUE(other->IsNull()) << other->FieldName();
            }
        }
        q->Next();
    }
}

// A text value of n bytes, and an image value of n bytes holding every byte.
std::string TextOf(size_t n) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}
std::string ImageOf(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7) % 256);
    return s;
}

TEST_F(TypesTest, TextAndImageFollowTheSessionsTextSize) {
    constexpr size_t k100K = 100 * 1024;
    TSybQuery* insert = NewQuery("insert e2e_types (id, c_text, c_image) values (:id, :t, :i)");
    auto put = [&](int id, const std::string& text, const std::string& image) {
        insert->ParamByName("id")->SetAsInteger(id);
        insert->ParamByName("t")->SetAsMemo(text);
        insert->ParamByName("i")->SetAsBlob(image);
        insert->ExecSQL();
    };
    put(1, TextOf(k100K), ImageOf(k100K));
    put(2, TextOf(k100K + 5000), ImageOf(k100K + 5000));

    auto read = [&](Cstypes::CS_INT textSize) {
        SCOPED_TRACE("textsize " + std::to_string(textSize));
        TSybQuery* q = NewQuery("select id, c_text, c_image from e2e_types order by id");
        q->Open();
        // The declared maximum is the session's text size, never 2^31 - 1.
        EXPECT_EQ(DeclaredLength(*q, "c_text"), textSize);
        EXPECT_EQ(DeclaredLength(*q, "c_image"), textSize);
        std::vector<std::pair<std::string, std::string>> values;
        for (q->First(); !q->Eof(); q->Next())
            values.emplace_back(BlobBytes(*q, q->FieldByName("c_text")), BlobBytes(*q, q->FieldByName("c_image")));
        q->Close();
        return values;
    };

    // The login's text size cuts both values, as ASE cuts them.
    const Cstypes::CS_INT initial = std::stoi(Select("select @@textsize")[0][0].value());
    ASSERT_LT(initial, static_cast<Cstypes::CS_INT>(k100K));
    auto cut = read(initial);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].first, TextOf(initial));
    EXPECT_EQ(Hex(cut[0].second), Hex(ImageOf(initial)));

    // Raised to 100 KB: the 100 KB values arrive whole, the longer ones are
    // cut at exactly 100 KB.
    Exec("set textsize " + std::to_string(k100K));
    auto full = read(static_cast<Cstypes::CS_INT>(k100K));
    ASSERT_EQ(full.size(), 2u);
    EXPECT_TRUE(full[0].first == TextOf(k100K)) << full[0].first.size();
    EXPECT_TRUE(full[0].second == ImageOf(k100K)) << full[0].second.size();
    EXPECT_TRUE(full[1].first == TextOf(k100K)) << full[1].first.size();
    EXPECT_TRUE(full[1].second == ImageOf(k100K)) << full[1].second.size();
}

} // namespace
} // namespace Integration
