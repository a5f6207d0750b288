// Reading whole files in process: what the sections receive, what survives
// hostile input, and the .ami gathering.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "checker_test_support.h"

namespace {

std::string Header(const std::string& name, const std::string& version = "4.2") {
    return "[IBIS Ver] " + version + "\n[File Name] " + name + "\n[File Rev] 1\n";
}

// A component that its own checks accept (supply pins need no model).
const std::string kComponent =
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p NA 1.5p\n"
    "[Pin] signal_name model_name\n1 VDD POWER\n2 VSS GND\n";
const std::string kTail = kComponent + "[End]\n";

TEST(ReadFile, NotesKeepEveryLineOfTheirText) {
    CheckerSession session;
    const std::string path =
        session.Write("notes.ibs", Header("notes.ibs") + "[Notes] first\n  [second] line\nthird | cut\n" + kTail);
    EXPECT_EQ(session.Read(path, PARSE_KIND_IBS), 1);
    EXPECT_EQ(session.Take(), "");
    IBIS* ibis = nullptr;
    ASSERT_TRUE(IBIS_Current(&ibis));
    const HDR* header = IBIS_GetHeaders(ibis);
    ASSERT_NE(header, nullptr);
    EXPECT_STREQ(HDR_GetNotes(header), "first\n  [second] line\nthird");
    EXPECT_STREQ(HDR_GetVersion(header), "4.2");
    EXPECT_STREQ(HDR_GetFileRev(header), "1");
    EXPECT_EQ(HDR_GetVersionLevel(), 4);
}

TEST(ReadFile, VersionLevelCarriesOverUntilTheNextAcceptedVersion) {
    CheckerSession session;
    EXPECT_EQ(session.Read(session.Write("a.ibs", Header("a.ibs", "3.2") + kTail), PARSE_KIND_IBS), 1);
    EXPECT_EQ(HDR_GetVersionLevel(), 3);
    // 3.3 is refused and leaves the level of the file before.
    EXPECT_EQ(session.Read(session.Write("b.ibs", Header("b.ibs", "3.3") + kTail), PARSE_KIND_IBS), 1);
    EXPECT_EQ(HDR_GetVersionLevel(), 3);
    EXPECT_EQ(session.Take(), "E1008 (line    1) - Illegal IBIS_Version '3.3'.\n");
}

TEST(ReadFile, OverlongAndBlankHeavyLinesAreReportedNotFatal) {
    CheckerSession session;
    const std::string blanks(300, ' ');
    const std::string path = session.Write(
        "wide.ibs", Header("wide.ibs") + "[Notes]" + blanks + "text after many blanks\n[Component] c\n" + blanks +
                        "[Manufacturer] m\n[Package] |" + std::string(2000, 'm') +
                        "\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p NA 1.5p\n[Pin] signal_name model_name\n"
                        "1 VDD POWER\n[End]" + blanks + "\n");
    EXPECT_EQ(session.Read(path, PARSE_KIND_IBS), 1);
    EXPECT_EQ(session.Take(),
              "E0905 (line    4) - Exceeds 120 chararacters.\n"
              "E0905 (line    6) - Exceeds 120 chararacters.\n"
              "E0906 (line    6) - Keywords Must Begin In Column 1.\n"
              "E0905 (line    7) - Exceeds 120 chararacters.\n"
              "E0905 (line   13) - Exceeds 120 chararacters.\n");
}

TEST(ReadFile, UnlimitedScanLiftsTheLineLimit) {
    CheckerSession session;
    PARSE_SetUnlimitedScan(1);
    const std::string path = session.Write("long.ibs", Header("long.ibs", "3.2") + "|" + std::string(200, '-') + "\n" + kTail);
    EXPECT_EQ(session.Read(path, PARSE_KIND_IBS), 1);
    PARSE_SetUnlimitedScan(0);
    EXPECT_EQ(session.Take(), "");
}

TEST(ReadFile, OverlongNamesAreRefusedForEveryKind) {
    CheckerSession session;
    const std::string name(1100, 'n');
    for (const char* extension : {".pkg", ".ami", ".ibs", ".ebd"}) {
        const std::string path = session.Folder() + name + extension;
        const int kind = std::string(extension) == ".pkg"   ? PARSE_KIND_PKG
                         : std::string(extension) == ".ami" ? PARSE_KIND_AMI
                         : std::string(extension) == ".ebd" ? PARSE_KIND_EBD
                                                            : PARSE_KIND_IBS;
        EXPECT_EQ(session.Read(path, kind), 0) << extension;
        const std::string report = session.Take();
        EXPECT_EQ(report.rfind("E1904 - Unable to assemble filename.\n", 0), 0u) << extension << report;
    }
}

TEST(ReadFile, SyntheticEndClosesTheFileOnce) {
    CheckerSession session;
    EXPECT_EQ(session.Read(session.Write("noend.ibs", Header("noend.ibs") + kComponent), PARSE_KIND_IBS), 1);
    EXPECT_EQ(session.Take(), "E0903 - Required keyword 'End' not found.\n");
    EXPECT_EQ(PARSE_CurrentKeyword(), KW::END);
}

TEST(ReadAmiFile, LinesAreJoinedWithoutSeparator) {
    CheckerSession session;
    const std::string path =
        session.Write("p.ami", "| heading\n(Usage In)   | trailing\n   (Type Float)\n\n  more text\n");
    EXPECT_EQ(session.Read(path, PARSE_KIND_AMI), 1);
    char* text = PARSE_TakeAmiText();
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "(Usage In)(Type Float)more text");
    CMN_Free(text);
    EXPECT_EQ(PARSE_TakeAmiText(), nullptr);
    EXPECT_EQ(session.Take(), "");
}

TEST(ReadAmiFile, DescriptionStretchEndsAtTheNextGroup) {
    CheckerSession session;
    const std::string wide(125, 'w');
    const std::string path = session.Write(
        "d.ami", "( Description \"x\n" + wide + "\n(Type Float)\n" + wide + "\n(" + wide + "\n");
    EXPECT_EQ(session.Read(path, PARSE_KIND_AMI), 1);
    EXPECT_EQ(session.Take(),
              "E0923 (line    2) -\n    Description line in AMI file (at line no 2) is greater than 120 "
              "characters\n");
    std::free(PARSE_TakeAmiText());
}

}  // namespace
