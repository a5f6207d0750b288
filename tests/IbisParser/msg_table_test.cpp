// The message table: order, lookup, well-formed formats, exact texts, and the
// separate texts of the shared codes.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IbisParser/msg.h"
#include "IbisParser/msg_table.h"
#include "msg_test_capture.h"

namespace {

TEST(MsgTable, SortedStrictlyAndFoundByBinarySearch) {
    ASSERT_GT(MSG_TableSize(), 900);
    EXPECT_EQ(MSG_TABLE[0].id, 0);
    EXPECT_STREQ(MSG_TABLE[0].format, "Error code doesn't exist.");
    for (int i = 1; i < MSG_TableSize(); ++i) ASSERT_LT(MSG_TABLE[i - 1].id, MSG_TABLE[i].id) << "index " << i;
    for (int i = 0; i < MSG_TableSize(); ++i) ASSERT_EQ(MSG_FindCode(MSG_TABLE[i].id), i);
    EXPECT_EQ(MSG_FindCode(-1), -1);
    EXPECT_EQ(MSG_FindCode(99), -1);
    EXPECT_EQ(MSG_FindCode(4912), -1);
    EXPECT_EQ(MSG_FindCode(99999), -1);
    EXPECT_STREQ(MSG_TextOf(99), "Error code doesn't exist.");
}

// Each '%' must start a conversion the issuing code can satisfy; a stray one
// would make vsnprintf read arguments that were never passed.
bool WellFormedFormat(const char* format) {
    for (const char* p = std::strchr(format, '%'); p != nullptr; p = std::strchr(p, '%')) {
        ++p;
        if (*p == '%') {
            ++p;
            continue;
        }
        p += std::strspn(p, "-+ #0");
        if (*p == '*')
            ++p;
        else
            p += std::strspn(p, "0123456789");
        if (*p == '.') {
            ++p;
            p += std::strspn(p, "0123456789");
        }
        if (*p == 'l' || *p == 'h' || *p == 'z') ++p;
        if (*p == '\0' || std::strchr("diouxXeEfgGcsp", *p) == nullptr) return false;
    }
    return true;
}

TEST(MsgTable, EveryFormatIsWellFormed) {
    for (int i = 0; i < MSG_TableSize(); ++i)
        EXPECT_TRUE(WellFormedFormat(MSG_TABLE[i].format)) << MSG_TABLE[i].id << ": " << MSG_TABLE[i].format;
}

TEST(MsgTable, TextsAreExact) {
    const MSG_Entry expected[] = {
        {101, "Unable to get IBIS structure"},
        {219, "Model %s not referenced in any [Pin], [Model Selector], [Driver Schedule] or [Series Pin Mapping] "
              "sections.\n No more warnings will be generated for un-referenced models"},
        {905, "Exceeds %d chararacters."},
        {909, "Previous keyword not terminated properly. Possibly missing a \"/\"\n"},
        {1001, "Orphan File Header keyword."},
        {1110, "%s %s data is non-monotonic"},
        {1503, "Model %s: The [%s Waveform] \n      with [R_fixture]=%g Ohms and [%s]=%gV\n      has %s column DC "
               "endpoints of %5.2fV and %5.2fv, but\n      an equivalent load applied to the model's I-V tables "
               "yields\n      different voltages (%5.2fV and %5.2fV),\n      a difference of %5.2f%% and %5.2f%%, "
               "respectively."},
        {1716, "Model '%s': C_comp %s value %gpF out of expected range (%gpF, %gpF)  "},
        {1909, "Invalid %s Value (\"%s\")"},
        {2216, "%s Already Defined For Test Load '%s'"},
        {2324, "%s Already Defined For Test Data '%s'"},
        {2501, "Unable to add Series_Switch_Groups."},
        {3012, " L and C must be specified when Len != 0"},
        {3207, "Model %s Receiver Thresholds: Vcross_high must be specified for differential receivers (Pin %s)"},
        {3700, "Unable to allocate MTX."},
        {3903, "Typ value is not in between Min and Max "},
        {4013, "Invalid Model SelectorName (\"%s\"); Reserved Word."},
        {4617, "AMI Parameter file %s should have '.ami' extension. It was defined in [Algorithmic Model] for Model %s"},
        {4906, "Duplicate Pin '%s'"},
    };
    for (const MSG_Entry& e : expected) EXPECT_STREQ(MSG_TextOf(e.id), e.format) << e.id;
}

TEST(MsgTable, SharedCodesPrintTheirOwnTexts) {
    MessageCapture capture;
    MSG_SetCurrentLine(5);
    MSG_BugLine(MSG_RNG_UNABLE_TO_PARSE, "Temperature Range", "rng.cpp", 40);
    MSG_ErrorLine(MSG_RNG_NO_VALUE, "minimum", "C_comp");
    MSG_Error(MSG_IBIS_UNABLE_TO_CREATE);
    MSG_Error(MSG_IBIS_NO_COMPONENT);
    EXPECT_EQ(capture.Take(),
              "PROGRAM BUG (line    5) - Unable to Parse Temperature Range: rng.cpp 40\n"
              "ERROR (line    5) - No minimum Value Was Provided for C_comp\n"
              "ERROR - Unable to create IBIS.\n"
              "ERROR - Required keyword 'Component' not found.\n");

    MSG_SetCodedStyle(1);
    MSG_ErrorLine(4300, "board.cpp", 12);
    MSG_ErrorLine(MSG_EBD_NODE_PIN_TOO_LONG);
    MSG_ErrorLine(MSG_EBD_MAP_COMPONENT_TOO_LONG, "C1");
    MSG_Error(MSG_EBD_REF_COMPONENT_NOT_FOUND, "C1", "part.ibs");
    MSG_Error(MSG_IBIS_NO_COMPONENT);
    EXPECT_EQ(capture.Take(),
              "E4300 (line    5) - board.cpp:12:EBDMDL_Init unable to get IBIS?\n"
              "E4300 (line    5) - Node Pin name string too long. will be truncated.\n"
              "E4300 (line    5) - Component name 'C1' too long. Will be truncated\n"
              "E4300 - Component 'C1' not found in file 'part.ibs'\n"
              "E3901 - Required keyword 'Component' not found.\n");
}

TEST(MsgTable, EveryNamedVariantHasAnEntry) {
    const int named[] = {
        MSG_RNG_UNABLE_TO_PARSE,        MSG_RNG_NO_VALUE,
        MSG_IBIS_UNABLE_TO_CREATE,      MSG_IBIS_NO_COMPONENT,
        MSG_EBD_NODE_PIN_TOO_LONG,      MSG_EBD_NODE_HAS_EQUALS,
        MSG_EBD_NODE_HAS_SLASH,         MSG_EBD_NODE_SUSPICIOUS,
        MSG_EBD_FILE_NO_EXTENSION,      MSG_EBD_FILE_BAD_EXTENSION,
        MSG_EBD_FILE_UPPER_CASE,        MSG_EBD_FILE_DOS_CHAR,
        MSG_EBD_FILE_EXTRA_PERIOD,      MSG_EBD_MAP_COMPONENT_TOO_LONG,
        MSG_EBD_MAP_PINREF_ALLOC,       MSG_EBD_MAP_FILEREF_ALLOC,
        MSG_EBD_MAP_NO_COMPONENT,       MSG_EBD_MAP_ALLOC,
        MSG_EBD_MAP_REFDES_TOO_LONG,    MSG_EBD_MAP_DUPLICATE_REFDES,
        MSG_EBD_MAP_NO_REFDES,          MSG_EBD_MAP_FILE_TOO_LONG,
        MSG_EBD_MAP_NO_FILE,            MSG_EBD_REF_COMPONENT_NOT_FOUND,
        MSG_EBD_REF_SELF,               MSG_EBD_REF_PIN_TOO_LONG,
        MSG_EBD_REF_RECURSIVE,          MSG_EBD_REF_PIN_NOT_FOUND,
    };
    for (int id : named) EXPECT_GE(MSG_FindCode(id), 0) << id;
    EXPECT_STREQ(MSG_TextOf(MSG_EBD_FILE_UPPER_CASE), "File_name '%s' contains an upper case character '%c'.");
    EXPECT_STREQ(MSG_TextOf(4306), "Board Description '%s' is duplicated within the .ebd file.");
    EXPECT_STREQ(MSG_TextOf(MSG_EBD_MAP_DUPLICATE_REFDES), "Duplicate Reference Designator '%s'");
}

}  // namespace
