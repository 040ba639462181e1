// Blob values and the store's blob table.
#include <algorithm>
#include <cstring>
#include <limits>

#include "components/SybDataSet.h"

namespace SybDataSet {

using namespace vcl;

void TBTBlob::SetData(std::string Value) {
    if (Value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw Exception(Format("Blob value too large (%d bytes)", {static_cast<long long>(Value.size())}));
    FData = std::move(Value);
    FSize = static_cast<int32_t>(FData.size());
}

void TBTBlob::LoadFromStream(TMemoryStream& Stream) {
    const int64_t size = Stream.Size();
    if (size > std::numeric_limits<int32_t>::max())
        throw Exception(Format("Blob value too large (%d bytes)", {static_cast<long long>(size)}));
    // Read into a fresh string first: a failed read leaves the value as it was.
    std::string data(static_cast<size_t>(size), '\0');
    Stream.Seek(0, soBeginning);
    if (size > 0) Stream.ReadBuffer(data.data(), size);
    FData = std::move(data);
    FSize = static_cast<int32_t>(size);
}

void TBTBlob::SaveToStream(TMemoryStream& Stream) const {
    Stream.SetSize(FSize);
    Stream.SetPosition(0);
    if (FSize > 0) Stream.Write(FData.data(), FSize);
    Stream.SetPosition(0);
}

TBTBlob* TSybDataSet::GetBlobByRef(uint32_t Ref) const {
    if (Ref == 0 || Ref > FBlobs.size()) return nullptr;
    return FBlobs[Ref - 1].get();
}

TBTBlob* TSybDataSet::GetSlotBlob(const char* Slot) const {
    if (!Slot) return nullptr;
    uint32_t ref;
    std::memcpy(&ref, Slot + 1, sizeof ref);
    return GetBlobByRef(ref);
}

TBTBlob* TSybDataSet::StoreSlotBlob(char* Slot, std::unique_ptr<TBTBlob> Blob) {
    if (!Slot || !Blob) return nullptr;
    // References are 32-bit and never reused while open.
    if (FBlobs.size() >= std::numeric_limits<uint32_t>::max())
        DatabaseError("Too many blob values in one result", this);
    FBlobs.push_back(std::move(Blob));
    ++FLiveBlobs;
    const uint32_t ref = static_cast<uint32_t>(FBlobs.size());
    std::memcpy(Slot + 1, &ref, sizeof ref);
    return FBlobs.back().get();
}

TBTBlob* TSybDataSet::NewSlotBlob(char* Slot) { return StoreSlotBlob(Slot, std::make_unique<TBTBlob>()); }

void TSybDataSet::FreeBlobRef(uint32_t Ref) {
    if (Ref == 0 || Ref > FBlobs.size() || !FBlobs[Ref - 1]) return;
    TBTBlob* blob = FBlobs[Ref - 1].get();
    for (TBTBlobStream* stream : FStreams)
        if (stream->FBlob == blob) stream->Detach();
    FBlobs[Ref - 1].reset();
    --FLiveBlobs;
}

void TSybDataSet::FreeAllBlobs() {
    for (TBTBlobStream* stream : FStreams)
        if (stream->FBlob) stream->Detach();
    FBlobs.clear();
    FBlobs.shrink_to_fit();
    FLiveBlobs = 0;
}

void TSybDataSet::RegisterStream(TBTBlobStream* Stream) { FStreams.push_back(Stream); }

void TSybDataSet::UnregisterStream(TBTBlobStream* Stream) {
    auto it = std::find(FStreams.begin(), FStreams.end(), Stream);
    if (it != FStreams.end()) FStreams.erase(it);
}

void TSybDataSet::DetachStreams() {
    for (TBTBlobStream* stream : FStreams) stream->Detach();
}

} // namespace SybDataSet
