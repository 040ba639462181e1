// Cstypes: the Open Client scalar types, value records and constants, laid out
// as the Open Client public headers lay them out on Linux x86-64 (LP64, CS_INT is
// 32 bits). Declared here so that nothing in Kestrel includes a client library's
// headers; a test compares sizes, offsets and values with FreeTDS's headers.
//
// Handles (CS_CONTEXT, CS_CONNECTION, ...) are incomplete types: only the client
// library knows what they hold. Constants are typed values, not macros.
#pragma once

#include <cstdint>

namespace Cstypes {

// ---- Scalar types --------------------------------------------------------------

using CS_INT = int32_t;
using CS_UINT = uint32_t;
using CS_BIGINT = int64_t;
using CS_UBIGINT = uint64_t;
using CS_SMALLINT = int16_t;
using CS_USMALLINT = uint16_t;
using CS_USHORT = uint16_t;
using CS_TINYINT = uint8_t;
using CS_CHAR = char;
using CS_BYTE = uint8_t;
using CS_BINARY = uint8_t;
using CS_IMAGE = uint8_t;
using CS_TEXT = uint8_t;
using CS_LONGBINARY = uint8_t;
using CS_LONGCHAR = uint8_t;
using CS_BIT = uint8_t;
using CS_BOOL = CS_INT;
using CS_REAL = float;
using CS_FLOAT = double;
using CS_LONG = long;
using CS_VOID = void;
using CS_RETCODE = CS_INT;
using CS_MSGNUM = CS_INT;
using CS_DATE = CS_INT;
using CS_TIME = CS_INT;
using CS_BIGDATETIME = CS_UBIGINT;
using CS_BIGTIME = CS_UBIGINT;

// ---- Limits --------------------------------------------------------------------

constexpr CS_INT CS_MAX_NAME = 132;
constexpr CS_INT CS_MAX_CHAR = 256;
constexpr CS_INT CS_MAX_MSG = 1024;
constexpr CS_INT CS_SQLSTATE_SIZE = 8;
constexpr CS_INT CS_OBJ_NAME = 400;
constexpr CS_INT CS_TP_SIZE = 16; // text pointer
constexpr CS_INT CS_TS_SIZE = 8;  // text timestamp
constexpr CS_INT CS_MAX_SCALE = 77;
constexpr CS_INT CS_MAX_PREC = 77;
constexpr CS_INT CS_MAX_NUMLEN = 33;
constexpr CS_INT CS_DEF_PREC = 18;
constexpr CS_INT CS_BLK_ARRAY_MAXLEN = 0x1000;

// ---- Handles (opaque) ----------------------------------------------------------

struct CS_CONTEXT;
struct CS_CONNECTION;
struct CS_COMMAND;
struct CS_LOCALE;
struct CS_CONFIG;
struct CS_LOGINFO;
struct CS_BLKDESC;
struct CS_BLK_ROW;
struct CS_DS_OBJECT;
struct CS_DS_LOOKUP_INFO;
struct CS_BROWSEDESC;

// ---- Value records -------------------------------------------------------------

struct CS_NUMERIC {
    CS_BYTE precision;
    CS_BYTE scale;
    CS_BYTE array[CS_MAX_NUMLEN];
};
using CS_DECIMAL = CS_NUMERIC;

struct CS_VARCHAR {
    CS_SMALLINT len;
    CS_CHAR str[256]; // not NUL-terminated
};

struct CS_VARBINARY {
    CS_SMALLINT len;
    CS_CHAR array[256];
};

struct CS_MONEY {
    CS_INT mnyhigh;
    CS_UINT mnylow;
};

struct CS_MONEY4 {
    CS_INT mny4;
};

struct CS_DATETIME {
    CS_INT dtdays; // days since 1900-01-01
    CS_INT dttime; // 300ths of a second since midnight
};

struct CS_DATETIME4 {
    CS_USHORT days;    // days since 1900-01-01
    CS_USHORT minutes; // minutes since midnight
};

// A date cracked into its parts by cs_dt_crack (datemonth counts from 0).
struct CS_DATEREC {
    CS_INT dateyear;
    CS_INT datemonth;
    CS_INT datedmonth;
    CS_INT datedyear;
    CS_INT datedweek;
    CS_INT datehour;
    CS_INT dateminute;
    CS_INT datesecond;
    CS_INT datemsecond;
    CS_INT datetzone;
    CS_INT datesecfrac;
    CS_INT datesecprec;
};

// The description of one column or parameter (ct_describe, ct_bind, ct_param).
struct CS_DATAFMT {
    CS_CHAR name[CS_MAX_NAME];
    CS_INT namelen;
    CS_INT datatype;
    CS_INT format;
    CS_INT maxlength;
    CS_INT scale;
    CS_INT precision;
    CS_INT status;
    CS_INT count;
    CS_INT usertype;
    CS_LOCALE* locale;
};

// Text and image I/O descriptor (ct_data_info).
struct CS_IODESC {
    CS_INT iotype;
    CS_INT datatype;
    CS_LOCALE* locale;
    CS_INT usertype;
    CS_INT total_txtlen;
    CS_INT offset;
    CS_BOOL log_on_update;
    CS_CHAR name[CS_OBJ_NAME];
    CS_INT namelen;
    CS_BYTE timestamp[CS_TS_SIZE];
    CS_INT timestamplen;
    CS_BYTE textptr[CS_TP_SIZE];
    CS_INT textptrlen;
};

// Object names and data for cs_objects.
struct CS_OBJNAME {
    CS_BOOL thinkexists;
    CS_INT object_type;
    CS_CHAR last_name[CS_MAX_NAME];
    CS_INT lnlen;
    CS_CHAR first_name[CS_MAX_NAME];
    CS_INT fnlen;
    CS_VOID* scope;
    CS_INT scopelen;
    CS_VOID* thread;
    CS_INT threadlen;
};

struct CS_OBJDATA {
    CS_BOOL actuallyexists;
    CS_CONNECTION* connection;
    CS_COMMAND* command;
    CS_VOID* buffer;
    CS_INT buflen;
};

// ---- Boolean values, stored (not literals) -------------------------------------

extern const CS_INT CS_TRUE;  // 1
extern const CS_INT CS_FALSE; // 0

// ---- Message-number helpers ----------------------------------------------------
// A client message number packs layer, origin, severity and number into its four
// bytes. Shifts are logical so that a top byte of 255 reads 255, not -1.

constexpr CS_INT CS_LAYER(CS_INT msgnumber) {
    return static_cast<CS_INT>((static_cast<CS_UINT>(msgnumber) >> 24) & 0xFFu);
}
constexpr CS_INT CS_ORIGIN(CS_INT msgnumber) {
    return static_cast<CS_INT>((static_cast<CS_UINT>(msgnumber) >> 16) & 0xFFu);
}
constexpr CS_INT CS_SEVERITY(CS_INT msgnumber) {
    return static_cast<CS_INT>((static_cast<CS_UINT>(msgnumber) >> 8) & 0xFFu);
}
constexpr CS_INT CS_NUMBER(CS_INT msgnumber) {
    return static_cast<CS_INT>(static_cast<CS_UINT>(msgnumber) & 0xFFu);
}

// ---- Return codes --------------------------------------------------------------

constexpr CS_RETCODE CS_SUCCEED = 1;
constexpr CS_RETCODE CS_FAIL = 0;
constexpr CS_RETCODE CS_MEM_ERROR = -1;
constexpr CS_RETCODE CS_PENDING = -2;
constexpr CS_RETCODE CS_QUIET = -3;
constexpr CS_RETCODE CS_BUSY = -4;
constexpr CS_RETCODE CS_INTERRUPT = -5;
constexpr CS_RETCODE CS_BLK_HAS_TEXT = -6;
constexpr CS_RETCODE CS_CONTINUE = -7;
constexpr CS_RETCODE CS_FATAL = -8;
constexpr CS_RETCODE CS_RET_HAFAILOVER = -9;
constexpr CS_RETCODE CS_UNSUPPORTED = -10;
constexpr CS_RETCODE CS_CANCELED = -202;
constexpr CS_RETCODE CS_ROW_FAIL = -203;
constexpr CS_RETCODE CS_END_DATA = -204;
constexpr CS_RETCODE CS_END_RESULTS = -205;
constexpr CS_RETCODE CS_END_ITEM = -206;
constexpr CS_RETCODE CS_NOMSG = -207;
constexpr CS_RETCODE CS_TIMED_OUT = -208;

// ---- Special lengths and values ------------------------------------------------

constexpr CS_INT CS_NULLTERM = -9;
constexpr CS_INT CS_WILDCARD = -99;
constexpr CS_INT CS_NO_LIMIT = -9999;
constexpr CS_INT CS_UNUSED = -99999;
constexpr CS_INT CS_SRC_VALUE = -2562;
constexpr CS_INT CS_NO_COUNT = -1;
constexpr CS_SMALLINT CS_GOODDATA = 0;  // indicator: value present
constexpr CS_SMALLINT CS_NULLDATA = -1; // indicator: value is null

// ---- Actions -------------------------------------------------------------------

constexpr CS_INT CS_GET = 33;
constexpr CS_INT CS_SET = 34;
constexpr CS_INT CS_CLEAR = 35;
constexpr CS_INT CS_INIT = 36;
constexpr CS_INT CS_STATUS = 37;
constexpr CS_INT CS_MSGLIMIT = 38;
constexpr CS_INT CS_SUPPORTED = 40;

// ---- Versions ------------------------------------------------------------------

constexpr CS_INT CS_VERSION_100 = 112;
constexpr CS_INT CS_VERSION_110 = 1100;
constexpr CS_INT CS_VERSION_120 = 1100;
constexpr CS_INT CS_VERSION_125 = 12500;
constexpr CS_INT CS_VERSION_150 = 15000;
constexpr CS_INT BLK_VERSION_100 = CS_VERSION_100;
constexpr CS_INT BLK_VERSION_110 = CS_VERSION_110;
constexpr CS_INT BLK_VERSION_120 = CS_VERSION_120;
constexpr CS_INT BLK_VERSION_125 = CS_VERSION_125;
constexpr CS_INT BLK_VERSION_150 = CS_VERSION_150;

// TDS protocol versions (CS_TDS_VERSION property).
constexpr CS_INT CS_TDS_40 = 7360;
constexpr CS_INT CS_TDS_42 = 7361;
constexpr CS_INT CS_TDS_46 = 7362;
constexpr CS_INT CS_TDS_495 = 7363;
constexpr CS_INT CS_TDS_50 = 7364;

// ---- Close and exit options, cancel types --------------------------------------

constexpr CS_INT CS_FORCE_EXIT = 300;
constexpr CS_INT CS_FORCE_CLOSE = 301;
constexpr CS_INT CS_CANCEL_CURRENT = 6000;
constexpr CS_INT CS_CANCEL_ALL = 6001;
constexpr CS_INT CS_CANCEL_ATTN = 6002;

// ---- Context, connection and command properties --------------------------------

constexpr CS_INT CS_USERNAME = 9100;
constexpr CS_INT CS_PASSWORD = 9101;
constexpr CS_INT CS_APPNAME = 9102;
constexpr CS_INT CS_HOSTNAME = 9103;
constexpr CS_INT CS_LOGIN_STATUS = 9104;
constexpr CS_INT CS_TDS_VERSION = 9105;
constexpr CS_INT CS_CHARSETCNV = 9106;
constexpr CS_INT CS_PACKETSIZE = 9107;
constexpr CS_INT CS_USERDATA = 9108;
constexpr CS_INT CS_NETIO = 9110;
constexpr CS_INT CS_TEXTLIMIT = 9112;
constexpr CS_INT CS_HIDDEN_KEYS = 9113;
constexpr CS_INT CS_VERSION = 9114;
constexpr CS_INT CS_IFILE = 9115;
constexpr CS_INT CS_LOGIN_TIMEOUT = 9116;
constexpr CS_INT CS_TIMEOUT = 9117;
constexpr CS_INT CS_MAX_CONNECT = 9118;
constexpr CS_INT CS_MESSAGE_CB = 9119;
constexpr CS_INT CS_EXPOSE_FMTS = 9120;
constexpr CS_INT CS_EXTRA_INF = 9121;
constexpr CS_INT CS_ANSI_BINDS = 9123;
constexpr CS_INT CS_BULK_LOGIN = 9124;
constexpr CS_INT CS_LOC_PROP = 9125;
constexpr CS_INT CS_CUR_STATUS = 9126;
constexpr CS_INT CS_CUR_ID = 9127;
constexpr CS_INT CS_CUR_NAME = 9128;
constexpr CS_INT CS_CUR_ROWCOUNT = 9129;
constexpr CS_INT CS_PARENT_HANDLE = 9130;
constexpr CS_INT CS_EED_CMD = 9131;
constexpr CS_INT CS_DIAG_TIMEOUT = 9132;
constexpr CS_INT CS_DISABLE_POLL = 9133;
constexpr CS_INT CS_SEC_ENCRYPTION = 9135;
constexpr CS_INT CS_SEC_CHALLENGE = 9136;
constexpr CS_INT CS_SEC_NEGOTIATE = 9137;
constexpr CS_INT CS_CON_STATUS = 9143;
constexpr CS_INT CS_VER_STRING = 9144;
constexpr CS_INT CS_SERVERNAME = 9146;
constexpr CS_INT CS_SEC_APPDEFINED = 9149;
constexpr CS_INT CS_STICKY_BINDS = 9151;
constexpr CS_INT CS_SEC_NETWORKAUTH = 9175;
constexpr CS_INT CS_SEC_DELEGATION = 9176;
constexpr CS_INT CS_SEC_MUTUALAUTH = 9177;
constexpr CS_INT CS_SEC_SERVERPRINCIPAL = 9188;
constexpr CS_INT CS_SERVERADDR = 9206;

// CS_CON_STATUS bits.
constexpr CS_INT CS_CONSTAT_CONNECTED = 0x01;
constexpr CS_INT CS_CONSTAT_DEAD = 0x02;

// CS_NETIO values.
constexpr CS_INT CS_SYNC_IO = 8111;
constexpr CS_INT CS_ASYNC_IO = 8112;
constexpr CS_INT CS_DEFER_IO = 8113;

// ---- Callback types ------------------------------------------------------------

constexpr CS_INT CS_COMPLETION_CB = 1;
constexpr CS_INT CS_SERVERMSG_CB = 2;
constexpr CS_INT CS_CLIENTMSG_CB = 3;
constexpr CS_INT CS_NOTIF_CB = 4;
constexpr CS_INT CS_ENCRYPT_CB = 5;
constexpr CS_INT CS_CHALLENGE_CB = 6;
constexpr CS_INT CS_DS_LOOKUP_CB = 7;
constexpr CS_INT CS_SECSESSION_CB = 8;
constexpr CS_INT CS_SIGNAL_CB = 100;

// ---- Message types (ct_diag, cs_diag) -------------------------------------------

constexpr CS_INT CS_CLIENTMSG_TYPE = 4700;
constexpr CS_INT CS_SERVERMSG_TYPE = 4701;
constexpr CS_INT CS_ALLMSG_TYPE = 4702;
constexpr CS_INT SQLCA_TYPE = 4703;
constexpr CS_INT SQLCODE_TYPE = 4704;
constexpr CS_INT SQLSTATE_TYPE = 4705;

// CS_SERVERMSG.status bit: extended error data follows.
constexpr CS_INT CS_HASEED = 0x01;

// ---- Message severities ---------------------------------------------------------

constexpr CS_INT CS_SV_INFORM = 0;
constexpr CS_INT CS_SV_API_FAIL = 1;
constexpr CS_INT CS_SV_RETRY_FAIL = 2;
constexpr CS_INT CS_SV_RESOURCE_FAIL = 3;
constexpr CS_INT CS_SV_CONFIG_FAIL = 4;
constexpr CS_INT CS_SV_COMM_FAIL = 5;
constexpr CS_INT CS_SV_INTERNAL_FAIL = 6;
constexpr CS_INT CS_SV_FATAL = 7;

// ---- Commands (ct_command) -------------------------------------------------------

constexpr CS_INT CS_LANG_CMD = 148;
constexpr CS_INT CS_RPC_CMD = 149;
constexpr CS_INT CS_MSG_CMD = 150;
constexpr CS_INT CS_SEND_DATA_CMD = 151;
constexpr CS_INT CS_PACKAGE_CMD = 152;
constexpr CS_INT CS_SEND_BULK_CMD = 153;

// ct_command options.
constexpr CS_INT CS_MORE = 16;
constexpr CS_INT CS_END = 32;
constexpr CS_INT CS_RECOMPILE = 188;
constexpr CS_INT CS_NO_RECOMPILE = 189;
constexpr CS_INT CS_BULK_INIT = 190;
constexpr CS_INT CS_BULK_CONT = 191;
constexpr CS_INT CS_BULK_DATA = 192;
constexpr CS_INT CS_COLUMN_DATA = 193;

// ---- Result types (ct_results) ---------------------------------------------------

constexpr CS_INT CS_ROW_RESULT = 4040;
constexpr CS_INT CS_CURSOR_RESULT = 4041;
constexpr CS_INT CS_PARAM_RESULT = 4042;
constexpr CS_INT CS_STATUS_RESULT = 4043;
constexpr CS_INT CS_MSG_RESULT = 4044;
constexpr CS_INT CS_COMPUTE_RESULT = 4045;
constexpr CS_INT CS_CMD_DONE = 4046;
constexpr CS_INT CS_CMD_SUCCEED = 4047;
constexpr CS_INT CS_CMD_FAIL = 4048;
constexpr CS_INT CS_ROWFMT_RESULT = 4049;
constexpr CS_INT CS_COMPUTEFMT_RESULT = 4050;
constexpr CS_INT CS_DESCRIBE_RESULT = 4051;

// ---- Result information (ct_res_info) --------------------------------------------

constexpr CS_INT CS_ROW_COUNT = 800;
constexpr CS_INT CS_CMD_NUMBER = 801;
constexpr CS_INT CS_NUM_COMPUTES = 802;
constexpr CS_INT CS_NUMDATA = 803;
constexpr CS_INT CS_NUMORDERCOLS = 805;
constexpr CS_INT CS_MSGTYPE = 806;
constexpr CS_INT CS_BROWSE_INFO = 807;
constexpr CS_INT CS_TRANS_STATE = 808;

// CS_TRANS_STATE values.
constexpr CS_INT CS_TRAN_UNDEFINED = 0;
constexpr CS_INT CS_TRAN_IN_PROGRESS = 1;
constexpr CS_INT CS_TRAN_COMPLETED = 2;
constexpr CS_INT CS_TRAN_FAIL = 3;
constexpr CS_INT CS_TRAN_STMT_FAIL = 4;

// ---- Compute results (ct_compute_info) --------------------------------------------

constexpr CS_INT CS_COMP_OP = 5350;
constexpr CS_INT CS_COMP_ID = 5351;
constexpr CS_INT CS_COMP_COLID = 5352;
constexpr CS_INT CS_COMP_BYLIST = 5353;
constexpr CS_INT CS_BYLIST_LEN = 5354;
constexpr CS_INT CS_OP_SUM = 5370;
constexpr CS_INT CS_OP_AVG = 5371;
constexpr CS_INT CS_OP_COUNT = 5372;
constexpr CS_INT CS_OP_MIN = 5373;
constexpr CS_INT CS_OP_MAX = 5374;

// ---- Data types ------------------------------------------------------------------

constexpr CS_INT CS_ILLEGAL_TYPE = -1;
constexpr CS_INT CS_CHAR_TYPE = 0;
constexpr CS_INT CS_BINARY_TYPE = 1;
constexpr CS_INT CS_LONGCHAR_TYPE = 2;
constexpr CS_INT CS_LONGBINARY_TYPE = 3;
constexpr CS_INT CS_TEXT_TYPE = 4;
constexpr CS_INT CS_IMAGE_TYPE = 5;
constexpr CS_INT CS_TINYINT_TYPE = 6;
constexpr CS_INT CS_SMALLINT_TYPE = 7;
constexpr CS_INT CS_INT_TYPE = 8;
constexpr CS_INT CS_REAL_TYPE = 9;
constexpr CS_INT CS_FLOAT_TYPE = 10;
constexpr CS_INT CS_BIT_TYPE = 11;
constexpr CS_INT CS_DATETIME_TYPE = 12;
constexpr CS_INT CS_DATETIME4_TYPE = 13;
constexpr CS_INT CS_MONEY_TYPE = 14;
constexpr CS_INT CS_MONEY4_TYPE = 15;
constexpr CS_INT CS_NUMERIC_TYPE = 16;
constexpr CS_INT CS_DECIMAL_TYPE = 17;
constexpr CS_INT CS_VARCHAR_TYPE = 18;
constexpr CS_INT CS_VARBINARY_TYPE = 19;
constexpr CS_INT CS_LONG_TYPE = 20;
constexpr CS_INT CS_SENSITIVITY_TYPE = 21;
constexpr CS_INT CS_BOUNDARY_TYPE = 22;
constexpr CS_INT CS_VOID_TYPE = 23;
constexpr CS_INT CS_USHORT_TYPE = 24;
constexpr CS_INT CS_UNICHAR_TYPE = 25;
constexpr CS_INT CS_BLOB_TYPE = 26;
constexpr CS_INT CS_DATE_TYPE = 27;
constexpr CS_INT CS_TIME_TYPE = 28;
constexpr CS_INT CS_UNITEXT_TYPE = 29;
constexpr CS_INT CS_BIGINT_TYPE = 30;
constexpr CS_INT CS_USMALLINT_TYPE = 31;
constexpr CS_INT CS_UINT_TYPE = 32;
constexpr CS_INT CS_UBIGINT_TYPE = 33;
constexpr CS_INT CS_XML_TYPE = 34;
constexpr CS_INT CS_BIGDATETIME_TYPE = 35;
constexpr CS_INT CS_BIGTIME_TYPE = 36;
constexpr CS_INT CS_USER_TYPE = 100;

// ---- CS_DATAFMT.format bits ------------------------------------------------------

constexpr CS_INT CS_FMT_UNUSED = 0;
constexpr CS_INT CS_FMT_NULLTERM = 1;
constexpr CS_INT CS_FMT_PADNULL = 2;
constexpr CS_INT CS_FMT_PADBLANK = 4;
constexpr CS_INT CS_FMT_JUSTIFY_RT = 8;

// ---- CS_DATAFMT.status bits ------------------------------------------------------

constexpr CS_INT CS_HIDDEN = 1 << 0;
constexpr CS_INT CS_KEY = 1 << 1;
constexpr CS_INT CS_VERSION_KEY = 1 << 2;
constexpr CS_INT CS_NODATA = 1 << 3;
constexpr CS_INT CS_UPDATABLE = 1 << 4;
constexpr CS_INT CS_CANBENULL = 1 << 5;
constexpr CS_INT CS_DESCIN = 1 << 6;
constexpr CS_INT CS_DESCOUT = 1 << 7;
constexpr CS_INT CS_INPUTVALUE = 1 << 8;
constexpr CS_INT CS_UPDATECOL = 1 << 9;
constexpr CS_INT CS_RETURN = 1 << 10;
constexpr CS_INT CS_TIMESTAMP = 1 << 13;
constexpr CS_INT CS_NODEFAULT = 1 << 14;
constexpr CS_INT CS_IDENTITY = 1 << 15;

// ---- Text and image I/O ----------------------------------------------------------

constexpr CS_INT CS_IODATA = 1600;

// ---- Options (ct_options) --------------------------------------------------------

constexpr CS_INT CS_OPT_DATEFIRST = 5001;
constexpr CS_INT CS_OPT_TEXTSIZE = 5002;
constexpr CS_INT CS_OPT_STATS_TIME = 5003;
constexpr CS_INT CS_OPT_STATS_IO = 5004;
constexpr CS_INT CS_OPT_ROWCOUNT = 5005;
constexpr CS_INT CS_OPT_DATEFORMAT = 5007;
constexpr CS_INT CS_OPT_ISOLATION = 5008;
constexpr CS_INT CS_OPT_AUTHON = 5009;
constexpr CS_INT CS_OPT_SHOWPLAN = 5013;
constexpr CS_INT CS_OPT_NOEXEC = 5014;
constexpr CS_INT CS_OPT_ARITHIGNORE = 5015;
constexpr CS_INT CS_OPT_TRUNCIGNORE = 5016;
constexpr CS_INT CS_OPT_ARITHABORT = 5017;
constexpr CS_INT CS_OPT_PARSEONLY = 5018;
constexpr CS_INT CS_OPT_GETDATA = 5020;
constexpr CS_INT CS_OPT_NOCOUNT = 5021;
constexpr CS_INT CS_OPT_FORCEPLAN = 5023;
constexpr CS_INT CS_OPT_FORMATONLY = 5024;
constexpr CS_INT CS_OPT_CHAINXACTS = 5025;
constexpr CS_INT CS_OPT_CURCLOSEONXACT = 5026;
constexpr CS_INT CS_OPT_FIPSFLAG = 5027;
constexpr CS_INT CS_OPT_RESTREES = 5028;
constexpr CS_INT CS_OPT_IDENTITYON = 5029;
constexpr CS_INT CS_OPT_CURREAD = 5030;
constexpr CS_INT CS_OPT_CURWRITE = 5031;
constexpr CS_INT CS_OPT_IDENTITYOFF = 5032;
constexpr CS_INT CS_OPT_AUTHOFF = 5033;
constexpr CS_INT CS_OPT_ANSINULL = 5034;
constexpr CS_INT CS_OPT_QUOTED_IDENT = 5035;
constexpr CS_INT CS_OPT_ANSIPERM = 5036;
constexpr CS_INT CS_OPT_STR_RTRUNC = 5037;

// CS_OPT_DATEFIRST values.
constexpr CS_INT CS_OPT_MONDAY = 1;
constexpr CS_INT CS_OPT_TUESDAY = 2;
constexpr CS_INT CS_OPT_WEDNESDAY = 3;
constexpr CS_INT CS_OPT_THURSDAY = 4;
constexpr CS_INT CS_OPT_FRIDAY = 5;
constexpr CS_INT CS_OPT_SATURDAY = 6;
constexpr CS_INT CS_OPT_SUNDAY = 7;

// CS_OPT_DATEFORMAT values: the server's date order.
constexpr CS_INT CS_OPT_FMTMDY = 1;
constexpr CS_INT CS_OPT_FMTDMY = 2;
constexpr CS_INT CS_OPT_FMTYMD = 3;
constexpr CS_INT CS_OPT_FMTYDM = 4;
constexpr CS_INT CS_OPT_FMTMYD = 5;
constexpr CS_INT CS_OPT_FMTDYM = 6;

// CS_OPT_ISOLATION values.
constexpr CS_INT CS_OPT_LEVEL0 = 0;
constexpr CS_INT CS_OPT_LEVEL1 = 1;
constexpr CS_INT CS_OPT_LEVEL2 = 2;
constexpr CS_INT CS_OPT_LEVEL3 = 3;

// ---- Cursors (ct_cursor) ---------------------------------------------------------

constexpr CS_INT CS_CURSOR_DECLARE = 700;
constexpr CS_INT CS_CURSOR_OPEN = 701;
constexpr CS_INT CS_CURSOR_ROWS = 703;
constexpr CS_INT CS_CURSOR_UPDATE = 704;
constexpr CS_INT CS_CURSOR_DELETE = 705;
constexpr CS_INT CS_CURSOR_CLOSE = 706;
constexpr CS_INT CS_CURSOR_DEALLOC = 707;
constexpr CS_INT CS_CURSOR_OPTION = 725;

constexpr CS_INT CS_FOR_UPDATE = 0x1;
constexpr CS_INT CS_READ_ONLY = 0x2;
constexpr CS_INT CS_RESTORE_OPEN = 0x8;
constexpr CS_INT CS_IMPLICIT_CURSOR = 0x40;

constexpr CS_INT CS_CURSTAT_NONE = 0x0;
constexpr CS_INT CS_CURSTAT_DECLARED = 0x1;
constexpr CS_INT CS_CURSTAT_OPEN = 0x2;
constexpr CS_INT CS_CURSTAT_CLOSED = 0x4;
constexpr CS_INT CS_CURSTAT_RDONLY = 0x8;
constexpr CS_INT CS_CURSTAT_UPDATABLE = 0x10;
constexpr CS_INT CS_CURSTAT_ROWCOUNT = 0x20;
constexpr CS_INT CS_CURSTAT_DEALLOC = 0x40;

// ---- Dynamic SQL (ct_dynamic) ----------------------------------------------------

constexpr CS_INT CS_DEALLOC = 711;
constexpr CS_INT CS_PREPARE = 717;
constexpr CS_INT CS_EXECUTE = 718;
constexpr CS_INT CS_DESCRIBE_INPUT = 720;
constexpr CS_INT CS_DESCRIBE_OUTPUT = 721;

// ---- Capabilities (ct_capability) ------------------------------------------------

constexpr CS_INT CS_CAP_REQUEST = 1;
constexpr CS_INT CS_CAP_RESPONSE = 2;

// Request capabilities.
constexpr CS_INT CS_REQ_LANG = 1;
constexpr CS_INT CS_REQ_RPC = 2;
constexpr CS_INT CS_REQ_NOTIF = 3;
constexpr CS_INT CS_REQ_MSTMT = 4;
constexpr CS_INT CS_REQ_BCP = 5;
constexpr CS_INT CS_REQ_CURSOR = 6;
constexpr CS_INT CS_REQ_DYN = 7;
constexpr CS_INT CS_REQ_MSG = 8;
constexpr CS_INT CS_REQ_PARAM = 9;
constexpr CS_INT CS_DATA_INT1 = 10;
constexpr CS_INT CS_DATA_INT2 = 11;
constexpr CS_INT CS_DATA_INT4 = 12;
constexpr CS_INT CS_DATA_BIT = 13;
constexpr CS_INT CS_DATA_CHAR = 14;
constexpr CS_INT CS_DATA_VCHAR = 15;
constexpr CS_INT CS_DATA_BIN = 16;
constexpr CS_INT CS_DATA_VBIN = 17;
constexpr CS_INT CS_DATA_MNY8 = 18;
constexpr CS_INT CS_DATA_MNY4 = 19;
constexpr CS_INT CS_DATA_DATE8 = 20;
constexpr CS_INT CS_DATA_DATE4 = 21;
constexpr CS_INT CS_DATA_FLT4 = 22;
constexpr CS_INT CS_DATA_FLT8 = 23;
constexpr CS_INT CS_DATA_NUM = 24;
constexpr CS_INT CS_DATA_TEXT = 25;
constexpr CS_INT CS_DATA_IMAGE = 26;
constexpr CS_INT CS_DATA_DEC = 27;
constexpr CS_INT CS_DATA_LCHAR = 28;
constexpr CS_INT CS_DATA_LBIN = 29;
constexpr CS_INT CS_DATA_INTN = 30;
constexpr CS_INT CS_DATA_DATETIMEN = 31;
constexpr CS_INT CS_DATA_MONEYN = 32;
constexpr CS_INT CS_CSR_PREV = 33;
constexpr CS_INT CS_CSR_FIRST = 34;
constexpr CS_INT CS_CSR_LAST = 35;
constexpr CS_INT CS_CSR_ABS = 36;
constexpr CS_INT CS_CSR_REL = 37;
constexpr CS_INT CS_CSR_MULTI = 38;
constexpr CS_INT CS_CON_OOB = 39;
constexpr CS_INT CS_CON_INBAND = 40;
constexpr CS_INT CS_CON_LOGICAL = 41;
constexpr CS_INT CS_PROTO_TEXT = 42;
constexpr CS_INT CS_PROTO_BULK = 43;
constexpr CS_INT CS_REQ_URGNOTIF = 44;
constexpr CS_INT CS_DATA_SENSITIVITY = 45;
constexpr CS_INT CS_DATA_BOUNDARY = 46;
constexpr CS_INT CS_PROTO_DYNAMIC = 47;
constexpr CS_INT CS_PROTO_DYNPROC = 48;
constexpr CS_INT CS_DATA_FLTN = 49;
constexpr CS_INT CS_DATA_BITN = 50;
constexpr CS_INT CS_OPTION_GET = 51;
constexpr CS_INT CS_DATA_INT8 = 52;
constexpr CS_INT CS_DATA_VOID = 53;

// Response capabilities.
constexpr CS_INT CS_RES_NOMSG = 1;
constexpr CS_INT CS_RES_NOEED = 2;
constexpr CS_INT CS_RES_NOPARAM = 3;
constexpr CS_INT CS_DATA_NOINT1 = 4;
constexpr CS_INT CS_DATA_NOINT2 = 5;
constexpr CS_INT CS_DATA_NOINT4 = 6;
constexpr CS_INT CS_DATA_NOBIT = 7;
constexpr CS_INT CS_DATA_NOCHAR = 8;
constexpr CS_INT CS_DATA_NOVCHAR = 9;
constexpr CS_INT CS_DATA_NOBIN = 10;
constexpr CS_INT CS_DATA_NOVBIN = 11;
constexpr CS_INT CS_DATA_NOMNY8 = 12;
constexpr CS_INT CS_DATA_NOMNY4 = 13;
constexpr CS_INT CS_DATA_NODATE8 = 14;
constexpr CS_INT CS_DATA_NODATE4 = 15;
constexpr CS_INT CS_DATA_NOFLT4 = 16;
constexpr CS_INT CS_DATA_NOFLT8 = 17;
constexpr CS_INT CS_DATA_NONUM = 18;
constexpr CS_INT CS_DATA_NOTEXT = 19;
constexpr CS_INT CS_DATA_NOIMAGE = 20;
constexpr CS_INT CS_DATA_NODEC = 21;
constexpr CS_INT CS_DATA_NOLCHAR = 22;
constexpr CS_INT CS_DATA_NOLBIN = 23;
constexpr CS_INT CS_DATA_NOINTN = 24;
constexpr CS_INT CS_DATA_NODATETIMEN = 25;
constexpr CS_INT CS_DATA_NOMONEYN = 26;
constexpr CS_INT CS_CON_NOOOB = 27;
constexpr CS_INT CS_CON_NOINBAND = 28;
constexpr CS_INT CS_PROTO_NOTEXT = 29;
constexpr CS_INT CS_PROTO_NOBULK = 30;
constexpr CS_INT CS_DATA_NOSENSITIVITY = 31;
constexpr CS_INT CS_DATA_NOBOUNDARY = 32;
constexpr CS_INT CS_RES_NOTDSDEBUG = 33;
constexpr CS_INT CS_RES_NOSTRIPBLANKS = 34;
constexpr CS_INT CS_DATA_NOINT8 = 35;

// ---- Arithmetic (cs_calc) ---------------------------------------------------------

constexpr CS_INT CS_ADD = 1;
constexpr CS_INT CS_SUB = 2;
constexpr CS_INT CS_MULT = 3;
constexpr CS_INT CS_DIV = 4;

// ---- Date information (cs_dt_info) ------------------------------------------------

constexpr CS_INT CS_MONTH = 7340;
constexpr CS_INT CS_SHORTMONTH = 7341;
constexpr CS_INT CS_DAYNAME = 7342;
constexpr CS_INT CS_DATEORDER = 7343;
constexpr CS_INT CS_12HOUR = 7344;
constexpr CS_INT CS_DT_CONVFMT = 7345;

// CS_DT_CONVFMT values.
constexpr CS_INT CS_DATES_SHORT = 0;
constexpr CS_INT CS_DATES_MDY1 = 1;
constexpr CS_INT CS_DATES_YMD1 = 2;
constexpr CS_INT CS_DATES_DMY1 = 3;
constexpr CS_INT CS_DATES_DMY2 = 4;
constexpr CS_INT CS_DATES_DMY3 = 5;
constexpr CS_INT CS_DATES_DMY4 = 6;
constexpr CS_INT CS_DATES_MDY2 = 7;
constexpr CS_INT CS_DATES_HMS = 8;
constexpr CS_INT CS_DATES_LONG = 9;
constexpr CS_INT CS_DATES_MDY3 = 10;
constexpr CS_INT CS_DATES_YMD2 = 11;
constexpr CS_INT CS_DATES_YMD3 = 12;
constexpr CS_INT CS_DATES_YDM1 = 13;
constexpr CS_INT CS_DATES_MYD1 = 14;
constexpr CS_INT CS_DATES_DYM1 = 15;
constexpr CS_INT CS_DATES_MDY1_YYYY = 101;
constexpr CS_INT CS_DATES_YMD1_YYYY = 102;
constexpr CS_INT CS_DATES_DMY1_YYYY = 103;
constexpr CS_INT CS_DATES_DMY2_YYYY = 104;
constexpr CS_INT CS_DATES_DMY3_YYYY = 105;
constexpr CS_INT CS_DATES_DMY4_YYYY = 106;
constexpr CS_INT CS_DATES_MDY2_YYYY = 107;
constexpr CS_INT CS_DATES_MDY3_YYYY = 110;
constexpr CS_INT CS_DATES_YMD2_YYYY = 111;
constexpr CS_INT CS_DATES_YMD3_YYYY = 112;

// ---- Locales (cs_locale) ----------------------------------------------------------

constexpr CS_INT CS_LC_COLLATE = 1;
constexpr CS_INT CS_LC_CTYPE = 2;
constexpr CS_INT CS_LC_MESSAGE = 3;
constexpr CS_INT CS_LC_MONETARY = 4;
constexpr CS_INT CS_LC_NUMERIC = 5;
constexpr CS_INT CS_LC_TIME = 6;
constexpr CS_INT CS_LC_ALL = 7;
constexpr CS_INT CS_SYB_LANG = 8;
constexpr CS_INT CS_SYB_CHARSET = 9;
constexpr CS_INT CS_SYB_SORTORDER = 10;
constexpr CS_INT CS_SYB_COLLATE = CS_SYB_SORTORDER;
constexpr CS_INT CS_SYB_LANG_CHARSET = 11;

// ---- Bulk copy --------------------------------------------------------------------

constexpr CS_INT CS_BLK_IN = 1;
constexpr CS_INT CS_BLK_OUT = 2;
constexpr CS_INT CS_BLK_BATCH = 1;
constexpr CS_INT CS_BLK_ALL = 2;
constexpr CS_INT CS_BLK_CANCEL = 3;

// ---- CT-Library routine ids (ct_callback, ct_poll) ---------------------------------

constexpr CS_INT CT_BIND = 0;
constexpr CS_INT CT_BR_COLUMN = 1;
constexpr CS_INT CT_BR_TABLE = 2;
constexpr CS_INT CT_CALLBACK = 3;
constexpr CS_INT CT_CANCEL = 4;
constexpr CS_INT CT_CAPABILITY = 5;
constexpr CS_INT CT_CLOSE = 6;
constexpr CS_INT CT_CMD_ALLOC = 7;
constexpr CS_INT CT_CMD_DROP = 8;
constexpr CS_INT CT_CMD_PROPS = 9;
constexpr CS_INT CT_COMMAND = 10;
constexpr CS_INT CT_COMPUTE_INFO = 11;
constexpr CS_INT CT_CON_ALLOC = 12;
constexpr CS_INT CT_CON_DROP = 13;
constexpr CS_INT CT_CON_PROPS = 14;
constexpr CS_INT CT_CON_XFER = 15;
constexpr CS_INT CT_CONFIG = 16;
constexpr CS_INT CT_CONNECT = 17;
constexpr CS_INT CT_CURSOR = 18;
constexpr CS_INT CT_DATA_INFO = 19;
constexpr CS_INT CT_DEBUG = 20;
constexpr CS_INT CT_DESCRIBE = 21;
constexpr CS_INT CT_DIAG = 22;
constexpr CS_INT CT_DYNAMIC = 23;
constexpr CS_INT CT_DYNDESC = 24;
constexpr CS_INT CT_EXIT = 25;
constexpr CS_INT CT_FETCH = 26;
constexpr CS_INT CT_GET_DATA = 27;
constexpr CS_INT CT_GETFORMAT = 28;
constexpr CS_INT CT_GETLOGINFO = 29;
constexpr CS_INT CT_INIT = 30;
constexpr CS_INT CT_KEYDATA = 31;
constexpr CS_INT CT_OPTIONS = 32;
constexpr CS_INT CT_PARAM = 33;
constexpr CS_INT CT_POLL = 34;
constexpr CS_INT CT_RECVPASSTHRU = 35;
constexpr CS_INT CT_REMOTE_PWD = 36;
constexpr CS_INT CT_RES_INFO = 37;
constexpr CS_INT CT_RESULTS = 38;
constexpr CS_INT CT_SEND = 39;
constexpr CS_INT CT_SEND_DATA = 40;
constexpr CS_INT CT_SENDPASSTHRU = 41;
constexpr CS_INT CT_SETLOGINFO = 42;
constexpr CS_INT CT_WAKEUP = 43;
constexpr CS_INT CT_LABELS = 44;
constexpr CS_INT CT_DS_LOOKUP = 45;
constexpr CS_INT CT_DS_DROP = 46;
constexpr CS_INT CT_DS_OBJINFO = 47;
constexpr CS_INT CT_SETPARAM = 48;
constexpr CS_INT CT_DYNSQLDA = 49;
constexpr CS_INT CT_NOTIFICATION = 1000;

// Unit start and end: nothing to do, kept so every binding unit starts alike.
void Initialization();
void Finalization();

} // namespace Cstypes
