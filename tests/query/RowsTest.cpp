// A million rows through the scripted Open Client: every row is stored, and
// reading them allocates nothing per row but the record buffer and the blob
// of its text value. This executable counts allocations with its own
// global operator new.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "Fixture.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* Allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace QueryTests {
namespace {

constexpr int64_t Rows = 1000000;
// Every this many rows the text value is longer than any short-string
// buffer, so its bytes need an allocation of their own.
constexpr int64_t LongTextEvery = 1000;

class RowsTest : public QueryTest {};

TEST_F(RowsTest, AMillionRowsAllocateOnlyTheirRecordBuffersAndBlobs) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select ID, NAME, NOTE from big");
    FakeOC::Batch b;
    b.push_back(FakeOC::Result::GeneratedRowResult(
        {Column::Of("ID", CS_INT_TYPE), Column::Of("NAME", CS_CHAR_TYPE, 12), Column::Of("NOTE", CS_TEXT_TYPE, 1000)},
        Rows, [](int64_t row, FakeOC::RowWriter& out) {
            out.SetInt(1, static_cast<int32_t>(row));
            char name[16];
            const int n = std::snprintf(name, sizeof name, "r%lld", static_cast<long long>(row));
            out.SetBytes(2, name, static_cast<size_t>(n));
            if (row % LongTextEvery == 0)
                out.SetText(3, "a note of some forty bytes, row by row..");
            else
                out.SetText(3, "short");
        }));
    b.push_back(FakeOC::Result::CmdDone());
    FakeOC::QueueResults(b);
    FakeOC::SetLogging(false);

    allocations = 0;
    counting = true;
    q->Open();
    counting = false;

    ASSERT_EQ(q->RecordCount(), Rows);
    EXPECT_EQ(q->BlobCount(), Rows);
    // Per row the record buffer and the blob object; the long texts' bytes.
    // The rest grows the record list and the blob table geometrically, plus
    // what every open allocates once.
    const long limit = 2 * Rows + Rows / LongTextEvery + 2000;
    EXPECT_LE(allocations.load(), limit);
    EXPECT_GE(allocations.load(), 2 * Rows);

    EXPECT_EQ(FieldInt(q, "ID"), 0);
    EXPECT_EQ(q->FieldByName("NOTE")->AsString(), "a note of some forty bytes, row by row..");
    q->Last();
    EXPECT_EQ(FieldInt(q, "ID"), Rows - 1);
    EXPECT_EQ(q->FieldByName("NAME")->AsString(), "r999999");
    q->Close();
    FakeOC::SetLogging(true);
    ExpectRestored();
}

} // namespace
} // namespace QueryTests
