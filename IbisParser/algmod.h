#pragma once
// [Algorithmic Model] of a model, and the check of .ami parameter files.
//
// The model routes the keyword line and the Executable lines of its
// [Algorithmic Model] here; each Executable line names a platform, compiler
// and bits, a code file and a parameter file. At the end of an .ibs file the
// named files are looked for next to the .ibs file, and each parameter file is
// read, parsed with the parameter tree reader and checked against the rules
// of the IBIS-AMI parameter language: a Reserved_Parameters branch with its
// required parameters, a Model_Specific branch, and for every parameter its
// Usage, Type, Format, Default and Description. An .ami file checked on its
// own gets the same tree check.

struct MDL;
struct ParameterTree;

// Longest platform, compiler and file name of an Executable line.
constexpr int ALGMOD_NAME_MAX = 44;

// One Executable line.
struct ALGMOD {
    ALGMOD* next;
    char platform[ALGMOD_NAME_MAX + 1];
    char compiler[ALGMOD_NAME_MAX + 1];
    int bits;  // -1 until read
    char codeFile[ALGMOD_NAME_MAX + 1];
    char parameterFile[ALGMOD_NAME_MAX + 1];
    // The parameter file once read and parsed (owned), or null.
    ParameterTree* tree;
};

// The [Algorithmic Model] of one model: its Executable lines, newest first.
// A model that has the keyword has a list, which may be empty.
struct ALGMOD_LIST {
    ALGMOD* first;
};

// --- The model's side ------------------------------------------------------------
// The [Algorithmic Model] keyword line of the model being read (4601, 4602,
// 4605); 1 when a list was made.
int ALGMOD_Keyword(char* line);
// A data line of the section: one Executable line (4605, 4609 to 4614).
// Returns 1.
int ALGMOD_DataLine(char* line);
// The keyword `next` follows [Algorithmic Model] or one of its lines: the
// section is over and its list is checked.
void ALGMOD_KeywordChange(int next);
// Bits and duplicate Executable lines of one list (4606, 4607), naming the
// line of the last [Algorithmic Model].
void ALGMOD_CheckList(const ALGMOD_LIST* list);
// Releases a list, its records and their trees; null is accepted.
void ALGMOD_FreeList(ALGMOD_LIST* list);

// --- End of file ---------------------------------------------------------------------
// The files that every Executable line of every model names (4615 to 4618),
// each parameter file read and checked.
void ALGMOD_CheckModelFiles(MDL* models);
// Closing check of a file read as an .ami file.
void ALGMOD_CheckAmiFile();
// Parses the text the file reader gathered from the .ami file just read,
// reporting a text that does not parse (4619 to 4621, 4634, 4635); the
// checked tree (release with tree_free), or null.
ParameterTree* ALGMOD_ParseAmiText();
// 1 when `name`, taken relative to the directory of the file being checked,
// is a file that can be opened for reading.
int ALGMOD_FileExists(const char* name);
