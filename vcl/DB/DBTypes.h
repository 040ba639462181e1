// Enumerations, buffer and bookmark types and event signatures shared by the
// dataset framework's classes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vcl {

class TComponent;
class TDataSet;
class TField;
class EDatabaseError;

// A record buffer: BufferCount + 1 of them per open dataset, allocated and
// laid out by the descendant (AllocRecordBuffer). The framework never looks
// inside one; it only moves the pointers around.
using TRecordBuffer = char*;

// A bookmark: a block of BookmarkSize bytes whose meaning the descendant
// defines. GetBookmark allocates one, FreeBookmark releases it.
using TBookmark = void*;
// The same bytes held in a string (the Bookmark property); empty means none.
using TBookmarkStr = std::string;

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening,
};

inline bool IsEditMode(TDataSetState s) { return s == dsEdit || s == dsInsert || s == dsSetKey; }
inline bool IsWriteMode(TDataSetState s) {
    return IsEditMode(s) || s == dsCalcFields || s == dsFilter || s == dsNewValue || s == dsInternalCalc;
}

enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
    deParentScroll,
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag : uint8_t { bfCurrent = 0, bfBOF = 1, bfEOF = 2, bfInserted = 3 };
enum TDataAction { daFail, daAbort, daRetry };
enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// Sets, as bit masks: Resync(rmExact | rmCenter), Resync(0) for [].
enum TResyncModeFlag : unsigned { rmExact = 1u, rmCenter = 2u };
using TResyncMode = unsigned;
enum TLocateOption : unsigned { loCaseInsensitive = 1u, loPartialKey = 2u };
using TLocateOptions = unsigned;
enum TFilterOption : unsigned { foCaseInsensitive = 1u, foNoPartialCompare = 2u };
using TFilterOptions = unsigned;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;

// Creates a field of the class that serves a field type, with the owner given.
using TFieldClass = TField* (*)(TComponent* AOwner);

// Bytes of a field-value buffer beyond DataSize. Some descendants keep wider
// slots than the native value (an 8-byte slot for a 4-byte date) and copy the
// slot width; the slack keeps such copies inside the buffer.
constexpr int FieldBufferSlack = 16;

} // namespace vcl
