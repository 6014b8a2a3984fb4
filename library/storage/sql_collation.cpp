#include "storage/sql_collation.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <vector>

namespace pm::sql {
namespace {

inline unsigned char lowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

std::vector<UChar> toUtf16(const unsigned char* p, int n) {
    std::vector<UChar> out(static_cast<std::size_t>(n) + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                         reinterpret_cast<const char*>(p), n, 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) length = 0;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

int icuCompare(const unsigned char* a, int na, const unsigned char* b, int nb) {
    std::vector<UChar> ua = toUtf16(a, na);
    std::vector<UChar> ub = toUtf16(b, nb);
    UErrorCode status = U_ZERO_ERROR;
    int r = u_strCaseCompare(ua.data(), static_cast<int32_t>(ua.size()), ub.data(),
                             static_cast<int32_t>(ub.size()),
                             U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER, &status);
    if (U_FAILURE(status)) return 0;
    return r;
}

int collate(void*, int na, const void* va, int nb, const void* vb) {
    return caselessCompare(va, na, vb, nb);
}

}  // namespace

int caselessCompare(const void* va, int na, const void* vb, int nb) {
    auto* a = static_cast<const unsigned char*>(va);
    auto* b = static_cast<const unsigned char*>(vb);
    int n = na < nb ? na : nb;
    int i = 0;
    for (; i < n; ++i) {
        unsigned char ca = a[i], cb = b[i];
        if ((ca | cb) & 0x80) break;
        unsigned char la = lowerAscii(ca), lb = lowerAscii(cb);
        if (la != lb) return la < lb ? -1 : 1;
    }
    if (i == n) return na == nb ? 0 : (na < nb ? -1 : 1);
    // Back up to the start of the character that holds the difference.
    while (i > 0 && ((a[i] & 0xC0) == 0x80 || (b[i] & 0xC0) == 0x80)) --i;
    if (a[i] >= 0xF5 || b[i] >= 0xF5) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return icuCompare(a + i, na - i, b + i, nb - i);
}

void registerCollations(sqlite3* db) {
    sqlite3_create_collation(db, kCaselessCollation, SQLITE_UTF8, nullptr, collate);
}

}  // namespace pm::sql
