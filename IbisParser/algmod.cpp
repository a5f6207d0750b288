// [Algorithmic Model]: the keyword line, the Executable lines and the checks
// of one model's list.

#include <climits>
#include <cstring>

#include "IbisParser/algmod_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"

namespace {

constexpr const char* kSectionLabel = "Algorithmic Model";
constexpr int kExecutable = 1;

// Sub-parameters of the section, matched exactly.
struct SubParameter {
    const char* name;
    int id;
};
constexpr SubParameter kSubParameters[] = {{"Executable", kExecutable}, {"NOT_ALGMOD", 0}};

// Line of the most recent [Algorithmic Model], which the list checks name.
unsigned long g_sectionLine = 0;

int FindSubParameter(const char* word) {
    for (const SubParameter& entry : kSubParameters)
        if (entry.id != 0 && std::strcmp(entry.name, word) == 0) return entry.id;
    return 0;
}

// Copies at most ALGMOD_NAME_MAX characters of `source`; a longer one is
// reported with `tooLong` and cut.
void CopyName(char* dest, const char* source, int tooLong) {
    const size_t length = std::strlen(source);
    if (length > static_cast<size_t>(ALGMOD_NAME_MAX)) MSG_Error(tooLong, source);
    const size_t kept = length > static_cast<size_t>(ALGMOD_NAME_MAX) ? ALGMOD_NAME_MAX : length;
    std::memcpy(dest, source, kept);
    dest[kept] = '\0';
}

bool IsUnderscore(const char* token) { return std::strcmp(token, "_") == 0; }

// Executable platform_compiler_bits codeFile parameterFile. Null after 4610
// (no record) or when memory is short.
ALGMOD* ParseExecutable(const TOKENLIST& words) {
    const char* triple = words.stored > 1 ? words.tokens[1] : "";
    TOKENLIST parts;
    if (!CMN_SplitTokens(triple, 5, '_', &parts)) {
        CMN_FreeTokens(&parts);
        return nullptr;
    }
    // platform, "_", compiler, "_", bits: no piece may be missing or doubled.
    const bool shaped = parts.found == 5 && !IsUnderscore(parts.tokens[0]) && IsUnderscore(parts.tokens[1]) &&
                        !IsUnderscore(parts.tokens[2]) && IsUnderscore(parts.tokens[3]) &&
                        !IsUnderscore(parts.tokens[4]);
    if (!shaped) {
        MSG_ErrorLine(4610);
        CMN_FreeTokens(&parts);
        return nullptr;
    }
    ALGMOD* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(4602, ALGMOD_MODULE, __LINE__);
        CMN_FreeTokens(&parts);
        return nullptr;
    }
    CopyName(record->platform, parts.tokens[0], 4611);
    CopyName(record->compiler, parts.tokens[2], 4612);
    record->bits = -1;
    unsigned long bits = 0;
    if (CMN_ParseUnsigned(parts.tokens[4], &bits) == CMN_NUM_GOOD)
        record->bits = bits > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(bits);
    else
        MSG_Error(4613, triple);
    CopyName(record->codeFile, words.stored > 2 ? words.tokens[2] : "", 4614);
    CopyName(record->parameterFile, words.stored > 3 ? words.tokens[3] : "", 4614);
    CMN_FreeTokens(&parts);
    return record;
}

void FreeRecords(ALGMOD* record) {
    while (record != nullptr) {
        ALGMOD* next = record->next;
        tree_free(record->tree);
        CMN_Free(record);
        record = next;
    }
}

bool SameExecutable(const ALGMOD& a, const ALGMOD& b) {
    return CMN_StrEqualNoCase(a.platform, b.platform) && CMN_StrEqualNoCase(a.compiler, b.compiler) &&
           a.bits == b.bits;
}

}  // namespace

int ALGMOD_Keyword(char* line) {
    MSG_REQUIRE(line != nullptr, ALGMOD_MODULE);
    MDL* model = MDL_Current();
    if (model == nullptr) return 0;
    if (model->algmod != nullptr) {
        MSG_ErrorLine(4601);
        ALGMOD_FreeList(model->algmod);
        model->algmod = nullptr;
    }
    ALGMOD_LIST* list = nullptr;
    if (!CMN_Calloc(&list, sizeof *list)) {
        MSG_Bug(4602, ALGMOD_MODULE, __LINE__);
        return 0;
    }
    model->algmod = list;

    // Nothing may follow the bracket.
    const char* rest = std::strchr(line, ']');
    rest = rest != nullptr ? rest + 1 : line + std::strlen(line);
    TOKENLIST words;
    if (CMN_SplitLine(rest, 0, &words) && words.found > 0)
        MSG_ErrorLine(4605, words.found + 1, kSectionLabel, 1);
    CMN_FreeTokens(&words);
    g_sectionLine = MSG_GetCurrentLine();
    return 1;
}

int ALGMOD_DataLine(char* line) {
    MSG_REQUIRE(line != nullptr, ALGMOD_MODULE);
    TOKENLIST words;
    if (!CMN_SplitLine(line, 4, &words) || words.stored == 0) {
        CMN_FreeTokens(&words);
        return 1;
    }
    if (words.found != 4) MSG_ErrorLine(4605, words.found, kSectionLabel, 4);
    if (FindSubParameter(words.tokens[0]) != kExecutable) {
        MSG_ErrorLine(4609);
        CMN_FreeTokens(&words);
        return 1;
    }
    ALGMOD* record = ParseExecutable(words);
    CMN_FreeTokens(&words);
    if (record == nullptr) return 1;
    MDL* model = MDL_Current();
    if (model == nullptr || model->algmod == nullptr) {
        // The list could not be made; the line was still checked.
        FreeRecords(record);
        return 1;
    }
    record->next = model->algmod->first;
    model->algmod->first = record;
    return 1;
}

void ALGMOD_KeywordChange(int) {
    const MDL* model = MDL_Current();
    if (model != nullptr && model->algmod != nullptr) ALGMOD_CheckList(model->algmod);
}

void ALGMOD_CheckList(const ALGMOD_LIST* list) {
    if (list == nullptr) return;
    const int line = static_cast<int>(g_sectionLine);
    for (const ALGMOD* record = list->first; record != nullptr; record = record->next) {
        if (record->bits != 32 && record->bits != 64) MSG_Error(4606, record->platform, record->compiler, line);
        for (const ALGMOD* later = record->next; later != nullptr; later = later->next)
            if (SameExecutable(*record, *later))
                MSG_Error(4607, later->platform, later->compiler, later->bits, line);
    }
}

void ALGMOD_FreeList(ALGMOD_LIST* list) {
    if (list == nullptr) return;
    FreeRecords(list->first);
    CMN_Free(list);
}
