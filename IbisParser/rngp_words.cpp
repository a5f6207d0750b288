// Words of a line without copies, and the name = value sub-parameter form.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rngp.h"

#define RNGP_MODULE "IbisParser\\rngp"

namespace {

// NUL, space and tab end a word.
constexpr bool kEndsWord[256] = {true, false, false, false, false, false, false, false, false, true,
                                 false, false, false, false, false, false, false, false, false, false,
                                 false, false, false, false, false, false, false, false, false, false,
                                 false, false, true};

bool EndsWord(char c) { return kEndsWord[static_cast<unsigned char>(c)]; }

// CMN_IsSpace, inline: every character of every table row passes here.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* SkipSpace(const char* text) {
    while (IsSpace(*text)) ++text;
    return text;
}

}  // namespace

const char* RNGP_SkipBlanks(const char* text) {
    MSG_REQUIRE(text != nullptr, RNGP_MODULE);
    return SkipSpace(text);
}

namespace {

void Split(const char* line, int capacity, char stop, bool countAll, RNGP_WORDS* words) {
    if (capacity > RNGP_MAX_WORDS) capacity = RNGP_MAX_WORDS;
    words->stored = 0;
    words->found = 0;
    const char* p = line;
    for (;;) {
        p = SkipSpace(p);
        if (*p == '\0') break;
        const char* end = p;
        if (stop == '\0') {
            while (!EndsWord(*end)) ++end;
        } else {
            while (!EndsWord(*end) && *end != stop) ++end;
        }
        size_t length = static_cast<size_t>(end - p);
        if (length == 0) length = 1;  // the stop character is a word of its own
        if (words->stored < capacity) {
            words->start[words->stored] = p;
            words->length[words->stored] = length;
            ++words->stored;
        }
        ++words->found;
        if (!countAll && words->found >= capacity) break;
        p += length;
    }
}

}  // namespace

void RNGP_SplitWords(const char* line, int capacity, char stop, RNGP_WORDS* words) {
    MSG_REQUIRE(line != nullptr && words != nullptr, RNGP_MODULE);
    Split(line, capacity, stop, true, words);
}

void RNGP_LeadingWords(const char* line, int capacity, char stop, RNGP_WORDS* words) {
    MSG_REQUIRE(line != nullptr && words != nullptr, RNGP_MODULE);
    Split(line, capacity, stop, false, words);
}

char* RNGP_WordText(const RNGP_WORDS* words, int index, char* buffer, size_t size) {
    MSG_REQUIRE(words != nullptr && buffer != nullptr && size > 0, RNGP_MODULE);
    size_t length = 0;
    if (index >= 0 && index < words->stored) {
        length = words->length[index];
        if (length > size - 1) length = size - 1;
        std::memcpy(buffer, words->start[index], length);
    }
    buffer[length] = '\0';
    return buffer;
}

const char* RNGP_AfterKeyword(const char* line) {
    MSG_REQUIRE(line != nullptr, RNGP_MODULE);
    const char* bracket = std::strchr(line, ']');
    if (bracket == nullptr) return nullptr;
    return RNGP_SkipBlanks(bracket + 1);
}

int RNGP_CountWords(const char* text) {
    RNGP_WORDS words;
    RNGP_SplitWords(text, 0, '\0', &words);
    return words.found;
}

int RNGP_ReadNameValue(const char* line, const char* name, const RNGP_NAMEVALUE& messages, double* value) {
    MSG_REQUIRE(line != nullptr && name != nullptr && value != nullptr, RNGP_MODULE);
    constexpr int kItems = 3;  // name, '=', value
    RNGP_WORDS words;
    RNGP_SplitWords(line, kItems, '=', &words);
    const char* countLabel = messages.itemCountLabel != nullptr ? messages.itemCountLabel : name;
    if (words.found < 1) {
        MSG_ErrorLine(messages.itemCountCode, words.found, countLabel, kItems);
        return 0;
    }
    if (words.found < kItems) {
        MSG_ErrorLine(messages.badLineCode, name);
        return 0;
    }
    if (words.found > kItems) MSG_ErrorLine(messages.itemCountCode, words.found, countLabel, kItems);
    if (words.length[1] != 1 || words.start[1][0] != '=') {
        MSG_ErrorLine(messages.badLineCode, name);
        return 0;
    }
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 2, text, sizeof text);
    double number = 0.0;
    switch (CMN_ParseScaled(text, &number)) {
        case CMN_NUM_BAD: MSG_ErrorLine(messages.badValueCode, name, text); return 0;
        case CMN_NUM_SUSPICIOUS:
            if (messages.suspiciousCode != 0)
                MSG_WarningLine(messages.suspiciousCode, messages.suspiciousLabel ? messages.suspiciousLabel : "", name,
                                text);
            break;
        default: break;
    }
    *value = number;
    return 1;
}
