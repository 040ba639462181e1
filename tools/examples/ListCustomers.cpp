// The README's example: connect, open a query with a parameter, walk its rows.
//   list-customers host:port user password database
#include <cstdio>
#include <cstdlib>

#include "components/SybConnect.h"
#include "packages/Package.h"
#include "vcl/DB.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s host:port user password database\n", argv[0]);
        return 2;
    }
    setenv("TDSVER", "5.0", 0); // FreeTDS speaks TDS 5.0 to ASE only when told
    kestrel::Initialize();      // binds the Open Client libraries
    int rc = 0;
    try {
        SybConnect::TSybConnect conn(nullptr);
        conn.SetServerName(argv[1]);
        conn.SetUserName(argv[2]);
        conn.SetPassword(argv[3]);
        conn.SetDatabase(argv[4]);
        conn.SetDatabaseName("Main");
        conn.SetOnServerMessage([](const SybConnect::TSybMessage& msg, bool&) {
            std::printf("-- %s\n", msg.GetText().c_str());
        });

        SybConnect::TSybQuery query(nullptr);
        query.SetDatabaseName("Main"); // found by name at each execution
        query.GetSQL()->SetText("select id, name from customers where id >= :first");
        query.ParamByName("first")->SetAsInteger(2);
        query.Open(); // logs in if needed; every row is in memory afterwards
        for (query.First(); !query.Eof(); query.Next())
            std::printf("%s  %s\n", query.FieldByName("id")->AsString().c_str(),
                        query.FieldByName("name")->AsString().c_str());
        query.Close();
    } catch (const vcl::Exception& e) {
        std::fprintf(stderr, "error: %s\n", e.Message().c_str());
        rc = 1;
    }
    kestrel::Finalize();
    return rc;
}
