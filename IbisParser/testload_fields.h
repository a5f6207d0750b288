#pragma once
// The line forms [Test Load] and [Test Data] share: the name on the keyword
// line, a type word (Single_ended or Differential) and a model name. The
// two sections report the same findings under codes of their own.

#include <cstddef>

#include "IbisParser/testload.h"

// Messages of the keyword line.
struct TESTLOAD_NAMECODES {
    const char* eatWord;      // "TestLoad" / "TestData"
    const char* keywordWord;  // "Test Load" / "Test Data"
    int eat;                  // "Unable to eat keyword <%s>: %s %d"
    int missing;              // "'Test Load' Keyword Missing name"
    int items;                // "Incorrect Number of Line Items (%d) For Keyword %s: Expecting %d"
    int tooLong;              // "Test Load Name Over %d Characters Long"
    int reserved;             // "Invalid Test Load Name ("%s"); Reserved Word."
};

// Messages of the sub-parameter lines.
struct TESTLOAD_SUBCODES {
    int already;   // "%s Already Defined For Test Load '%s'"
    int missing;   // "'%s' Subparameter Missing Setting"
    int badLine;   // "Invalid %s Line"
    int items;     // "Incorrect Number of Line Items (%d) For %s: Expecting %d"
    int tryCase;   // "Invalid %s ("%s") (try "%s")"
    int invalid;   // "Invalid %s ("%s")"
    int tooLong;   // "%s Name Over %d Characters Long"
    int reserved;  // "Invalid %s ("%s"); Reserved Word."
};

// What the keyword line held.
enum TESTLOAD_NameResult : int {
    TESTLOAD_NAME_NONE,   // no name: nothing stored
    TESTLOAD_NAME_CUT,    // an over-long name, reported and cut
    TESTLOAD_NAME_READ,   // a name; the reserved-word check has run
};

// Reads the name after the ']' of `line` into `name` (room for
// TESTLOAD_NAME_MAX + 1 bytes). The caller checks for earlier names.
int TESTLOAD_ReadName(const char* line, const TESTLOAD_NAMECODES& codes, char* name);

// The model name limit of the file's version level.
size_t TESTLOAD_ModelNameLimit();

// "Test_load_type Single_ended": sets *field (to 1 first, and to the code of
// the word when it is spelled right). `owner` names the record in 2216.
void TESTLOAD_ReadType(const char* line, const char* subName, const char* owner, int* field,
                       const TESTLOAD_SUBCODES& codes);

// "Receiver_model name": stores the name in `slot` (room for limit + 1
// bytes; empty means not given) when the line has exactly two words.
void TESTLOAD_ReadModelName(const char* line, const char* subName, const char* owner, char* slot, size_t limit,
                            const TESTLOAD_SUBCODES& codes);

// The first word of a sub-parameter line (split at blanks, tabs and '='):
// its index among `names`, or -1.
int TESTLOAD_SubParameterIndex(const char* line, const char* const* names, int count, const char** rest);
