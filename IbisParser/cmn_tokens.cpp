// Splitting a line into whitespace-separated tokens.

#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

bool EndsToken(char c, int stop) { return c == '\0' || c == ' ' || c == '\t' || c == static_cast<char>(stop); }

}  // namespace

int CMN_SplitTokens(const char* text, int capacity, int stop, TOKENLIST* list) {
    CMN_REQUIRE(text != nullptr && list != nullptr);
    list->capacity = capacity > 0 ? capacity : 0;
    list->stored = 0;
    list->found = 0;
    list->tokens = nullptr;
    if (list->capacity > 0) {
        list->tokens = static_cast<char**>(std::calloc(static_cast<size_t>(list->capacity), sizeof(char*)));
        if (list->tokens == nullptr) {
            MSG_Bug(1908, __FILE__, __LINE__);
            return 0;
        }
    }

    const char* p = text;
    for (;;) {
        while (*p != '\0' && CMN_IsSpace(*p)) ++p;
        if (*p == '\0') break;
        size_t length = 0;
        while (!EndsToken(p[length], stop)) ++length;
        if (length == 0) length = 1;  // the stop character is a token of its own
        if (list->stored < list->capacity) {
            char* token = static_cast<char*>(std::malloc(length + 1));
            if (token == nullptr) {
                MSG_Bug(1908, __FILE__, __LINE__);
                return 0;
            }
            std::memcpy(token, p, length);
            token[length] = '\0';
            list->tokens[list->stored++] = token;
        }
        ++list->found;
        p += length;
    }
    return 1;
}

int CMN_SplitLine(const char* text, int capacity, TOKENLIST* list) { return CMN_SplitTokens(text, capacity, '\0', list); }

void CMN_FreeTokens(TOKENLIST* list) {
    CMN_REQUIRE(list != nullptr);
    if (list->tokens != nullptr) {
        for (int i = 0; i < list->stored; ++i) std::free(list->tokens[i]);
        std::free(list->tokens);
    }
    *list = TOKENLIST{};
}
