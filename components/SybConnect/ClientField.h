// Column description and row decoding of the query component.
//
// TSybClientField describes one column of a result as ct_describe reported it:
// it keeps a copy of the CS_DATAFMT, maps the server type to a field type,
// gives the column's slot width and name, and owns the buffer that receives
// the column's value for each fetched row. InitFieldDefs builds the dataset's
// field definitions from the fetch fields; FillRecord decodes the current row
// of every fetch field into a record buffer of the store.
//
// How values reach the buffer. Fixed-size types (integers, floats, bit,
// datetime, money, numeric) and char/binary columns up to MaxBoundLength bytes
// are bound with ct_bind, so ct_fetch fills them with no further call. Text
// and image columns, char/binary columns declared longer than MaxBoundLength
// and unmapped types are not bound: a server may declare a text column of up
// to 2 GiB, and a buffer of that size per column is not an option, nor is a
// smaller bound buffer (a CT-Library cuts a longer character value and copies
// a longer binary value past the end). AfterFetch reads them with ct_get_data
// in pieces into a buffer that grows with the largest value seen and is kept
// for the next rows. A char/binary value longer than its declared length, or a
// text/image value above 2 GiB - 1, raises instead of being cut.
//
// Open Client reads unbound columns only after the last bound one, so once a
// column of a result is unbound, every later column is read with ct_get_data
// too. A result whose text and image columns come last keeps every other
// column bound: put them last for the fastest fetch.
//
// NULL through ct_get_data: a fixed-size column that delivers no bytes is
// NULL; for the others the column's I/O descriptor (ct_data_info CS_GET) says
// NULL by a negative total length, or ct_get_data by a negative length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "binding/Cstypes.h"
#include "components/SybDataSet.h"
#include "vcl/DB/FieldDefs.h"

namespace SybConnect {

// The longest char/binary column that is bound; longer ones are read with
// ct_get_data. Also the first piece of a text/image buffer.
constexpr Cstypes::CS_INT MaxBoundLength = 64 * 1024;
// Columns a result may have: the store's record layout and the name table
// of the field definitions are made for this many.
constexpr int MaxResultColumns = 256;

// One result column (or output parameter). Created for a data set it appends
// itself to that data set's fetch-field list, which owns it; created for none
// the caller owns it. The constructor raises nothing but std::bad_alloc, and
// then before the column is added to any list.
class TSybClientField : public SybDataSet::TBTFetchField {
public:
    TSybClientField(SybDataSet::TSybDataSet* DataSet, Cstypes::CS_INT ColumnNo, const Cstypes::CS_DATAFMT& Format);
    ~TSybClientField() override = default;

    // The field type of the column's data type; vcl::Exception
    // "Unknown data type %d receiver from SQL Server" for an unmapped code.
    vcl::TFieldType GetVclDataType() override;
    // GetFieldSize of the field type and maxlength. Raises where
    // GetVclDataType does, and for a char/binary maxlength that gives no
    // slot width (negative or 2 GiB - 1).
    int32_t GetVclLength() override;
    // The name from the format (namelen bytes, or up to the first zero for
    // CS_NULLTERM; never beyond the name array), "COLUMN<n>" when blank.
    std::string GetName() override;

    // The current value's bytes; none before the first fetch of a column
    // without a bound buffer. Valid until the next AfterFetch.
    const uint8_t* GetDataPointer() const { return FBuffer.empty() ? nullptr : FBuffer.data(); }
    // The declared length (maxlength); the field definition's size.
    Cstypes::CS_INT GetBufferLength() const { return FBufferLength; }
    // Bytes of the current value.
    Cstypes::CS_INT GetDataLength() const { return FDataLength; }
    // -1 when the current value is NULL.
    Cstypes::CS_SMALLINT GetIndicator() const { return FIndicator; }
    Cstypes::CS_INT GetColumnNo() const { return FColumnNo; }
    Cstypes::CS_INT GetDataType() const { return FDataType; }
    const Cstypes::CS_DATAFMT& GetFormat() const { return FFormat; }
    // Whether Bind bound the column (else AfterFetch reads it).
    bool IsBound() const { return FBound; }

    // Binds the column to its buffer, data length and indicator, or leaves
    // it for AfterFetch (see the top of this header). A field of a data set
    // looks at the fetch field before it; Previous names that field for a
    // column list the data set does not hold (output parameters). Returns
    // ct_bind's code, CS_SUCCEED for a column left unbound.
    Cstypes::CS_RETCODE Bind(Cstypes::CS_COMMAND* Cmd);
    Cstypes::CS_RETCODE Bind(Cstypes::CS_COMMAND* Cmd, const TSybClientField* Previous);

    // After each successful ct_fetch: reads an unbound column with
    // ct_get_data. Raises vcl::Exception naming the column when ct_get_data
    // fails or the value does not fit (see the top of this header). Nothing
    // to do for a bound column.
    void AfterFetch(Cstypes::CS_COMMAND* Cmd);

private:
    TSybClientField(std::vector<uint8_t>&& Buffer, SybDataSet::TSybDataSet* DataSet, Cstypes::CS_INT ColumnNo,
                    const Cstypes::CS_DATAFMT& Format);
    // The field before this one in its data set's list, or none.
    const TSybClientField* PreviousInDataSet() const;
    // Largest value AfterFetch accepts.
    int64_t GetDataLimit() const;
    void ReadWithGetData(Cstypes::CS_COMMAND* Cmd);
    bool ReportsNull(Cstypes::CS_COMMAND* Cmd) const;

    SybDataSet::TSybDataSet* FDataSet;
    std::vector<uint8_t> FBuffer;
    Cstypes::CS_INT FBufferLength;
    Cstypes::CS_INT FDataLength = 0;
    Cstypes::CS_SMALLINT FIndicator = 0;
    Cstypes::CS_INT FColumnNo;
    Cstypes::CS_INT FDataType;
    Cstypes::CS_DATAFMT FFormat;
    bool FBound = false;
    bool FBindDecided = false;
    // Whether the type is read at all (bound or with ct_get_data); fixed at
    // construction, so AfterFetch need not map the type on every row.
    bool FTransferred;
};

// The field-definition pass of the query: one definition per fetch field
// (each a TSybClientField), field number i + 1, the name made distinct by a
// suffix _1, _2, ... for repeats of an exact name, the mapped type, the size
// for ftString/ftBytes, precision 4 for money. Any failure (the framework's
// refusals included) raises vcl::Exception
// "InternalInitFieldDefs failed. Error : <cause>"; the definitions added
// before it stay. A result of more than MaxResultColumns columns is refused
// with "Result has %d columns; at most 256 are supported" before the pass.
void InitFieldDefs(vcl::TFieldDefs& Defs, SybDataSet::TSybDataSet& DataSet);

// Decodes the current row of every fetch field into Buffer (a record of the
// store's layout, initialised): flag 255 and the value, or flag 0 for NULL.
// Context is the connection's CS-Library context, needed for date columns
// (none when there is no connection). Any failure raises vcl::Exception
// "<QueryName>._InternalFillRecord failed for field <i>: <cause>" with the
// 0-based field index; the columns before it stay decoded, the failing one
// keeps flag 255 and what its conversion wrote, the rest stay NULL. Text and
// image values become TBTBlob objects owned by the store.
void FillRecord(SybDataSet::TSybDataSet& DataSet, vcl::TRecordBuffer Buffer, Cstypes::CS_CONTEXT* Context,
                const std::string& QueryName);

// What the row loop needs of one fetch field, looked up once per result.
struct TFillColumn {
    TSybClientField* Field;
    int32_t Offset;          // the slot's flag byte in the record
    int32_t Width;           // data bytes of a char/binary slot (else 0)
    Cstypes::CS_INT DataType;
};

// The decoding plan of a result: the leading fetch fields that are result
// columns with a usable slot, in order, and the fields AfterFetch has work
// for. Valid while the fetch fields and the layout stay as they were when it
// was made.
struct TFillPlan {
    std::vector<TFillColumn> Columns;
    std::vector<TSybClientField*> Unbound;
};

// The plan for the data set's fetch fields and layout as they stand. Raises
// nothing but std::bad_alloc: a field it cannot plan ends Columns, and
// FillRecord decodes that field and the rest the unplanned way, raising
// what FillRecord without a plan raises.
TFillPlan MakeFillPlan(SybDataSet::TSybDataSet& DataSet);

// FillRecord with a plan made by MakeFillPlan for this data set; same
// result, messages and half-decoded rows.
void FillRecord(SybDataSet::TSybDataSet& DataSet, const TFillPlan& Plan, vcl::TRecordBuffer Buffer,
                Cstypes::CS_CONTEXT* Context, const std::string& QueryName);

} // namespace SybConnect
