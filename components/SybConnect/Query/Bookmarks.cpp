// Bookmarks: a 4-byte 0-based position in the record list, kept in the
// record-info block as record number - 1. A bookmark names a position, not a
// record.
#include <cstring>

#include "components/SybConnect/Query.h"

namespace SybConnect {

using namespace vcl;

namespace {

int32_t Position(const void* Bookmark) {
    int32_t value;
    std::memcpy(&value, Bookmark, sizeof value);
    return value;
}

} // namespace

void TSybQuery::GetBookmarkData(TRecordBuffer Buffer, TBookmark Data) {
    const int32_t position = GetRecordNumber(Buffer) - 1;
    std::memcpy(Data, &position, sizeof position);
}

void TSybQuery::SetBookmarkData(TRecordBuffer Buffer, TBookmark Data) { SetRecordNumber(Buffer, Position(Data) + 1); }

TBookmarkFlag TSybQuery::GetBookmarkFlag(TRecordBuffer Buffer) { return GetRecordFlag(Buffer); }

void TSybQuery::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) { SetRecordFlag(Buffer, Value); }

bool TSybQuery::BookmarkValid(TBookmark Bookmark) {
    if (!Bookmark) return false;
    const int32_t position = Position(Bookmark);
    return position >= 0 && position < RecordListCount();
}

int TSybQuery::CompareBookmarks(TBookmark Bookmark1, TBookmark Bookmark2) {
    if (!Bookmark1 || !Bookmark2) return 0;
    const int32_t a = Position(Bookmark1);
    const int32_t b = Position(Bookmark2);
    return a < b ? -1 : (a > b ? 1 : 0);
}

void TSybQuery::InternalGotoBookmark(TBookmark Bookmark) {
    FCurrentIndex = BookmarkValid(Bookmark) ? Position(Bookmark) : -1;
}

void TSybQuery::InternalSetToRecord(TRecordBuffer Buffer) {
    const int32_t number = GetRecordNumber(Buffer);
    FCurrentIndex = number < 0 ? -1 : number - 1;
}

} // namespace SybConnect
