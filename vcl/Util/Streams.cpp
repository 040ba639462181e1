// TStream helpers and TMemoryStream.
#include "vcl/Classes/Streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vcl {

int64_t TStream::Seek(int64_t offset, int origin) {
    switch (origin) {
    case soFromBeginning: return Seek(offset, soBeginning);
    case soFromCurrent: return Seek(offset, soCurrent);
    case soFromEnd: return Seek(offset, soEnd);
    default: throw EStreamError("Invalid stream origin " + IntToStr(origin));
    }
}

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t /*newSize*/) {}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const int64_t total = count;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count > 0 ? count : 0, 0xF000)));
    while (count > 0) {
        const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return total;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || FPosition >= FSize) return 0;
    const int64_t n = std::min(count, FSize - FPosition);
    std::memcpy(buffer, FMemory.get() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t end = FPosition + count;
    if (end > FSize) {
        if (end > FCapacity) {
            // Double, so a run of small writes costs linear time.
            int64_t capacity = std::max<int64_t>(FCapacity, 256);
            while (capacity < end) capacity *= 2;
            SetCapacity(capacity);
        }
        // A gap left by a seek past the end reads as zeros.
        if (FPosition > FSize) std::memset(FMemory.get() + FSize, 0, static_cast<size_t>(FPosition - FSize));
        FSize = end;
    }
    std::memcpy(FMemory.get() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    switch (origin) {
    case soBeginning: base = 0; break;
    case soCurrent: base = FPosition; break;
    case soEnd: base = FSize; break;
    }
    const int64_t pos = base + offset;
    if (pos < 0) throw EStreamError("Invalid stream position " + IntToStr(pos));
    FPosition = pos;
    return FPosition;
}

void TMemoryStream::SetCapacity(int64_t newCapacity) {
    if (newCapacity == FCapacity) return;
    if (newCapacity <= 0) {
        FMemory.reset();
        FCapacity = 0;
        return;
    }
    auto memory = std::make_unique<uint8_t[]>(static_cast<size_t>(newCapacity));
    if (FSize > 0) std::memcpy(memory.get(), FMemory.get(), static_cast<size_t>(std::min(FSize, newCapacity)));
    FMemory = std::move(memory);
    FCapacity = newCapacity;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EStreamError("Invalid stream size " + IntToStr(newSize));
    if (newSize > FCapacity) SetCapacity(newSize);
    if (newSize > FSize) std::memset(FMemory.get() + FSize, 0, static_cast<size_t>(newSize - FSize));
    FSize = newSize;
    if (FPosition > FSize) FPosition = FSize;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t count = source.Size();
    // Read into fresh memory first so a failing source leaves this stream intact.
    std::unique_ptr<uint8_t[]> memory = count > 0 ? std::make_unique<uint8_t[]>(static_cast<size_t>(count)) : nullptr;
    if (count > 0) source.ReadBuffer(memory.get(), count);
    FMemory = std::move(memory);
    FCapacity = FSize = count;
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& target) const {
    if (FSize > 0) target.WriteBuffer(FMemory.get(), FSize);
}

} // namespace vcl
