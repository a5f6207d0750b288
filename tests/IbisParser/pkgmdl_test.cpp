// Package models: what the records keep, the lookups components use and the
// loading of .pkg files, where the golden files cannot look.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/mtx.h"
#include "IbisParser/parse.h"
#include "IbisParser/pkgmdl.h"
#include "IbisParser/row.h"
#include "checker_test_support.h"

namespace {

std::string Model(const std::string& name, const std::string& pins, const std::string& body) {
    return "[Define Package Model] " + name + "\n[Manufacturer] m\n[OEM] o\n[Description] d\n[Number Of Pins] " +
           pins + "\n" + body + "[End Package Model]\n";
}

const char* const kTwoPins =
    "[Pin Numbers]\nA1\nA2\n[Model Data]\n[Inductance Matrix] Full_matrix\n[Row] A1\n1n 2n\n[Row] A2\n3n\n"
    "[Capacitance Matrix] Sparse_matrix\n[Row] A1\nA1 1p\nA2 2p\n[Row] A2\nA2 3p\n[End Model Data]\n";

IBIS* Read(CheckerSession& session, const std::string& name, const std::string& body, int kind) {
    const std::string text = "[IBIS Ver] 4.2\n[File Name] " + name + "\n[File Rev] 1\n" + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write(name, text), kind), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? ibis : nullptr;
}

TEST(PkgmdlRecord, KeepsPinsAndMatrixValuesInFileOrder) {
    CheckerSession session;
    IBIS* ibis = Read(session, "t.pkg", Model("P", "2", kTwoPins), PARSE_KIND_PKG);
    ASSERT_NE(ibis, nullptr);
    EXPECT_EQ(session.Take(), "");
    PKGMDL* model = PKGMDL_Find(IBIS_GetPackageModels(ibis), "P");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(PKGMDL_Find(IBIS_GetPackageModels(ibis), "p"), nullptr);  // names are exact
    ASSERT_EQ(PKGMDL_PinNumberCount(model), 2u);
    EXPECT_STREQ(PKGMDL_PinNumber(model, 0), "A1");
    EXPECT_STREQ(PKGMDL_PinNumber(model, 1), "A2");
    EXPECT_EQ(PKGMDL_PinNumber(model, 2), nullptr);

    ASSERT_NE(model->inductance, nullptr);
    const ROW* first = model->inductance->rows;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->uiColumnCount, 2u);
    ASSERT_EQ(first->valueCount, 2u);
    EXPECT_DOUBLE_EQ(first->values[1].value, 2e-9);
    ASSERT_NE(model->capacitance, nullptr);
    EXPECT_EQ(model->capacitance->eMatrixType, MTX_TYPE_SPARSE);
    const ROW* sparse = model->capacitance->rows;
    ASSERT_EQ(sparse->valueCount, 2u);
    EXPECT_EQ(sparse->values[1].column, 1u);  // the column of pin A2
    EXPECT_TRUE(sparse->selfCoupled);
    EXPECT_EQ(model->resistance, nullptr);
}

TEST(PkgmdlRecord, HugePinCountsCostNoMemoryUntilNamesArrive) {
    CheckerSession session;
    // Every row of a full matrix expects N - n values; with four billion pins
    // nothing may be sized by the count alone.
    IBIS* ibis = Read(session, "t.pkg",
                      Model("P", "4294967295",
                            "[Pin Numbers]\n1\n[Model Data]\n[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n"
                            "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p\n[End Model Data]\n"),
                      PARSE_KIND_PKG);
    ASSERT_NE(ibis, nullptr);
    const std::string report = session.Take();
    EXPECT_NE(report.find("E3454 - Number of Pins <4294967295> not the same as count of Pin Numbers names found <1>"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Expected 4294967295 Rows, found 1"), std::string::npos) << report;
    EXPECT_NE(report.find("Expected 4294967295 columns of Row data for [Row] 1 in Matrix ending previous to this "
                          "line, found 1 column.\n"),
              std::string::npos)
        << report;
}

TEST(PkgmdlRecord, CountsBeyondThirtyTwoBitsAreBad) {
    CheckerSession session;
    Read(session, "t.pkg", Model("P", "4294967296", "[Pin Numbers]\n"), PARSE_KIND_PKG);
    const std::string report = session.Take();
    EXPECT_NE(report.find("E3423 (line    8) - Bad Number_of_Pins value.\n"), std::string::npos) << report;
    EXPECT_NE(report.find("E3431 - Number_of_Pins keyword not found or value bad for Package Model 'P'."),
              std::string::npos);
}

TEST(PkgmdlRecord, DeeplyNestedForksAreReadAndReleased) {
    CheckerSession session;
    std::string pins = "[Number Of Sections] 1\n[Pin Numbers]\n1 Len=0 L=1n /\n";
    for (int i = 0; i < 20000; ++i) pins += "Fork\nLen=0 L=1n /\n";
    IBIS* ibis = Read(session, "t.pkg", Model("P", "1", pins), PARSE_KIND_PKG);
    ASSERT_NE(ibis, nullptr);
    const std::string report = session.Take();
    EXPECT_NE(report.find("E3450 - Some Fork sub parameters were not terminated with Endfork"), std::string::npos);
    EXPECT_NE(report.find("E3451 - Pin '1' has 20001 sections."), std::string::npos);
    // The record is released by the session without running out of stack.
}

class PkgmdlLoading : public testing::Test {
protected:
    // A component naming `wanted`, in the session's folder.
    IBIS* ReadComponent(const std::string& wanted) {
        const std::string body = "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\n"
                                 "C_pkg 1p 0.5p 1.5p\n[Pin] signal_name model_name\nA1 s GND\nA2 s GND\n"
                                 "[Package Model] " + wanted + "\n";
        IBIS* ibis = Read(session_, "t.ibs", body, PARSE_KIND_IBS);
        session_.Take();
        return ibis;
    }
    CheckerSession session_;
};

TEST_F(PkgmdlLoading, ReadsOnlyMatchingPlainPackageFilesOnceAndKeepsTheReadingState) {
    session_.Write("a.pkg", "[IBIS Ver] 2.1\n[File Name] a.pkg\n[File Rev] 1\n" + Model("P", "2", kTwoPins) + "[End]\n");
    session_.Write("b.pkg", "[IBIS Ver] 4.2\n[File Name] b.pkg\n[File Rev] 1\n" + Model("Q", "2", kTwoPins) + "[End]\n");
    // A directory with the extension is no package file.
    std::filesystem::create_directories(session_.Folder() + "P.pkg");
    IBIS* ibis = ReadComponent("P");
    ASSERT_NE(ibis, nullptr);
    const unsigned long line = MSG_GetCurrentLine();
    char fileName[PARSE_NAME_MAX + 1];
    PARSE_GetFileName(fileName);

    const PKGMDL* found = PKGMDL_FindOrLoad("P");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, PKGMDL_Find(IBIS_GetPackageModels(ibis), "P"));
    EXPECT_EQ(PKGMDL_Find(IBIS_GetPackageModels(ibis), "Q"), nullptr);  // b.pkg was not read
    // The 2.1 package file does not change the level of the file being checked.
    EXPECT_EQ(HDR_GetVersionLevel(), 4);
    EXPECT_EQ(MSG_GetCurrentLine(), line);
    char after[PARSE_NAME_MAX + 1];
    PARSE_GetFileName(after);
    EXPECT_STREQ(after, fileName);
    EXPECT_EQ(CheckerSession::Errors(), 0) << session_.Take();

    // A name only some defined name begins with reads no file twice.
    EXPECT_EQ(PKGMDL_LoadFromFiles("P"), 1);
    EXPECT_EQ(PKGMDL_FindOrLoad("Z"), nullptr);
    int models = 0;
    for (const PKGMDL* model = IBIS_GetPackageModels(ibis); model != nullptr; model = model->next) ++models;
    EXPECT_EQ(models, 1);
    EXPECT_EQ(session_.Take(), "");
}

TEST_F(PkgmdlLoading, AnySpellingOfTheKeywordAndAnyNameBeginningWithTheWantedOneMatches) {
    session_.Write("c.pkg", "[IBIS Ver] 4.2\n[File Name] c.pkg\n[File Rev] 1\n[define_package model]   LONGER\n"
                            "[End Package Model]\n[End]\n");
    session_.Write("d.pkg", "[IBIS Ver] 4.2\n[File Name] d.pkg\n[File Rev] 1\n [Define Package Model] LONG\n[End]\n");
    IBIS* ibis = ReadComponent("LONG");
    ASSERT_NE(ibis, nullptr);
    EXPECT_EQ(PKGMDL_LoadFromFiles("LONG"), 1);
    EXPECT_NE(PKGMDL_Find(IBIS_GetPackageModels(ibis), "LONGER"), nullptr);
    // A keyword that does not start its line defines nothing for the search.
    EXPECT_EQ(PKGMDL_Find(IBIS_GetPackageModels(ibis), "LONG"), nullptr);
    EXPECT_EQ(PKGMDL_LoadFromFiles("LONGEST"), 0);
}

TEST_F(PkgmdlLoading, NothingToFindWithoutARecord) {
    IBIS* record = nullptr;
    while (IBIS_Current(&record)) IBIS_Free(record);
    EXPECT_EQ(PKGMDL_FindOrLoad("P"), nullptr);
}

}  // namespace
