// [Model]: the model's name on its keyword line, and [Add Submodel].

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/rngp.h"

namespace {

struct ModeName {
    const char* name;
    int mode;
};
const ModeName kModes[] = {{"Driving", MDL_MODE_DRIVING}, {"Non-Driving", MDL_MODE_NON_DRIVING}, {"All", MDL_MODE_ALL}};

// A model whose [Model] line names nothing is not started: it leaves the
// file's list (where it stands first) and nothing reads into it.
void DropUnnamedModel(MDL* model) {
    g_mdl = MdlState{};
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis) || ibis->models != model) return;
    ibis->models = model->next;
    // The index is shared with the file's other models; it goes only with
    // the last of them.
    if (ibis->models == nullptr) MDL_IndexFree(model->index);
    MDL_FreeModel(model);
}

void ReadMode(MDL* model, MDL_ADDSUB* entry, const char* text) {
    for (const ModeName& mode : kModes)
        if (std::strcmp(mode.name, text) == 0) {
            entry->mode = mode.mode;
            break;
        }
    if (entry->mode == MDL_MODE_NOT_GIVEN) {
        for (const ModeName& mode : kModes)
            if (CMN_StrEqualNoCase(mode.name, text)) {
                MSG_ErrorLine(136, "Add Submodel Mode", text, mode.name);
                return;
            }
        MSG_ErrorLine(158, "Add Submodel Mode", text);
        return;
    }
    const int type = model->model_type;
    if (entry->mode == MDL_MODE_DRIVING &&
        (type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR))
        MSG_ErrorLine(216);
    if (entry->mode == MDL_MODE_NON_DRIVING &&
        (type == MDL_TYPE_OUTPUT || type == MDL_TYPE_OPEN_DRAIN || type == MDL_TYPE_OPEN_SINK ||
         type == MDL_TYPE_OPEN_SOURCE || type == MDL_TYPE_OUTPUT_ECL))
        MSG_ErrorLine(217);
}

}  // namespace

void MDL_NameLine(MDL* model, const char* line) {
    const char* rest = RNGP_AfterKeyword(line);
    if (rest == nullptr) {
        MSG_BugLine(125, "Model", MDL_MODULE, __LINE__);
        return;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(rest, 1, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(128, 0, "Model", 1);
        DropUnnamedModel(model);
        return;
    }
    if (words.found > 1) MSG_ErrorLine(128, words.found, "Model", 1);

    const size_t limit = HDR_GetVersionLevel() < 4 ? MDL_NAME_MAX_BEFORE_4 : MDL_NAME_MAX;
    char name[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 0, name, sizeof name);
    if (std::strlen(name) > limit) {
        MSG_ErrorLine(129, static_cast<int>(limit));
        name[limit] = '\0';
    } else if (!CMN_IsNotReserved(name)) {
        MSG_ErrorLine(130, name);
    } else if (MDL_IndexFind(model, name) != nullptr) {
        MSG_ErrorLine(131, name);
    }
    std::memcpy(model->name, name, std::strlen(name) + 1);
    MDL_IndexAdd(model);
}

void MDL_AddSubmodelKeyword(MDL* model, const char* line) {
    if (MDL_HasKeyword(model, KW::ADD_SUBMODEL)) MSG_ErrorLine(208);
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(137, words + 1, "Add Submodel", 1);
    if (MDL_IsSeriesType(model->model_type)) MSG_ErrorLine(209);
}

void MDL_AddSubmodelLine(MDL* model, const char* line) {
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(211);
        return;
    }
    if (words.found > 2) MSG_ErrorLine(210);

    MDL_ADDSUB* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_BugLine(100, MDL_MODULE, __LINE__);
        return;
    }
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 0, text, sizeof text);
    if (std::strlen(text) > MDL_SUBMODEL_NAME_MAX) {
        MSG_ErrorLine(212, MDL_SUBMODEL_NAME_MAX);
        text[MDL_SUBMODEL_NAME_MAX] = '\0';
    } else if (!CMN_IsNotReserved(text)) {
        MSG_ErrorLine(213, text);
    }
    std::memcpy(entry->name, text, std::strlen(text) + 1);
    entry->mode = MDL_MODE_NOT_GIVEN;
    if (model->addSubmodelsTail == nullptr)
        model->add_submodels = entry;
    else
        model->addSubmodelsTail->next = entry;
    model->addSubmodelsTail = entry;

    if (words.found < 2) {
        MSG_ErrorLine(215);
        return;
    }
    ReadMode(model, entry, RNGP_WordText(&words, 1, text, sizeof text));
}
