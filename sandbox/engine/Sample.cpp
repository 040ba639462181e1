#include "sandbox/engine/Sample.h"

#include <sqlite3.h>
#include <unistd.h>

#include "sandbox/engine/Database.h"
#include "sandbox/engine/Procedures.h"
#include "sandbox/sql/SqlError.h"

namespace sandbox::engine {

namespace {

const char* const kSchema = R"sql(
CREATE TABLE all_types (
    id int NOT NULL PRIMARY KEY,
    c_char char(10),
    c_varchar varchar(40),
    c_binary binary(4),
    c_varbinary varbinary(16),
    c_text text,
    c_image image,
    c_tinyint tinyint,
    c_smallint smallint,
    c_int int,
    c_bigint bigint,
    c_real real,
    c_float float,
    c_bit bit NOT NULL DEFAULT 0,
    c_datetime datetime,
    c_smalldatetime smalldatetime,
    c_money money,
    c_smallmoney smallmoney,
    c_numeric numeric(10,2),
    c_decimal decimal(18,4)
);
INSERT INTO all_types VALUES (1, 'alpha', 'first row', X'01020304', X'DEADBEEF', 'some text', X'89504E47',
    1, -2, 3, 9000000000, 1.5, 2.25, 1, '1990-04-15 10:30:00.000', '1990-04-15 10:30:00.000',
    1234.5678, -12.5, 12345678.91, -0.0001);
INSERT INTO all_types VALUES (2, 'beta', 'trailing  ', X'FF', X'00', '', X'',
    255, 32767, -2147483648, -9223372036854775808, -0.5, 1e100, 0, '1753-01-01 00:00:00.000', '2079-06-06 23:59:00.000',
    -92233720368.5477, 214748.3647, -99999999.99, 99999999999.9999);
INSERT INTO all_types (id, c_bit) VALUES (3, 0);

CREATE TABLE customers (
    id int NOT NULL PRIMARY KEY,
    name varchar(40) NOT NULL,
    city varchar(30),
    created datetime
);
INSERT INTO customers VALUES (1, 'Ada Lovelace', 'London', '2001-02-03 04:05:06.000');
INSERT INTO customers VALUES (2, 'Blaise Pascal', 'Paris', '2002-03-04 00:00:00.000');
INSERT INTO customers VALUES (3, 'Carl Gauss', 'Brunswick', NULL);
INSERT INTO customers VALUES (4, 'Dorothy Vaughan', NULL, '2004-05-06 12:00:00.000');

CREATE TABLE orders (
    id int NOT NULL PRIMARY KEY,
    customer_id int NOT NULL REFERENCES customers(id),
    ordered datetime NOT NULL,
    total money NOT NULL,
    note varchar(100)
);
INSERT INTO orders VALUES (101, 1, '2020-01-05 09:00:00.000', 120.50, 'first order');
INSERT INTO orders VALUES (102, 1, '2020-02-11 14:30:00.000', 75.25, NULL);
INSERT INTO orders VALUES (103, 2, '2020-02-12 08:15:00.000', 300.00, 'express');
INSERT INTO orders VALUES (104, 2, '2020-03-01 17:45:00.000', 15.99, NULL);
INSERT INTO orders VALUES (105, 2, '2020-03-02 10:00:00.000', 42.00, 'gift');
INSERT INTO orders VALUES (106, 4, '2020-04-20 11:11:00.000', 999.99, NULL);

CREATE TABLE many_rows (
    n int NOT NULL PRIMARY KEY,
    label varchar(20) NOT NULL
);
WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 1000)
INSERT INTO many_rows SELECT n, 'row ' || n FROM c;
)sql";

}  // namespace

void EnsureDatabase(const std::string& dataDir, const std::string& name) {
    const std::string path = Database::PathFor(dataDir, name);
    if (::access(path.c_str(), F_OK) == 0) return;
    Database db(path, true, nullptr);
}

void CreateSampleDatabase(const std::string& dataDir) {
    const std::string path = Database::PathFor(dataDir, kSampleDatabase);
    if (::access(path.c_str(), F_OK) == 0) return;
    // Built under a temporary name, so a failure never leaves half a sample behind.
    const std::string temp = path + ".new";
    ::unlink(temp.c_str());
    {
        Database db(temp, true, nullptr);
        db.Exec("BEGIN");
        db.Exec(kSchema);
        StoreProcedure(db.Handle(), ProcDefinition{
            "sp_customer_orders", "@customer_id int",
            "select id, ordered, total, note from orders where customer_id = @customer_id order by id\n"
            "return @@rowcount"});
        StoreProcedure(db.Handle(), ProcDefinition{
            "sp_order_stats", "@customer_id int, @count int output, @total money output",
            "select @count = count(*), @total = coalesce(sum(total), 0) from orders where customer_id = @customer_id\n"
            "select name, city from customers where id = @customer_id\n"
            "return 0"});
        db.Exec("COMMIT");
        db.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    ::unlink((temp + "-wal").c_str());
    ::unlink((temp + "-shm").c_str());
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw SqlError(16000, 16, 1, "cannot create " + path);
    }
}

}  // namespace sandbox::engine
