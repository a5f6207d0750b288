// Checked memory helpers: failures are reported as messages and returned as
// 0 / null, so a checker run goes on with whatever it could allocate.

#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

int CMN_Calloc(void** place, size_t size) {
    CMN_REQUIRE(place != nullptr);
    CMN_REQUIRE(size != 0);
    *place = std::calloc(1, size);
    if (*place == nullptr) {
        MSG_Error(1906, static_cast<unsigned>(size));
        return 0;
    }
    return 1;
}

int CMN_Realloc(void** place, size_t size) {
    CMN_REQUIRE(place != nullptr);
    CMN_REQUIRE(size != 0);
    void* grown = std::realloc(*place, size);
    if (grown == nullptr) {
        // The old block is still valid and still the caller's to free.
        MSG_Error(1907, static_cast<unsigned>(size));
        return 0;
    }
    *place = grown;
    return 1;
}

void CMN_Free(void* block) {
    CMN_REQUIRE(block != nullptr);
    std::free(block);
}

void CMN_FreePtr(void** place) {
    CMN_REQUIRE(place != nullptr);
    CMN_REQUIRE(*place != nullptr);
    std::free(*place);
    *place = nullptr;
}

char* CMN_StrDup(const char* text, const char* callerFile, int callerLine) {
    if (text == nullptr) return nullptr;
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy == nullptr) {
        MSG_Bug(1908, callerFile, callerLine);
        return nullptr;
    }
    std::memcpy(copy, text, size);
    return copy;
}

char* CMN_SubStr(const char* text, size_t n) {
    CMN_REQUIRE(text != nullptr);
    char* copy = nullptr;
    if (!CMN_Calloc(&copy, n + 1)) return nullptr;
    // A text shorter than n is copied whole; the block is already zeroed.
    std::memcpy(copy, text, strnlen(text, n));
    return copy;
}
