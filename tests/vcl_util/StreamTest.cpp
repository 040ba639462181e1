#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vcl/Classes.h"

using namespace vcl;

namespace {

std::string Contents(TMemoryStream& s) {
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// Accepts at most 3 bytes per write, as a full device would.
class ShortWriteStream : public TMemoryStream {
public:
    int64_t Write(const void* buffer, int64_t count) override {
        ++Writes;
        return TMemoryStream::Write(buffer, count > 3 ? 3 : count);
    }
    int Writes = 0;
};

} // namespace

TEST(MemoryStream, WritingPastTheEndGrows) {
    TMemoryStream s;
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Memory(), nullptr);
    EXPECT_EQ(s.Write("hello", 5), 5);
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.Position(), 5);
    s.SetPosition(3);
    s.WriteBuffer("LOWORLD", 7);
    EXPECT_EQ(Contents(s), "helLOWORLD");
    // A gap left by seeking beyond the end reads as zeros.
    s.Seek(2, soEnd);
    s.WriteBuffer("!", 1);
    EXPECT_EQ(s.Size(), 13);
    EXPECT_EQ(Contents(s), std::string("helLOWORLD\0\0!", 13));

    TMemoryStream big;
    for (int i = 0; i < 5000; ++i) big.WriteBuffer("x", 1);
    EXPECT_EQ(big.Size(), 5000);
    EXPECT_GE(big.Capacity(), 5000);
    EXPECT_LT(big.Capacity(), 10000);  // doubling, not one block per write
    EXPECT_EQ(big.Write("x", 0), 0);
    EXPECT_EQ(big.Write("x", -1), 0);
}

TEST(MemoryStream, SeekOrigins) {
    TMemoryStream s;
    s.WriteBuffer("0123456789", 10);
    EXPECT_EQ(s.Seek(4, soBeginning), 4);
    EXPECT_EQ(s.Seek(2, soCurrent), 6);
    EXPECT_EQ(s.Seek(-3, soCurrent), 3);
    EXPECT_EQ(s.Seek(-1, soEnd), 9);
    EXPECT_EQ(s.Seek(int64_t(1), soFromBeginning), 1);
    EXPECT_EQ(s.Seek(int64_t(1), soFromCurrent), 2);
    EXPECT_EQ(s.Seek(int64_t(0), soFromEnd), 10);
    EXPECT_EQ(s.Seek(int64_t(5), soFromEnd), 15);
    EXPECT_THROW(s.Seek(-11, soEnd), EStreamError);
    EXPECT_EQ(s.Position(), 15);  // a refused seek does not move
    EXPECT_THROW(s.Seek(int64_t(0), 7), EStreamError);
}

TEST(MemoryStream, ReadingAtAndNearTheEnd) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 4), 0);  // at the end
    s.SetPosition(4);
    EXPECT_EQ(s.Read(buf, 8), 2);  // what is there
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(s.Position(), 6);
    s.SetPosition(20);
    EXPECT_EQ(s.Read(buf, 1), 0);
    s.SetPosition(2);
    try {
        s.ReadBuffer(buf, 5);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    s.SetPosition(0);
    s.ReadBuffer(buf, 6);
    EXPECT_EQ(std::string(buf, 6), "abcdef");
}

TEST(MemoryStream, SizeAndClear) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);  // moved back to the new end
    EXPECT_EQ(Contents(s), "abc");
    s.SetSize(5);
    EXPECT_EQ(Contents(s), std::string("abc\0\0", 5));
    EXPECT_EQ(s.Position(), 3);
    EXPECT_THROW(s.SetSize(-1), EStreamError);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.Capacity(), 0);
}

TEST(MemoryStream, CopyLoadAndSave) {
    TMemoryStream src;
    src.WriteBuffer("0123456789", 10);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(src, 0), 10);  // 0: the whole source from its start
    EXPECT_EQ(Contents(dst), "0123456789");
    src.SetPosition(7);
    EXPECT_EQ(dst.CopyFrom(src, 3), 3);
    EXPECT_EQ(Contents(dst), "0123456789789");
    src.SetPosition(8);
    EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);

    TMemoryStream loaded;
    loaded.WriteBuffer("old contents", 12);
    src.SetPosition(4);
    loaded.LoadFromStream(src);
    EXPECT_EQ(Contents(loaded), "0123456789");
    EXPECT_EQ(loaded.Position(), 0);
    TMemoryStream saved;
    saved.WriteBuffer(">", 1);
    loaded.SaveToStream(saved);
    EXPECT_EQ(Contents(saved), ">0123456789");
}

TEST(MemoryStream, WriteBufferGoesThroughTheOverride) {
    ShortWriteStream s;
    try {
        s.WriteBuffer("abcdef", 6);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
    EXPECT_EQ(s.Writes, 1);
    TMemoryStream src;
    src.WriteBuffer("xy", 2);
    s.CopyFrom(src, 0);  // two bytes fit in one short write
    EXPECT_EQ(s.Writes, 2);
}
