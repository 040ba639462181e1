// Filtering through OnFilterRecord, and counting with a filter.
#include "components/SybDataSet.h"

namespace SybDataSet {

using namespace vcl;

bool TSybDataSet::FilterRecord(TRecordBuffer Buffer) {
    bool accept = true;
    if (!IsFiltered()) return accept;
    const TDataSetState previous = SetTempState(dsFilter);
    TRecordBuffer previousBuffer = FFilterBuffer;
    FFilterBuffer = Buffer;
    try {
        if (FCalcKey) {
            ClearCalcFields(Buffer);
            GetCalcFields(Buffer);
        }
        if (Filtered() && OnFilterRecord()) OnFilterRecord()(this, accept);
    } catch (...) {
        FFilterBuffer = previousBuffer;
        RestoreState(previous);
        throw;
    }
    FFilterBuffer = previousBuffer;
    RestoreState(previous);
    return accept;
}

int TSybDataSet::GetRecordCount() {
    if (!IsFiltered()) return RecordListCount();
    const TDataSetState previous = SetTempState(dsBrowse);
    const int32_t index = FCurrentIndex;
    TRecordBuffer buffer = nullptr;
    int count = 0;
    // Whatever the filter does, the state, the position and the buffer come
    // back as they were.
    auto restore = [&] {
        if (buffer) FreeRecordBuffer(buffer);
        FCurrentIndex = index;
        RestoreState(previous);
    };
    try {
        buffer = AllocRecordBuffer();
        InternalFirst();
        while (GetRecord(buffer, gmNext, true) == grOK) ++count;
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return count;
}

} // namespace SybDataSet
