// The CT-Library calls that FreeTDS does not provide. Each fails cleanly: it
// returns CS_FAIL and only clears an output handle it was given, so a caller
// never reads an uninitialised pointer. All other CT calls come from libct.so.4.
#include <type_traits>

#include "binding/Ctpublic.h"

using namespace Cstypes;

#define KESTREL_EXPORT extern "C" __attribute__((visibility("default")))

KESTREL_EXPORT CS_RETCODE ct_debug(CS_CONTEXT*, CS_CONNECTION*, CS_INT, CS_INT, CS_CHAR*, CS_INT) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_br_column(CS_COMMAND*, CS_INT, CS_BROWSEDESC*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_br_table(CS_COMMAND*, CS_INT, CS_INT, CS_VOID*, CS_INT, CS_INT*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_dyndesc(CS_COMMAND*, CS_CHAR*, CS_INT, CS_INT, CS_INT, CS_DATAFMT*, CS_VOID*, CS_INT,
                                     CS_INT*, CS_SMALLINT*) {
    return CS_FAIL;
}

KESTREL_EXPORT CS_RETCODE ct_getformat(CS_COMMAND*, CS_INT, CS_VOID*, CS_INT, CS_INT*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_keydata(CS_COMMAND*, CS_INT, CS_INT, CS_VOID*, CS_INT, CS_INT*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_getloginfo(CS_CONNECTION*, CS_LOGINFO** logptr) {
    if (logptr != nullptr) *logptr = nullptr;
    return CS_FAIL;
}

KESTREL_EXPORT CS_RETCODE ct_setloginfo(CS_CONNECTION*, CS_LOGINFO*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_recvpassthru(CS_COMMAND*, CS_VOID** recvptr) {
    if (recvptr != nullptr) *recvptr = nullptr;
    return CS_FAIL;
}

KESTREL_EXPORT CS_RETCODE ct_sendpassthru(CS_COMMAND*, CS_VOID*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_remote_pwd(CS_CONNECTION*, CS_INT, CS_CHAR*, CS_INT, CS_CHAR*, CS_INT) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_wakeup(CS_CONNECTION*, CS_COMMAND*, CS_INT, CS_RETCODE) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_labels(CS_CONNECTION*, CS_INT, CS_CHAR*, CS_INT, CS_CHAR*, CS_INT, CS_INT*) {
    return CS_FAIL;
}

KESTREL_EXPORT CS_RETCODE ct_ds_lookup(CS_CONNECTION*, CS_INT, CS_INT*, CS_DS_LOOKUP_INFO*, CS_VOID*) {
    return CS_FAIL;
}

KESTREL_EXPORT CS_RETCODE ct_ds_dropobj(CS_CONNECTION*, CS_DS_OBJECT*) { return CS_FAIL; }

KESTREL_EXPORT CS_RETCODE ct_ds_objinfo(CS_DS_OBJECT*, CS_INT, CS_INT, CS_INT, CS_VOID*, CS_INT, CS_INT*) {
    return CS_FAIL;
}

// The stubs must keep the binding's signatures exactly.
static_assert(std::is_same_v<decltype(&ct_debug), Ctpublic::Tct_debug>);
static_assert(std::is_same_v<decltype(&ct_br_column), Ctpublic::Tct_br_column>);
static_assert(std::is_same_v<decltype(&ct_br_table), Ctpublic::Tct_br_table>);
static_assert(std::is_same_v<decltype(&ct_dyndesc), Ctpublic::Tct_dyndesc>);
static_assert(std::is_same_v<decltype(&ct_getformat), Ctpublic::Tct_getformat>);
static_assert(std::is_same_v<decltype(&ct_keydata), Ctpublic::Tct_keydata>);
static_assert(std::is_same_v<decltype(&ct_getloginfo), Ctpublic::Tct_getloginfo>);
static_assert(std::is_same_v<decltype(&ct_setloginfo), Ctpublic::Tct_setloginfo>);
static_assert(std::is_same_v<decltype(&ct_recvpassthru), Ctpublic::Tct_recvpassthru>);
static_assert(std::is_same_v<decltype(&ct_sendpassthru), Ctpublic::Tct_sendpassthru>);
static_assert(std::is_same_v<decltype(&ct_remote_pwd), Ctpublic::Tct_remote_pwd>);
static_assert(std::is_same_v<decltype(&ct_wakeup), Ctpublic::Tct_wakeup>);
static_assert(std::is_same_v<decltype(&ct_labels), Ctpublic::Tct_labels>);
static_assert(std::is_same_v<decltype(&ct_ds_lookup), Ctpublic::Tct_ds_lookup>);
static_assert(std::is_same_v<decltype(&ct_ds_dropobj), Ctpublic::Tct_ds_dropobj>);
static_assert(std::is_same_v<decltype(&ct_ds_objinfo), Ctpublic::Tct_ds_objinfo>);
