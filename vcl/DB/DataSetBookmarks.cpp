// TDataSet: bookmarks.
#include <cstring>

#include "vcl/DB/DataSet.h"

namespace vcl {

namespace {
bool BookmarkAvailable(TDataSetState state) { return state == dsBrowse || state == dsEdit || state == dsInsert; }
} // namespace

TBookmark TDataSet::GetBookmark() {
    if (!BookmarkAvailable(FState) || IsEmpty() || FBookmarkSize <= 0 || GetBookmarkFlag(ActiveBuffer()) != bfCurrent)
        return nullptr;
    char* block = new char[static_cast<size_t>(FBookmarkSize)]();
    try {
        GetBookmarkData(ActiveBuffer(), block);
    } catch (...) {
        delete[] block;
        throw;
    }
    return block;
}

void TDataSet::FreeBookmark(TBookmark Bookmark) { delete[] static_cast<char*>(Bookmark); }

TBookmarkStr TDataSet::GetBookmarkStr() {
    if (!BookmarkAvailable(FState) || IsEmpty() || FBookmarkSize <= 0 || GetBookmarkFlag(ActiveBuffer()) != bfCurrent)
        return TBookmarkStr();
    TBookmarkStr result(static_cast<size_t>(FBookmarkSize), '\0');
    GetBookmarkData(ActiveBuffer(), result.data());
    return result;
}

void TDataSet::SetBookmarkStr(const TBookmarkStr& Value) {
    if (Value.empty()) return;
    // A string shorter than a bookmark would let the descendant read past it.
    if (static_cast<int>(Value.size()) < FBookmarkSize) DatabaseError("Record not found", this);
    GotoBookmark(const_cast<char*>(Value.data()));
}

void TDataSet::GotoBookmark(TBookmark Bookmark) {
    if (!Bookmark) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(Bookmark);
    Resync(rmExact | rmCenter);
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(TBookmark) { return false; }

int TDataSet::CompareBookmarks(TBookmark, TBookmark) { return 0; }

} // namespace vcl
