#pragma once
// Result codes of a shell request. They keep the numbering that callers of a
// shell request test against: a code above 32 is success, the codes below name
// the reason of a failure.
#include <cstdint>

namespace zorbalin {

enum TShellResult : std::int32_t {
    SE_ERR_FNF = 2,          // file not found
    SE_ERR_PNF = 3,          // path (folder) not found
    SE_ERR_ACCESSDENIED = 5, // access denied
    SE_ERR_OOM = 8,          // out of memory or of processes and descriptors
    SE_ERR_SHARE = 26,       // sharing violation
    SE_ERR_ASSOCINCOMPLETE = 27,
    SE_ERR_DDETIMEOUT = 28,
    SE_ERR_DDEFAIL = 29,
    SE_ERR_DDEBUSY = 30,
    SE_ERR_NOASSOC = 31, // nothing can carry out this verb on this document
    SE_ERR_DLLNOTFOUND = 32,
    SE_OK = 42, // started
};

} // namespace zorbalin
