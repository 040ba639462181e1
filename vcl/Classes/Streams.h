// Streams: the abstract TStream and the TMemoryStream that keeps its bytes in
// one growing block of memory it owns.
#pragma once

#include <cstdint>
#include <memory>

#include "vcl/Classes/Object.h"
#include "vcl/SysUtils.h"

namespace vcl {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// The older integer origins.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

class EStreamError : public Exception {
public:
    using Exception::Exception;
};
// "Stream read error": ReadBuffer got fewer bytes than asked.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// "Stream write error": WriteBuffer wrote fewer bytes than asked.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream : public TObject {
public:
    // Read/Write move Position and return the number of bytes moved (0 at the
    // end, or for a negative count).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    int64_t Seek(int64_t offset, int origin);

    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);
    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    int64_t GetSize() { return Size(); }
    int64_t GetPosition() { return Position(); }

    // All or nothing: EReadError / EWriteError on a short transfer.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // count bytes from the source's position; count 0 copies the whole source
    // from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Bytes in memory. Writing past the end grows the stream (capacity doubles);
// a gap left by seeking past the end and writing reads as zeros. Position may
// be set beyond Size; reads there return 0 bytes.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override = default;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    using TStream::Seek;
    // A position before 0 is refused: EStreamError "Invalid stream position".
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return FSize; }
    // Shrinking moves a position beyond the new end to the end; growing
    // zero-fills.
    void SetSize(int64_t newSize) override;
    void Clear();

    void* Memory() { return FMemory.get(); }
    const void* Memory() const { return FMemory.get(); }
    int64_t Capacity() const { return FCapacity; }

    // Replaces the contents with the whole source (read from its start);
    // the position goes to 0.
    void LoadFromStream(TStream& source);
    // Writes the whole contents at the target's position.
    void SaveToStream(TStream& target) const;

protected:
    void SetCapacity(int64_t newCapacity);

private:
    std::unique_ptr<uint8_t[]> FMemory;
    int64_t FSize = 0;
    int64_t FCapacity = 0;
    int64_t FPosition = 0;
};

} // namespace vcl
