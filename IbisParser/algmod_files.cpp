// [Algorithmic Model] at the end of an .ibs file: the code and parameter
// files that the Executable lines name, and the parse of every parameter
// file (or of an .ami file checked on its own).
//
// The files are named relative to the folder of the .ibs file, with '/' or
// '\' between folders, as a simulator on either kind of system finds them.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "IbisParser/algmod_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The directory prefix, a separator when the prefix does not end in one,
// and the name, with '\' written as '/'. False when it does not fit.
bool AssemblePath(const char* name, char* path) {
    const char* prefix = IBIS_DirectoryPrefix();
    const size_t prefixLength = std::strlen(prefix);
    const bool separator = prefixLength > 0 && !IsSeparator(prefix[prefixLength - 1]);
    const size_t nameLength = std::strlen(name);
    if (prefixLength + (separator ? 1 : 0) + nameLength > static_cast<size_t>(IBIS_PATH_MAX)) return false;
    char* end = path;
    std::memcpy(end, prefix, prefixLength);
    end += prefixLength;
    if (separator) *end++ = '/';
    std::memcpy(end, name, nameLength + 1);
    for (char* p = path; *p != '\0'; ++p)
        if (*p == '\\') *p = '/';
    return true;
}

// Reads the parameter file of one record as an .ami file and keeps its
// checked tree. The .ibs file's reading state and directory are put back
// afterwards, so the checks that follow see them unchanged.
void ReadParameterFile(ALGMOD* record) {
    char path[IBIS_PATH_MAX + 1];
    if (!AssemblePath(record->parameterFile, path)) return;
    PARSE_STATE state;
    PARSE_SaveState(&state);
    char prefix[IBIS_PATH_MAX + 1];
    std::strcpy(prefix, IBIS_DirectoryPrefix());

    if (PARSE_ReadFile(path, PARSE_KIND_AMI)) {
        tree_free(record->tree);
        record->tree = ALGMOD_ParseAmiText();
    } else if (char* text = PARSE_TakeAmiText()) {
        CMN_Free(text);
    }

    IBIS_SetDirectoryPrefix(prefix);
    PARSE_RestoreState(&state);
}

void CheckModelFiles(MDL* model) {
    ALGMOD* record = model->algmod->first;
    if (record == nullptr) {
        MSG_Error(4615, model->name);
        return;
    }
    for (; record != nullptr; record = record->next) {
        if (record->codeFile[0] != '\0' && !ALGMOD_FileExists(record->codeFile))
            MSG_Error(4616, record->codeFile, model->name);
        if (record->parameterFile[0] == '\0') continue;
        if (std::strchr(record->parameterFile, '.') == nullptr) {
            MSG_Error(4617, record->parameterFile, model->name);
            continue;
        }
        if (!ALGMOD_FileExists(record->parameterFile)) {
            MSG_Error(4618, record->parameterFile, model->name);
            continue;
        }
        ReadParameterFile(record);
    }
}

}  // namespace

int ALGMOD_FileExists(const char* name) {
    MSG_REQUIRE(name != nullptr, ALGMOD_MODULE);
    char path[IBIS_PATH_MAX + 1];
    if (!AssemblePath(name, path)) return 0;
    // Only a regular file can be a code or parameter file. A folder opens for
    // reading on some systems, and a device or pipe (/dev/./zero) would be
    // read without end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return 0;
    FILE* stream = CMN_OpenBinary(path, "r");
    if (stream == nullptr) return 0;
    std::fclose(stream);
    return 1;
}

void ALGMOD_CheckModelFiles(MDL* models) {
    for (MDL* model = models; model != nullptr; model = model->next)
        if (model->algmod != nullptr) CheckModelFiles(model);
}

ParameterTree* ALGMOD_ParseAmiText() {
    // A file without a single line of parameters is no parameter file; it
    // is parsed as the empty text it is, which does not begin with "(".
    char* text = PARSE_TakeAmiText();
    ParameterTree* tree = nullptr;
    const int result = tree_parse(text != nullptr ? text : "", &tree);
    if (text != nullptr) CMN_Free(text);
    switch (result) {
        case TREE_PARSE_OK: ALGMOD_CheckTree(tree); return tree;
        case TREE_PARSE_UNBALANCED: MSG_Error(4619); break;
        case TREE_PARSE_NO_OPENING: MSG_Error(4620); break;
        case TREE_PARSE_NO_NODES:
        case TREE_PARSE_TOO_SHALLOW: MSG_Error(4635); break;
        case TREE_PARSE_BAD_ELEMENT: MSG_Error(4634); break;
        default: MSG_Bug(4621); break;
    }
    return nullptr;
}

void ALGMOD_CheckAmiFile() { tree_free(ALGMOD_ParseAmiText()); }
