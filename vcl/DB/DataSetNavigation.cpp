// TDataSet: the record-buffer window and moving through the data.
#include <algorithm>

#include "vcl/DB/DataSet.h"
#include "vcl/DB/DataSource.h"
#include "vcl/DB/Field.h"

namespace vcl {

namespace {

// Runs Final after Body whether or not Body raised, like try/finally: an
// exception from Final replaces the one in flight.
template <typename Body, typename Final>
void TryFinally(Body body, Final final) {
    try {
        body();
    } catch (...) {
        final();
        throw;
    }
    final();
}

} // namespace

void TDataSet::SetBufListSize(int Value) {
    const size_t wanted = static_cast<size_t>(std::max(Value, 0));
    if (wanted > FBuffers.size()) {
        FBuffers.reserve(wanted);
        std::vector<TRecordBuffer> added;
        added.reserve(wanted - FBuffers.size());
        try {
            while (FBuffers.size() + added.size() < wanted) added.push_back(AllocRecordBuffer());
        } catch (...) {
            for (TRecordBuffer& b : added) FreeRecordBuffer(b);
            throw;
        }
        FBuffers.insert(FBuffers.end(), added.begin(), added.end());
    } else {
        while (FBuffers.size() > wanted) {
            TRecordBuffer b = FBuffers.back();
            FBuffers.pop_back();
            FreeRecordBuffer(b);
        }
    }
}

void TDataSet::SetBufferCount(int Value) {
    if (Value == FBufferCount) return;
    if (Value < 1) Value = 1;
    if (FRecordCount > Value) {
        // Keep the active record inside the smaller window: the rows before it
        // drop out first, then the rows after it.
        int delta = std::max(0, FActiveRecord - Value + 1);
        if (delta > 0) {
            std::rotate(FBuffers.begin(), FBuffers.begin() + delta, FBuffers.end());
            FActiveRecord -= delta;
            FCurrentRecord = FCurrentRecord >= delta ? FCurrentRecord - delta : -1;
            FRecordCount -= delta;
            for (TDataSource* source : FDataSources)
                for (TDataLink* link : source->FDataLinks) link->FFirstRecord = std::max(0, link->FFirstRecord - delta);
        }
        if (FRecordCount > Value) {
            if (FCurrentRecord >= Value) FCurrentRecord = -1;
            FRecordCount = Value;
        }
    }
    SetBufListSize(Value + 1);
    FBufferCount = Value;
    GetNextRecords();
    GetPriorRecords();
    for (TDataSource* source : FDataSources)
        for (TDataLink* link : source->FDataLinks)
            if (link->Active()) link->UpdateRange();
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

void TDataSet::ActivateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    auto first = FBuffers.begin();
    if (CurIndex < NewIndex)
        std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
    else
        std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
}

void TDataSet::SetCurrentRecord(int Index) {
    if (FCurrentRecord == Index) return;
    TRecordBuffer buffer = FBuffers[static_cast<size_t>(Index)];
    switch (GetBookmarkFlag(buffer)) {
    case bfCurrent:
    case bfInserted:
        InternalSetToRecord(buffer);
        break;
    case bfBOF:
        InternalFirst();
        break;
    case bfEOF:
        InternalLast();
        break;
    }
    FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = gmNext;
    if (FRecordCount > 0) {
        SetCurrentRecord(FRecordCount - 1);
        if (FState == dsInsert && FCurrentRecord == FActiveRecord && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
            mode = gmCurrent;
    }
    if (GetRecord(TempBuffer(), mode, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == 0)
        ActivateBuffers();
    else if (FRecordCount < FBufferCount)
        ++FRecordCount;
    else
        MoveBuffer(0, FRecordCount);
    FCurrentRecord = FRecordCount - 1;
    return true;
}

bool TDataSet::GetPriorRecord() {
    if (FRecordCount > 0) SetCurrentRecord(0);
    if (GetRecord(TempBuffer(), gmPrior, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == 0) {
        ActivateBuffers();
    } else {
        MoveBuffer(FRecordCount, 0);
        if (FRecordCount < FBufferCount) {
            ++FRecordCount;
            ++FActiveRecord;
        }
    }
    FCurrentRecord = 0;
    return true;
}

int TDataSet::GetNextRecords() {
    int count = 0;
    while (FRecordCount < FBufferCount && GetNextRecord()) ++count;
    return count;
}

int TDataSet::GetPriorRecords() {
    int count = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord()) ++count;
    return count;
}

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    TryFinally(
        [&] {
            InternalFirst();
            GetNextRecord();
            GetNextRecords();
        },
        [&] {
            FBOF = true;
            DataEvent(deDataSetChange, 0);
            DoAfterScroll();
        });
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    TryFinally(
        [&] {
            InternalLast();
            GetPriorRecord();
            GetPriorRecords();
        },
        [&] {
            FEOF = true;
            DataEvent(deDataSetChange, 0);
            DoAfterScroll();
        });
}

int TDataSet::MoveBy(int Distance) {
    CheckBrowseMode();
    int result = 0;
    DoBeforeScroll();
    if (Distance == 0 || (Distance > 0 && FEOF) || (Distance < 0 && FBOF)) return 0;
    FBOF = false;
    FEOF = false;
    int shift = 0;
    TryFinally(
        [&] {
            while (Distance > 0) {
                if (FActiveRecord < FRecordCount - 1) {
                    ++FActiveRecord;
                } else {
                    const bool full = FRecordCount >= FBufferCount;
                    if (!GetNextRecord()) {
                        FEOF = true;
                        break;
                    }
                    if (full) --shift;
                    FActiveRecord = FRecordCount - 1;
                }
                --Distance;
                ++result;
            }
            while (Distance < 0) {
                if (FActiveRecord > 0) {
                    --FActiveRecord;
                } else {
                    const bool full = FRecordCount >= FBufferCount;
                    if (!GetPriorRecord()) {
                        FBOF = true;
                        break;
                    }
                    if (full) ++shift;
                    FActiveRecord = 0;
                }
                ++Distance;
                --result;
            }
        },
        [&] {
            DataEvent(deDataSetScroll, shift);
            DoAfterScroll();
        });
    return result;
}

void TDataSet::Resync(TResyncMode Mode) {
    if (FBuffers.empty()) DatabaseError("Cannot perform this operation on a closed dataset", this);
    if (Mode & rmExact) {
        CursorPosChanged();
        if (GetRecord(TempBuffer(), gmCurrent, true) != grOK) DatabaseError("Record not found", this);
    } else if (GetRecord(TempBuffer(), gmCurrent, false) != grOK && GetRecord(TempBuffer(), gmNext, false) != grOK &&
               GetRecord(TempBuffer(), gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    int count = (Mode & rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
    TryFinally(
        [&] {
            while (count > 0 && GetPriorRecord()) --count;
            GetNextRecords();
            GetPriorRecords();
        },
        [&] { DataEvent(deDataSetChange, 0); });
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    Fire(BeforeRefresh);
    UpdateCursorPos();
    InternalRefresh();
    Resync(0);
    Fire(AfterRefresh);
}

} // namespace vcl
