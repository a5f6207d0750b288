// [Begin EMI Model]: the EMI record of a model and its two sub-parameters.

#include "IbisParser/mdlemi.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rngp.h"

#define MDLEMI_MODULE "IbisParser\\mdlemi"

namespace {

// The block being read (it belongs to the current model); null outside one.
MDLEMI* g_open = nullptr;

struct Choice {
    const char* name;
    int code;
};
const Choice kTypes[] = {{"Ferrite", MDLEMI_TYPE_FERRITE}, {"Not_a_ferrite", MDLEMI_TYPE_NOT_A_FERRITE}};
const Choice kDomains[] = {{"Analog", MDLEMI_DOMAIN_ANALOG}, {"Digital", MDLEMI_DOMAIN_DIGITAL}};

template <size_t N>
void ReadChoice(const char* line, const char* name, const Choice (&choices)[N], int* code) {
    if (*code != 0) MSG_ErrorLine(4805, name);
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '\0', &words);
    if (words.found == 1) {
        MSG_ErrorLine(4806, name);
        return;
    }
    if (words.found != 2) {
        MSG_ErrorLine(4801, words.found, name, 2);
        return;
    }
    char value[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, value, sizeof value);
    for (const Choice& choice : choices) {
        if (std::strcmp(value, choice.name) == 0) {
            *code = choice.code;
            return;
        }
        if (CMN_StrEqualNoCase(value, choice.name)) {
            MSG_ErrorLine(4807, name, value, choice.name);
            return;
        }
    }
    MSG_ErrorLine(4808, name, value);
}

}  // namespace

int MDLEMI_KeywordLine(int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, MDLEMI_MODULE);
    if (keyword != KW::BEGIN_EMI_MODEL) return 1;
    MDL* model = MDL_Current();
    g_open = nullptr;
    if (model == nullptr) return 1;  // the model reports lines outside a model
    if (model->emi != nullptr) {
        MSG_ErrorLine(4800);
        MDLEMI_Free(model->emi);
        model->emi = nullptr;
    }
    if (!CMN_Calloc(&model->emi, sizeof *model->emi)) {
        MSG_Bug(4804, MDLEMI_MODULE, __LINE__);
        return 1;
    }
    g_open = model->emi;
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(4801, words + 1, "EMI Model", 1);
    return 1;
}

int MDLEMI_DataLine(int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, MDLEMI_MODULE);
    if (keyword != KW::BEGIN_EMI_MODEL || g_open == nullptr) return 1;
    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '\0', &first);
    if (first.stored == 0) {
        MSG_BugLine(4802, "EMI Model Sub-Parameter", MDLEMI_MODULE, __LINE__);
        return 1;
    }
    char name[RNGP_WORD_MAX + 1];
    RNGP_WordText(&first, 0, name, sizeof name);
    // Lines naming neither sub-parameter are passed over without a message.
    if (std::strcmp(name, "Model_emi_type") == 0)
        ReadChoice(line, "Model_emi_type", kTypes, &g_open->model_emi_type);
    else if (std::strcmp(name, "Domain") == 0)
        ReadChoice(line, "Domain", kDomains, &g_open->domain);
    return 1;
}

void MDLEMI_KeywordChange(int) { g_open = nullptr; }

void MDLEMI_Free(MDLEMI* record) {
    if (record == nullptr) return;
    if (record == g_open) g_open = nullptr;
    CMN_Free(record);
}
