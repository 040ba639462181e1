// The field-definition pass: one definition per result column.
#include <string>
#include <utility>
#include <vector>

#include "binding/Cstypes.h"
#include "components/SybConnect/ClientField.h"

namespace SybConnect {

using namespace vcl;

namespace {

TSybClientField& ClientFieldAt(SybDataSet::TSybDataSet& DataSet, int Index) {
    auto* field = dynamic_cast<TSybClientField*>(DataSet.GetFetchField(Index));
    if (!field) throw Exception(Format("Fetch field %d is not a result column", {Index}));
    return *field;
}

void BuildFieldDefs(TFieldDefs& Defs, SybDataSet::TSybDataSet& DataSet) {
    // Names that repeat, with the number of repeats seen so far.
    std::vector<std::pair<std::string, int>> repeats;
    Defs.Clear();
    const int count = DataSet.FetchFieldCount();
    for (int i = 0; i < count; ++i) {
        TSybClientField& column = ClientFieldAt(DataSet, i);
        TFieldDef* def = Defs.AddFieldDef();
        def->SetFieldNo(i + 1);
        const std::string name = column.GetName();
        int suffix = 0;
        // Exact comparison, the new unnamed definition included (it never
        // matches: a column's name is never empty).
        for (int d = 0; d < Defs.Count(); ++d) {
            if (Defs.Items(d)->Name() != name) continue;
            auto it = repeats.begin();
            while (it != repeats.end() && it->first != name) ++it;
            if (it != repeats.end())
                suffix = ++it->second;
            else {
                repeats.emplace_back(name, 1);
                suffix = 1;
            }
            break;
        }
        def->SetDisplayName(suffix == 0 ? name : name + "_" + IntToStr(suffix));
        const TFieldType type = column.GetVclDataType();
        def->SetDataType(type);
        if (type == ftString || type == ftBytes) def->SetSize(column.GetBufferLength());
        if (column.GetDataType() == Cstypes::CS_MONEY_TYPE) def->SetPrecision(4);
    }
}

} // namespace

void InitFieldDefs(TFieldDefs& Defs, SybDataSet::TSybDataSet& DataSet) {
    // The record layout and the name table are made for this many columns.
    if (DataSet.FetchFieldCount() > MaxResultColumns)
        throw Exception(Format("Result has %d columns; at most 256 are supported", {DataSet.FetchFieldCount()}));
    try {
        BuildFieldDefs(Defs, DataSet);
    } catch (const vcl::Exception& e) {
        throw Exception(Format("InternalInitFieldDefs failed. Error : %s", {e.Message()}));
    } catch (const std::exception& e) {
        throw Exception(Format("InternalInitFieldDefs failed. Error : %s", {e.what()}));
    }
}

} // namespace SybConnect
