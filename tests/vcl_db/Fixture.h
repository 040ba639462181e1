// Shared helpers: a dataset of N numbered rows (ID = 1..N, NAME = "row<ID>").
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "MemDataSet.h"

namespace kestrel_test {

inline std::unique_ptr<TMemDataSet> MakeRows(int n, std::vector<TColumn> extra = {}) {
    std::vector<TColumn> cols = {{"ID", ftInteger}, {"NAME", ftString, 20}};
    cols.insert(cols.end(), extra.begin(), extra.end());
    auto ds = std::make_unique<TMemDataSet>(nullptr, cols);
    ds->SetName("Mem1");
    ds->Open();
    for (int i = 1; i <= n; ++i) ds->AppendRaw({i, "row" + std::to_string(i)});
    ds->First();
    ds->ClearLog();
    return ds;
}

// A link that records what it is told.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Events;
    std::vector<int> Seen;  // ID of the active record after every change or scroll
    std::vector<int> Scrolls;

protected:
    void ActiveChanged() override { Events.push_back(Active() ? "active" : "inactive"); }
    void EditingChanged() override { Events.push_back(Editing() ? "editing" : "browsing"); }
    void CheckBrowseMode() override { Events.push_back("checkbrowse"); }
    void DataSetChanged() override {
        Events.push_back("changed");
        Note();
    }
    void DataSetScrolled(int Distance) override {
        Events.push_back("scrolled");
        Scrolls.push_back(Distance);
        Note();
    }
    void RecordChanged(TField* Field) override { Events.push_back(Field ? "field:" + Field->FieldName() : "record"); }
    void LayoutChanged() override { Events.push_back("layout"); }
    void UpdateData() override { Events.push_back("updatedata"); }

private:
    void Note() {
        if (!DataSet()->IsEmpty()) Seen.push_back(DataSet()->FieldByName("ID")->AsInteger());
    }
};

} // namespace kestrel_test
