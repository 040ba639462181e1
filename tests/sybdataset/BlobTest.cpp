// Blob values: who frees them, and the blob-stream rules.
#include <gtest/gtest.h>

#include <memory>

#include "tests/sybdataset/TestStore.h"
#include "vcl/Forms.h"

using namespace storetest;

namespace {

int gBlobsDestroyed = 0;

struct CountingBlob : TBTBlob {
    ~CountingBlob() override { ++gBlobsDestroyed; }
};

// ID and MEMO; rows whose ID is in WithBlob get a blob "v<id>" (flag 255, as
// the row decoder writes), the others a null slot holding 0.
struct BlobStore : ::testing::Test {
    TTestStore s;
    std::vector<int> withBlob{0, 2};
    void SetUp() override {
        gBlobsDestroyed = 0;
        s.Columns = {{"ID", ftInteger, 0}, {"MEMO", ftMemo, 0}};
        s.Rows = 3;
        s.FillRow = [this](TTestStore& st, TRecordBuffer b, int row) {
            st.PutInt(b, 1, row);
            if (std::find(withBlob.begin(), withBlob.end(), row) == withBlob.end()) return;
            char* slot = b + st.FieldOffset(2);
            auto blob = std::make_unique<CountingBlob>();
            blob->SetData(Text("v", row));
            st.StoreSlotBlob(slot, std::move(blob));
            slot[0] = static_cast<char>(255);
        };
        s.Open();
    }
    TBlobField* memo() { return static_cast<TBlobField*>(s.FieldByName("MEMO")); }
    char* storedSlot(int pos) { return s.GetStoredRecord(pos) + s.FieldOffset(2); }
    std::unique_ptr<TBTBlobStream> stream(TBlobStreamMode mode) {
        return std::unique_ptr<TBTBlobStream>(static_cast<TBTBlobStream*>(s.CreateBlobStream(memo(), mode)));
    }
    static void write(TStream& st, const std::string& text) { st.WriteBuffer(text.data(), static_cast<int64_t>(text.size())); }
};

} // namespace

TEST_F(BlobStore, CloseFreesEachStoredBlobOnce) {
    EXPECT_EQ(memo()->AsString(), "v0");
    s.Next();
    EXPECT_TRUE(memo()->IsNull());
    s.Close();
    EXPECT_EQ(gBlobsDestroyed, 2); // record 1's slot holds 0: nothing for it
    EXPECT_EQ(s.BlobCount(), 0);
}

TEST_F(BlobStore, DeleteFreesTheRecordsBlobOnce) {
    s.Last();
    EXPECT_EQ(memo()->AsString(), "v2");
    s.Delete();
    EXPECT_EQ(gBlobsDestroyed, 1);
    EXPECT_EQ(s.RecordCount(), 2);
    s.Close();
    EXPECT_EQ(gBlobsDestroyed, 2);
}

TEST_F(BlobStore, ReadingANullBlobLeavesAnEmptyBlobInTheActiveBuffer) {
    s.Next(); // record 1, no blob
    const int before = s.BlobCount();
    auto st = stream(bmRead);
    EXPECT_EQ(st->Size(), 0);
    ASSERT_NE(st->Blob(), nullptr);
    EXPECT_EQ(s.GetSlotBlob(s.GetFieldPointer(s.ActiveBuffer(), memo())), st->Blob());
    EXPECT_EQ(s.GetSlotBlob(storedSlot(1)), nullptr); // the stored record is untouched
    EXPECT_EQ(s.BlobCount(), before + 1);
    st.reset();
    s.Close(); // the browse copy's blob goes with the store
    EXPECT_EQ(s.BlobCount(), 0);
}

TEST_F(BlobStore, NoActiveBufferGivesAnEmptyDetachedStream) {
    TTestStore e;
    e.Columns = {{"MEMO", ftMemo, 0}};
    e.Open();
    for (TBlobStreamMode mode : {bmRead, bmReadWrite, bmWrite}) {
        std::unique_ptr<TStream> st(e.CreateBlobStream(e.FieldByName("MEMO"), mode));
        auto* bs = static_cast<TBTBlobStream*>(st.get());
        EXPECT_EQ(bs->Slot(), nullptr);
        EXPECT_EQ(st->Size(), 0);
        write(*st, "lost");
    }
    EXPECT_EQ(e.BlobCount(), 0);
}

TEST_F(BlobStore, WriteBackSetsTheFlagByte) {
    struct Case {
        int record;
        std::string text;
        char flag;
    };
    for (const Case& c : {Case{0, "", 0}, Case{0, "abc", 1}, Case{1, "xy", 1}, Case{1, "", 0}}) {
        SCOPED_TRACE(c.record);
        s.First();
        s.MoveBy(c.record);
        s.Edit();
        int changes = 0;
        memo()->OnChange = [&](TField*) { ++changes; };
        {
            auto st = stream(bmWrite);
            EXPECT_EQ(st->Size(), 0); // bmWrite starts empty
            write(*st, c.text);
        }
        memo()->OnChange = nullptr;
        EXPECT_EQ(changes, 1);
        EXPECT_TRUE(memo()->Modified());
        EXPECT_TRUE(s.Modified());
        char* slot = s.GetFieldPointer(s.ActiveBuffer(), memo());
        EXPECT_EQ(slot[0], c.flag);
        s.Post();
        EXPECT_EQ(storedSlot(c.record)[0], c.flag);
        EXPECT_EQ(memo()->IsNull(), c.text.empty());
        EXPECT_EQ(memo()->AsString(), c.text);
    }
}

TEST_F(BlobStore, WriteStreamChecksReadOnlyBeforeEditMode) {
    auto message = [&](TBlobStreamMode mode) -> std::string {
        try {
            stream(mode);
        } catch (const EDatabaseError& e) {
            return e.Message();
        }
        return "no error";
    };
    memo()->SetReadOnly(true);
    EXPECT_EQ(message(bmWrite), "vtrReadOnlyErr");
    EXPECT_EQ(message(bmReadWrite), "vtrReadOnlyErr");
    EXPECT_EQ(message(bmRead), "no error");
    memo()->SetReadOnly(false);
    EXPECT_EQ(message(bmWrite), "vtrEditModeErr");
    EXPECT_EQ(message(bmReadWrite), "vtrEditModeErr");
    EXPECT_EQ(memo()->AsString(), "v0"); // nothing written by the refused streams
}

TEST_F(BlobStore, ReadStreamNeverWritesBack) {
    s.Last();
    s.Edit();
    {
        auto st = stream(bmRead);
        EXPECT_EQ(st->Size(), 2);
        st->Seek(0, soEnd);
        write(*st, "zz");
        EXPECT_FALSE(st->Modified());
        st->Truncate(); // not even an emptied read stream
        EXPECT_FALSE(st->Modified());
    }
    EXPECT_EQ(memo()->AsString(), "v2");
    EXPECT_FALSE(memo()->Modified());
    EXPECT_FALSE(s.Modified());
    s.Cancel();
}

TEST_F(BlobStore, ReadWriteStreamWritesBackOnlyWhatIsWritten) {
    s.Edit();
    {
        auto st = stream(bmReadWrite);
        EXPECT_EQ(st->Size(), 2); // the current value is loaded...
        EXPECT_FALSE(st->Modified()); // ...and is not a change
    }
    EXPECT_FALSE(memo()->Modified());
    EXPECT_FALSE(s.Modified());
    {
        auto st = stream(bmReadWrite);
        st->Seek(0, soEnd);
        write(*st, "+w");
        EXPECT_TRUE(st->Modified());
    }
    EXPECT_EQ(memo()->AsString(), "v0+w");
    s.Post();
    EXPECT_EQ(memo()->AsString(), "v0+w");
}

TEST_F(BlobStore, CancelledEditSharesTheStoredBlob) {
    s.Edit();
    {
        auto st = stream(bmWrite);
        write(*st, "");
    }
    s.Cancel();
    // The stored flag byte is as it was, the shared blob holds the new bytes.
    EXPECT_EQ(static_cast<unsigned char>(storedSlot(0)[0]), 255);
    EXPECT_EQ(s.GetSlotBlob(storedSlot(0))->Size(), 0);
    s.Close();
    EXPECT_EQ(gBlobsDestroyed, 2);
}

TEST_F(BlobStore, BlobsOfCancelledAndPostedInsertsAreFreedOnce) {
    s.Insert();
    {
        auto st = stream(bmWrite);
        write(*st, "cancelled");
    }
    s.Cancel();
    s.Append();
    s.FieldByName("ID")->SetAsInteger(9);
    {
        auto st = stream(bmWrite);
        write(*st, "posted");
    }
    s.Post();
    EXPECT_EQ(s.RecordCount(), 4);
    s.Last();
    EXPECT_EQ(memo()->AsString(), "posted");
    const int live = s.BlobCount();
    s.Delete(); // frees the posted record's blob, not the cancelled one
    EXPECT_EQ(s.BlobCount(), live - 1);
    s.Close();
    EXPECT_EQ(s.BlobCount(), 0); // ASan reports anything left or freed twice
}

TEST_F(BlobStore, WriteBackErrorGoesToTheApplication) {
    std::vector<std::string> reported;
    TObject* sender = nullptr;
    Application()->OnException = [&](TObject* Sender, const std::exception& E) {
        sender = Sender;
        reported.push_back(E.what());
    };
    s.Edit();
    TBTBlobStream* raw = nullptr;
    memo()->OnChange = [](TField*) { DatabaseError("change refused"); };
    {
        auto st = stream(bmWrite);
        raw = st.get();
        write(*st, "kept");
    } // must not raise here
    memo()->OnChange = nullptr;
    Application()->OnException = nullptr;
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "change refused");
    EXPECT_EQ(sender, raw);
    EXPECT_EQ(memo()->AsString(), "kept");
    s.Cancel();
}

TEST_F(BlobStore, StreamOutlivingTheRecordIsDetached) {
    s.Last();
    s.Edit();
    auto st = stream(bmWrite);
    write(*st, "late");
    s.Cancel();
    s.Delete(); // frees the blob the stream points at
    EXPECT_EQ(st->Blob(), nullptr);
    st.reset(); // writes nothing anywhere
    EXPECT_EQ(s.RecordCount(), 2);
    auto st2 = stream(bmRead);
    s.Close();
    EXPECT_EQ(st2->Slot(), nullptr);
}

TEST_F(BlobStore, NonBlobFieldIsAnInvalidCast) {
    try {
        s.CreateBlobStream(s.FieldByName("ID"), bmRead);
        FAIL() << "no error";
    } catch (const vcl::EInvalidCast& e) {
        EXPECT_EQ(e.Message(), "Invalid class typecast");
    }
}

TEST(Blob, LoadAndSaveTheWholeStream) {
    TMemoryStream m;
    m.WriteBuffer("hello", 5);
    TBTBlob b;
    EXPECT_EQ(b.Size(), 0);
    b.LoadFromStream(m); // position at the end does not matter
    EXPECT_EQ(b.Size(), 5);
    EXPECT_EQ(b.Data(), "hello");
    TMemoryStream out;
    out.WriteBuffer("0123456789", 10);
    b.SaveToStream(out);
    EXPECT_EQ(out.Size(), 5);
    EXPECT_EQ(out.Position(), 0);
    EXPECT_EQ(std::string(static_cast<const char*>(out.Memory()), 5), "hello");
}
