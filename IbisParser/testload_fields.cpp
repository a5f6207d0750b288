// The keyword-line name, type words and model names of [Test Load] and
// [Test Data].

#include "IbisParser/testload_fields.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"
#include "IbisParser/rngp.h"

#define TESTLOAD_FIELDS_MODULE "IbisParser\\testload"

namespace {

struct TypeWord {
    const char* text;
    int code;
};
const TypeWord kTypeWords[] = {
    {"Single_ended", TESTLOAD_TYPE_SINGLE_ENDED},
    {"Differential", TESTLOAD_TYPE_DIFFERENTIAL},
};

bool IsEquals(const RNGP_WORDS& words, int index) {
    return index < words.stored && words.length[index] == 1 && words.start[index][0] == '=';
}

}  // namespace

int TESTLOAD_ReadName(const char* line, const TESTLOAD_NAMECODES& codes, char* name) {
    MSG_REQUIRE(line != nullptr && name != nullptr, TESTLOAD_FIELDS_MODULE);
    const char* rest = RNGP_AfterKeyword(line);
    if (rest == nullptr) {
        MSG_BugLine(codes.eat, codes.eatWord, TESTLOAD_FIELDS_MODULE, __LINE__);
        return TESTLOAD_NAME_NONE;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(rest, 1, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(codes.missing);
        return TESTLOAD_NAME_NONE;
    }
    if (words.found > 1) MSG_ErrorLine(codes.items, words.found, codes.keywordWord, 1);
    if (words.length[0] > TESTLOAD_NAME_MAX) {
        MSG_ErrorLine(codes.tooLong, TESTLOAD_NAME_MAX);
        RNGP_WordText(&words, 0, name, TESTLOAD_NAME_MAX + 1);
        return TESTLOAD_NAME_CUT;
    }
    RNGP_WordText(&words, 0, name, TESTLOAD_NAME_MAX + 1);
    if (!CMN_IsNotReserved(name)) MSG_ErrorLine(codes.reserved, name);
    return TESTLOAD_NAME_READ;
}

size_t TESTLOAD_ModelNameLimit() {
    return HDR_GetVersionLevel() >= 4 ? TESTLOAD_MODEL_NAME_MAX : TESTLOAD_MODEL_NAME_MAX_BEFORE_4;
}

void TESTLOAD_ReadType(const char* line, const char* subName, const char* owner, int* field,
                       const TESTLOAD_SUBCODES& codes) {
    MSG_REQUIRE(line != nullptr && subName != nullptr && owner != nullptr && field != nullptr,
                TESTLOAD_FIELDS_MODULE);
    if (*field != TESTLOAD_TYPE_NONE) {
        MSG_ErrorLine(codes.already, subName, owner);
        return;
    }
    *field = TESTLOAD_TYPE_INVALID;
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '=', &words);
    if (words.found < 2) {
        MSG_ErrorLine(codes.missing, subName);
        return;
    }
    if (words.found > 2) {
        if (IsEquals(words, 1))
            MSG_ErrorLine(codes.badLine, subName);
        else
            MSG_ErrorLine(codes.items, words.found, subName, 2);
        return;
    }
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, text, sizeof text);
    for (const TypeWord& word : kTypeWords)
        if (std::strcmp(word.text, text) == 0) {
            *field = word.code;
            return;
        }
    for (const TypeWord& word : kTypeWords)
        if (CMN_StrEqualNoCase(word.text, text)) {
            MSG_ErrorLine(codes.tryCase, subName, text, word.text);
            return;
        }
    MSG_ErrorLine(codes.invalid, subName, text);
}

void TESTLOAD_ReadModelName(const char* line, const char* subName, const char* owner, char* slot, size_t limit,
                            const TESTLOAD_SUBCODES& codes) {
    MSG_REQUIRE(line != nullptr && subName != nullptr && owner != nullptr && slot != nullptr,
                TESTLOAD_FIELDS_MODULE);
    if (slot[0] != '\0') {
        MSG_ErrorLine(codes.already, subName, owner);
        return;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '=', &words);
    if (words.found < 2) {
        MSG_ErrorLine(codes.missing, subName);
        return;
    }
    if (words.found > 2) {
        if (IsEquals(words, 1))
            MSG_ErrorLine(codes.badLine, subName);
        else
            MSG_ErrorLine(codes.items, words.found, subName, 2);
    }
    // The name is judged on any line, but kept only from a line of two words.
    char name[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, name, sizeof name);
    if (std::strlen(name) > limit) {
        MSG_ErrorLine(codes.tooLong, subName, static_cast<int>(limit));
        name[limit] = '\0';
    } else if (!CMN_IsNotReserved(name)) {
        MSG_ErrorLine(codes.reserved, subName, name);
    }
    if (words.found == 2) std::memcpy(slot, name, std::strlen(name) + 1);
}

int TESTLOAD_SubParameterIndex(const char* line, const char* const* names, int count, const char** rest) {
    MSG_REQUIRE(line != nullptr && names != nullptr, TESTLOAD_FIELDS_MODULE);
    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '=', &first);
    if (first.stored == 0) return -1;
    if (rest != nullptr) *rest = first.start[0] + first.length[0];
    for (int i = 0; i < count; ++i) {
        const size_t length = std::strlen(names[i]);
        if (first.length[0] == length && std::strncmp(first.start[0], names[i], length) == 0) return i;
    }
    return -1;
}
