// What the decode tests start from: the package started over the scripted
// Open Client, a session (context, connection, command) through the binding,
// and a TSybDataSet descendant that reads one statement's row result the way
// the query does, with TSybClientFields, InitFieldDefs and FillRecord.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "binding/Ctpublic.h"
#include "components/SybConnect/ClientField.h"
#include "components/SybDataSet.h"
#include "packages/Package.h"
#include "tests/fakeoc/FakeOC.h"

namespace DecodeTests {

using namespace Cstypes;
using SybConnect::TSybClientField;

// A context, a logged-in connection and a command, released in reverse.
struct TSession {
    CS_CONTEXT* Context = nullptr;
    CS_CONNECTION* Connection = nullptr;
    CS_COMMAND* Command = nullptr;

    void Open() {
        ASSERT_EQ(Cspublic::cs_ctx_alloc(CS_VERSION_100, &Context), CS_SUCCEED);
        ASSERT_EQ(Ctpublic::ct_init(Context, CS_VERSION_100), CS_SUCCEED);
        ASSERT_EQ(Ctpublic::ct_con_alloc(Context, &Connection), CS_SUCCEED);
        ASSERT_EQ(Ctpublic::ct_connect(Connection, const_cast<char*>("SRV"), CS_NULLTERM), CS_SUCCEED);
        ASSERT_EQ(Ctpublic::ct_cmd_alloc(Connection, &Command), CS_SUCCEED);
    }
    void Close() {
        if (Command) Ctpublic::ct_cmd_drop(Command);
        if (Connection) {
            Ctpublic::ct_close(Connection, CS_FORCE_CLOSE);
            Ctpublic::ct_con_drop(Connection);
        }
        if (Context) {
            Ctpublic::ct_exit(Context, CS_FORCE_EXIT);
            Cspublic::cs_ctx_drop(Context);
        }
        Command = nullptr;
        Connection = nullptr;
        Context = nullptr;
    }
};

// Reads the row result of one language command into the store.
class TDecodeStore : public SybDataSet::TSybDataSet {
public:
    TDecodeStore(CS_CONTEXT* Context, CS_COMMAND* Command)
        : SybDataSet::TSybDataSet(nullptr), FContext(Context), FCommand(Command) {}
    ~TDecodeStore() override {
        Destroying();
        Close();
    }

    // The stored records as they were when an open failed.
    std::vector<std::string> FailedRecords;

    TSybClientField& Column(int Index) { return *static_cast<TSybClientField*>(GetFetchField(Index)); }
    const char* Slot(int Row, int Index) { return GetStoredRecord(Row) + FieldOffset(Index + 1); }
    template <typename T> T Value(int Row, int Index) {
        T v;
        std::memcpy(&v, Slot(Row, Index) + 1, sizeof v);
        return v;
    }
    uint8_t Flag(int Row, int Index) { return static_cast<uint8_t>(Slot(Row, Index)[0]); }
    const SybDataSet::TBTBlob* Blob(int Row, int Index) { return GetSlotBlob(Slot(Row, Index)); }

    bool GetFieldData(vcl::TField*, void*) override { return false; }
    void SetFieldData(vcl::TField*, const void*) override {}

protected:
    vcl::TRecordBuffer AllocRecordBuffer() override { return new char[static_cast<size_t>(GetRecordBufferSize())](); }
    void FreeRecordBuffer(vcl::TRecordBuffer& Buffer) override {
        delete[] Buffer;
        Buffer = nullptr;
    }
    void GetBookmarkData(vcl::TRecordBuffer, vcl::TBookmark) override {}
    void SetBookmarkData(vcl::TRecordBuffer, vcl::TBookmark) override {}
    vcl::TBookmarkFlag GetBookmarkFlag(vcl::TRecordBuffer Buffer) override { return GetRecordFlag(Buffer); }
    void SetBookmarkFlag(vcl::TRecordBuffer Buffer, vcl::TBookmarkFlag Value) override { SetRecordFlag(Buffer, Value); }
    void InternalAddRecord(vcl::TRecordBuffer, bool) override {}
    void InternalDelete() override {}
    void InternalGotoBookmark(vcl::TBookmark) override {}
    void InternalHandleException() override {}
    void InternalPost() override {}
    void InternalSetToRecord(vcl::TRecordBuffer) override {}
    void InternalInitFieldDefs() override { SybConnect::InitFieldDefs(*FieldDefs(), *this); }

    void InternalExec() override {
        try {
            ASSERT_EQ(Ctpublic::ct_command(FCommand, CS_LANG_CMD, const_cast<char*>("select"), CS_NULLTERM, CS_UNUSED),
                      CS_SUCCEED);
            ASSERT_EQ(Ctpublic::ct_send(FCommand), CS_SUCCEED);
            CS_INT type = 0;
            while (Ctpublic::ct_results(FCommand, &type) == CS_SUCCEED)
                if (type == CS_ROW_RESULT) Fetch();
        } catch (...) {
            for (int i = 0; i < RecordListCount(); ++i)
                FailedRecords.emplace_back(GetStoredRecord(i), static_cast<size_t>(GetRecordBufferSize()));
            Ctpublic::ct_cancel(nullptr, FCommand, CS_CANCEL_ALL);
            throw;
        }
    }

private:
    void Fetch() {
        CS_INT count = 0;
        ASSERT_EQ(Ctpublic::ct_res_info(FCommand, CS_NUMDATA, &count, sizeof count, nullptr), CS_SUCCEED);
        for (CS_INT c = 1; c <= count; ++c) {
            CS_DATAFMT format{};
            ASSERT_EQ(Ctpublic::ct_describe(FCommand, c, &format), CS_SUCCEED);
            auto* field = new TSybClientField(this, c, format);
            if (field->Bind(FCommand) != CS_SUCCEED) throw vcl::Exception("ct_bind failed");
        }
        FCursorOpen = true;
        FieldDefs()->SetUpdated(false);
        FieldDefs()->Update();
        if (DefaultFields()) CreateFields();
        BindFields(true);
        CreateBuffer();
        CS_RETCODE rc;
        while ((rc = Ctpublic::ct_fetch(FCommand, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr)) == CS_SUCCEED) {
            for (int i = 0; i < FetchFieldCount(); ++i) Column(i).AfterFetch(FCommand);
            vcl::TRecordBuffer record = AllocRecordBuffer();
            AddRecord(record);
            InternalInitRecord(record);
            SybConnect::FillRecord(*this, record, FContext, Name());
        }
        if (rc != CS_END_DATA) throw vcl::Exception("Result fetching failed");
    }

    CS_CONTEXT* FContext;
    CS_COMMAND* FCommand;
};

class DecodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOC::Reset();
        kestrel::Initialize();
        ASSERT_TRUE(Cspublic::csDLLLoaded);
        ASSERT_TRUE(Ctpublic::ctDLLLoaded);
        Session.Open();
    }
    void TearDown() override {
        Session.Close();
        EXPECT_EQ(FakeOC::LiveHandles(), 0) << FakeOC::LogText();
        std::string misuses;
        for (const auto& m : FakeOC::Misuses()) misuses += m + "\n";
        EXPECT_TRUE(misuses.empty()) << misuses;
        kestrel::Finalize();
    }
    // A store over this session's command, its context given or not.
    std::unique_ptr<TDecodeStore> NewStore(bool WithContext = true, const std::string& Name = "Q1") {
        auto store = std::make_unique<TDecodeStore>(WithContext ? Session.Context : nullptr, Session.Command);
        if (!Name.empty()) store->SetName(Name);
        return store;
    }
    // Opens the store on a select of these columns and rows; the error text, or
    // empty when it opened.
    static std::string OpenOn(TDecodeStore& Store, std::vector<FakeOC::Column> Columns,
                              std::vector<std::vector<FakeOC::Value>> Rows) {
        FakeOC::QueueResults(FakeOC::Select(std::move(Columns), std::move(Rows)));
        try {
            Store.Open();
        } catch (const vcl::Exception& e) {
            return e.Message();
        }
        return {};
    }

    TSession Session;
};

} // namespace DecodeTests
