// Moving through the record list for the framework: GetRecord, the ends,
// FindRecord, and the buffer of each state.
#include <cstring>

#include "components/SybDataSet.h"

namespace SybDataSet {

using namespace vcl;

TGetResult TSybDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool /*DoCheck*/) {
    const int32_t count = RecordListCount();
    TGetResult result;
    bool accepted = true;
    do {
        switch (GetMode) {
        case gmCurrent:
            result = FCurrentIndex < count ? (FCurrentIndex < 0 ? grBOF : grOK) : grEOF;
            break;
        case gmNext:
            if (FCurrentIndex < count - 1) {
                ++FCurrentIndex;
                result = grOK;
            } else {
                result = grEOF;
            }
            break;
        case gmPrior:
            if (FCurrentIndex > 0) {
                --FCurrentIndex;
                result = grOK;
            } else {
                result = grBOF;
            }
            break;
        default:
            result = grError;
            break;
        }
        if (result != grOK) break;
        std::memcpy(Buffer, FRecords[static_cast<size_t>(FCurrentIndex)], static_cast<size_t>(FRecordSize));
        const TDataSetState state = State();
        SetRecordNumber(Buffer, state == dsBrowse || state == dsInactive ? FCurrentIndex + 1 : -1);
        SetRecordFlag(Buffer, bfCurrent);
        accepted = FilterRecord(Buffer);
        if (GetMode == gmCurrent && !accepted) result = grError;
        if (result == grOK && accepted) GetCalcFields(Buffer);
    } while (result == grOK && !accepted);
    return result;
}

void TSybDataSet::InternalFirst() { FCurrentIndex = -1; }

void TSybDataSet::InternalLast() { FCurrentIndex = RecordListCount(); }

bool TSybDataSet::FindRecord(bool Restart, bool GoForward) {
    CheckBrowseMode();
    DoBeforeScroll();
    SetFound(false);
    UpdateCursorPos();
    CursorPosChanged();
    if (Restart) {
        // First / Last leave the cursor on the last record they read into the
        // window; a restarted search starts from the end itself.
        if (GoForward) {
            First();
            InternalFirst();
        } else {
            Last();
            InternalLast();
        }
    }
    // One step, and past records the filter rejects: landing on one would
    // make the Resync below fail with "Record not found".
    const int32_t start = FCurrentIndex;
    const int32_t count = RecordListCount();
    const bool filtered = IsFiltered();
    bool moved = false;
    for (;;) {
        if (GoForward ? FCurrentIndex < count - 1 : FCurrentIndex > 0) {
            FCurrentIndex += GoForward ? 1 : -1;
        } else {
            break;
        }
        if (!filtered || FilterRecord(FRecords[static_cast<size_t>(FCurrentIndex)])) {
            moved = true;
            break;
        }
    }
    if (!moved) FCurrentIndex = start;
    if (moved) {
        Resync(rmExact | rmCenter);
        SetFound(true);
    }
    const bool result = Found();
    if (result) DoAfterScroll();
    return result;
}

TRecordBuffer TSybDataSet::GetActiveRecordBuffer() {
    switch (State()) {
    case dsBrowse:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsNewValue:
    case dsCurValue:
        return ActiveBuffer();
    case dsCalcFields:
        return CalcBuffer();
    case dsFilter:
        return FFilterBuffer;
    case dsOldValue:
        return FEditCopy ? FEditCopy : ActiveBuffer();
    default:
        return nullptr;
    }
}

} // namespace SybDataSet
