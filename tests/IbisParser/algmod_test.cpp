// [Algorithmic Model]: the records Executable lines leave, and the files
// they name, found next to the .ibs file in whatever folder it is read from.

#include "IbisParser/algmod.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/parse.h"
#include "amiparam/parameter_tree.h"
#include "checker_test_support.h"

namespace {

constexpr const char* kCleanAmi =
    "(m (Reserved_Parameters\n"
    "  (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default True) (Description x))\n"
    "  (GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description x))))\n";

// An .ibs file (no component, so that only the model sections speak) whose
// single model holds `section` after its sub-parameters.
std::string IbsWith(const std::string& section) {
    return "[IBIS Ver] 5.0\n[File Name] t.ibs\n[File Rev] 1\n[Model] m\nModel_type Input\n"
           "Vinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3 3.6\n" +
           section + "[End]\n";
}

// Reads the .ibs file at `path` and returns its newest model.
MDL* ReadModel(CheckerSession& session, const std::string& path) {
    EXPECT_EQ(session.Read(path, PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? IBIS_GetModels(ibis) : nullptr;
}

TEST(AlgmodRecords, ExecutableLinesBecomeRecordsNewestFirst) {
    CheckerSession session;
    MDL* model = ReadModel(session, session.Write("t.ibs", IbsWith("[Algorithmic Model]\n"
                                                                   "Executable Windows_VisualStudio_32 model.dll model.ami\n"
                                                                   "Executable Linux_gcc_64 m.so\n"
                                                                   "[End Algorithmic Model]\n")));
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->algmod, nullptr);
    const ALGMOD* newest = model->algmod->first;
    ASSERT_NE(newest, nullptr);
    EXPECT_STREQ(newest->platform, "Linux");
    EXPECT_STREQ(newest->compiler, "gcc");
    EXPECT_EQ(newest->bits, 64);
    EXPECT_STREQ(newest->codeFile, "m.so");
    EXPECT_STREQ(newest->parameterFile, "");
    const ALGMOD* oldest = newest->next;
    ASSERT_NE(oldest, nullptr);
    EXPECT_STREQ(oldest->platform, "Windows");
    EXPECT_STREQ(oldest->compiler, "VisualStudio");
    EXPECT_EQ(oldest->bits, 32);
    EXPECT_STREQ(oldest->codeFile, "model.dll");
    EXPECT_STREQ(oldest->parameterFile, "model.ami");
    EXPECT_EQ(oldest->next, nullptr);
    // The short second line is reported and still kept.
    EXPECT_EQ(session.Take(), "E4605 (line   12) -\n    Incorrect Number of Line Items (3) For Algorithmic Model: Expecting 4\n");
}

TEST(AlgmodRecords, BitsThatAreNoNumberStayUnread) {
    CheckerSession session;
    MDL* model = ReadModel(session, session.Write("t.ibs", IbsWith("[Algorithmic Model]\n"
                                                                   "Executable Linux_gcc_-64 m.so m.ami\n"
                                                                   "Executable Linux_gcc_99999999999 m.so m.ami\n"
                                                                   "[End Algorithmic Model]\n")));
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->algmod->first, nullptr);
    // A huge number is not taken for 32 or 64 after a narrowing.
    EXPECT_NE(model->algmod->first->bits, 32);
    EXPECT_NE(model->algmod->first->bits, 64);
    EXPECT_EQ(model->algmod->first->next->bits, -1);
    const std::string report = session.Take();
    EXPECT_NE(report.find("E4613 - Could not parse the Bits in Linux_gcc_-64"), std::string::npos) << report;
    EXPECT_NE(report.find("E4606 - The Number of Bits should be 32 or 64 for Platform Linux and Compiler gcc for "
                          "Algorithmic Model defined on line 10"),
              std::string::npos)
        << report;
}

TEST(AlgmodRecords, SecondSectionReplacesTheFirst) {
    CheckerSession session;
    MDL* model = ReadModel(session, session.Write("t.ibs", IbsWith("[Algorithmic Model]\n"
                                                                   "Executable Linux_gcc_64 a.so a.ami\n"
                                                                   "[End Algorithmic Model]\n"
                                                                   "[Algorithmic Model]\n"
                                                                   "[End Algorithmic Model]\n")));
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->algmod, nullptr);
    EXPECT_EQ(model->algmod->first, nullptr);
    EXPECT_EQ(session.Take(), "E4601 (line   13) - Algorithmic Model: Already Defined for this model\n");
    ALGMOD_CheckModelFiles(model);
    EXPECT_EQ(session.Take(), "E4615 - Empty [Algorithmic Model] defined for Model m\n");
}

TEST(AlgmodFiles, FoundInTheFolderOfTheIbsFileWithEitherSeparator) {
    CheckerSession session;
    session.Write("pkg/lib/m.so", "code");
    session.Write("pkg/params/m.ami", kCleanAmi);
    const std::string ibs = session.Write("pkg/t.ibs", IbsWith("[Algorithmic Model]\n"
                                                              "Executable Linux_gcc_64 lib/m.so params\\m.ami\n"
                                                              "Executable Windows_VisualStudio_64 lib\\m.so params/m.ami\n"
                                                              "[End Algorithmic Model]\n"));
    MDL* model = ReadModel(session, ibs);
    ASSERT_NE(model, nullptr);
    const std::string prefix = IBIS_DirectoryPrefix();
    EXPECT_EQ(prefix, session.Folder() + "pkg/");
    EXPECT_EQ(ALGMOD_FileExists("lib\\m.so"), 1);
    EXPECT_EQ(ALGMOD_FileExists("lib"), 0);  // a folder is no file
    EXPECT_EQ(ALGMOD_FileExists("m.so"), 0);

    ALGMOD_CheckModelFiles(model);
    EXPECT_EQ(session.Take(), "");
    for (const ALGMOD* record = model->algmod->first; record != nullptr; record = record->next) {
        ASSERT_NE(record->tree, nullptr) << record->platform;
        EXPECT_GT(record->tree->entry_count, 0);
    }
    // The .ibs file's directory and reading state are as they were.
    EXPECT_EQ(std::string(IBIS_DirectoryPrefix()), prefix);
    EXPECT_STREQ(PARSE_FileName(), "t.ibs");
    EXPECT_EQ(PARSE_FileKind(), PARSE_KIND_IBS);
}

TEST(AlgmodFiles, MissingFilesAreReportedAndNotRead) {
    CheckerSession session;
    session.Write("m.so", "code");
    session.Write("params", "(not read");
    MDL* model = ReadModel(session, session.Write("t.ibs", IbsWith("[Algorithmic Model]\n"
                                                                   "Executable Linux_gcc_64 m.so missing.ami\n"
                                                                   "Executable Linux_gcc_32 gone.so params\n"
                                                                   "[End Algorithmic Model]\n")));
    ASSERT_NE(model, nullptr);
    ALGMOD_CheckModelFiles(model);
    EXPECT_EQ(session.Take(),
              "E4616 - Code file gone.so not found. It was defined in [Algorithmic Model] for Model m\n"
              "E4617 - AMI Parameter file params should have '.ami' extension. It was defined in [Algorithmic Model] "
              "for Model m\n"
              "E4618 - AMI parameter file missing.ami not found. It was defined in [Algorithmic Model] for Model m\n");
    for (const ALGMOD* record = model->algmod->first; record != nullptr; record = record->next)
        EXPECT_EQ(record->tree, nullptr);
}

TEST(AlgmodFiles, ParameterFileFindingsAreCountedWithTheIbsFile) {
    CheckerSession session;
    session.Write("bad.ami", "(m (Model_Specific (a (Format Range 1 2))))\n");
    MDL* model = ReadModel(session, session.Write("t.ibs", IbsWith("[Algorithmic Model]\n"
                                                                   "Executable Linux_gcc_64 bad.ami bad.ami\n"
                                                                   "[End Algorithmic Model]\n")));
    ASSERT_NE(model, nullptr);
    ALGMOD_CheckModelFiles(model);
    EXPECT_EQ(session.Take(),
              "E4632 - Range: Illegal Format for a. Expected 3 number(s)\n"
              "E4622 - No Reserved_Parameters found\n");
    EXPECT_EQ(CheckerSession::Errors(), 2);
}

TEST(AlgmodAmiFile, EachParseResultHasItsMessage) {
    struct Case {
        const char* text;
        const char* report;
    };
    const Case cases[] = {
        {"(r (a 1)", "E4619 - The AMI parameter file has mismatched parenthesis\n"},
        {"r (a 1)", "E4620 - The AMI parameter file should start with a parenthesis\n"},
        {"(a 1)", "E4635 - Too few nodes in branches or leaves\n"},
        {"(r (x) (a 1))", "E4635 - Too few nodes in branches or leaves\n"},
        {"(r (x ) (a 1))", "E4634 -\n    Invalid syntax of branch or leaf. At least 2 elements expected in a list\n"},
        {"(r (a 1)) (b 2)", "B4621 - Internal error while parsing AMI Parameter file\n"},
        {"(r x (a 1))", "E4635 - Too few nodes in branches or leaves\n"},
        {"| comments only\n", "E4620 - The AMI parameter file should start with a parenthesis\n"},
    };
    for (const Case& c : cases) {
        CheckerSession session;
        IBIS_New();
        ASSERT_EQ(PARSE_ReadFile(session.Write("p.ami", c.text).c_str(), PARSE_KIND_AMI), 1);
        ALGMOD_CheckAmiFile();
        EXPECT_EQ(session.Take(), c.report) << c.text;
    }
}

}  // namespace
