// The rules of the parameter language applied to parsed .ami texts: what a
// clean file must not draw, and the one finding each fault must draw.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/algmod_internal.h"
#include "checker_test_support.h"

namespace {

// The findings `text` draws from the tree check.
std::string Check(CheckerSession& session, const std::string& text) {
    ParameterTree* tree = nullptr;
    EXPECT_EQ(tree_parse(text.c_str(), &tree), TREE_PARSE_OK) << text;
    ALGMOD_CheckTree(tree);
    tree_free(tree);
    return session.Take();
}

const std::string kInit = "(Init_Returns_Impulse (Usage Info) (Type Boolean) (Default True) (Description x))";
const std::string kGetWave = "(GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description x))";

// A file with the two required parameters, `reserved` after them, and
// `specific` as its Model_Specific branch's children.
std::string File(const std::string& reserved, const std::string& specific = "") {
    std::string text = "(m (Reserved_Parameters " + kInit + " " + kGetWave + " " + reserved + ")";
    if (!specific.empty()) text += " (Model_Specific " + specific + ")";
    return text + ")";
}

TEST(AlgmodTree, TheMinimalFileIsClean) {
    CheckerSession session;
    EXPECT_EQ(Check(session, File("")), "");
}

TEST(AlgmodTree, RequiredReservedParameters) {
    CheckerSession session;
    EXPECT_EQ(Check(session, "(m (Reserved_Parameters " + kGetWave + "))"),
              "E4625 - Init_Returns_Impulse parameter is mandatory\n");
    EXPECT_EQ(Check(session, "(m (Reserved_Parameters " + kInit + "))"),
              "E4625 - GetWave_Exists parameter is mandatory\n");
    EXPECT_EQ(Check(session, "(m (Model_Specific (a (Usage In))))"), "E4622 - No Reserved_Parameters found\n");
    // A parameter's leaves compare exactly: the name in another case is no
    // reserved parameter.
    EXPECT_EQ(Check(session, "(m (Reserved_Parameters " + kInit + " (getwave_exists (Usage Info))))"),
              "E4624 -\n    Unknown parameter getwave_exists found as a child of Reserved_Parameters\n"
              "E4625 - GetWave_Exists parameter is mandatory\n");
}

TEST(AlgmodTree, OneFindingForEachFaultOfAReservedParameter) {
    CheckerSession session;
    EXPECT_EQ(Check(session, "(m (Reserved_Parameters " + kInit +
                                 " (GetWave_Exists (Usage In) (Type Boolean) (Default True) (Description x))))"),
              "E4627 - Illegal Usage value In specified for GetWave_Exists\n");
    EXPECT_EQ(Check(session, "(m (Reserved_Parameters " + kInit +
                                 " (GetWave_Exists (Usage Info) (Type Boolean) (Description x))))"),
              "E4630 - Parameter Default is mandatory for GetWave_Exists\n");
    EXPECT_EQ(Check(session, File("(Ignore_Bits (Usage Out) (Type Integer) (Default 3) (Description x))")), "");
    EXPECT_EQ(Check(session, File("(Ignore_Bits (Usage InOut) (Type Integer) (Default 3) (Description x))")),
              "E4627 - Illegal Usage value InOut specified for Ignore_Bits\n");
    EXPECT_EQ(Check(session, File("(Max_Init_Aggressors (Usage Info) (Type Integer) (Default True) (Description x))")),
              "E4627 - Illegal Default value True specified for Max_Init_Aggressors\n");
    EXPECT_EQ(Check(session, File("(Use_Init_Output (Usage Info) (Type Boolean) (Default False) (Format Value 1) "
                                  "(Description x))")),
              "E4629 - Unexpected parameter Format specified for Use_Init_Output\n");
}

TEST(AlgmodTree, MissingLeavesAreReportedInOneOrder) {
    CheckerSession session;
    EXPECT_EQ(Check(session, File("(Tx_Jitter (Usage Info) (Type UI) (Format Dual-Dirac 0 0.1 0.01) (Description x))")),
              "");
    // Everything missing, in the order the checks run.
    EXPECT_EQ(Check(session, File("(Rx_Clock_PDF (Labels x))")),
              "E4624 - Unknown parameter Labels found as a child of Rx_Clock_PDF\n"
              "E4630 - Parameter Usage is mandatory for Rx_Clock_PDF\n"
              "E4630 - Parameter Type is mandatory for Rx_Clock_PDF\n"
              "E4630 - Parameter Format is mandatory for Rx_Clock_PDF\n"
              "E4630 - Parameter Description is mandatory for Rx_Clock_PDF\n");
}

TEST(AlgmodTree, LeavesAreCheckedUnderTheBranchThatHoldsThem) {
    CheckerSession session;
    EXPECT_EQ(Check(session, File("", "(outer (inner (a (Usage Sometimes)) (b (Type Real))) (c (Usage \"\"))) ")),
              "E4627 - Illegal Usage value Sometimes specified for a\n"
              "E4627 - Illegal Type value Real specified for b\n"
              "E4627 - Illegal Usage value  specified for c\n");
    EXPECT_EQ(Check(session, "(m (Usage Info) (Type Bool) (Reserved_Parameters " + kInit + " " + kGetWave +
                                 ") (Other (a 1)))"),
              "E4627 - Illegal Type value Bool specified for m\n"
              "E4623 - Unknown branch Other found\n");
}

TEST(AlgmodTree, ADefaultOutsideItsRangeOrListDrawsNothing) {
    // The value set a Format describes does not bind the Default: only the
    // Default's type is judged, and only for the reserved parameters.
    CheckerSession session;
    EXPECT_EQ(Check(session, File("", "(a (Default 3) (Format Range 1 2 0)) (b (Format List x y) (Default z)) "
                                      "(c (Format Corner 1 0 2) (Default -7))")),
              "");
    EXPECT_EQ(Check(session, File("(Tx_DCD (Usage Info) (Type Float) (Format Range 0.1 0 0.2) (Default 5) "
                                  "(Description x))")),
              "");
    // The type of a reserved parameter's Default is still checked.
    EXPECT_EQ(Check(session, File("(Tx_DCD (Usage Info) (Type Float) (Format Range 0.1 0 0.2) (Default x) "
                                  "(Description x))")),
              "E4627 - Illegal Default value x specified for Tx_DCD\n");
}

}  // namespace
