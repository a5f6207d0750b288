// Opening files by kind: directory prefix, separators, extensions, letter
// case, and names too long to assemble.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "checker_test_support.h"

namespace {

struct Opened {
    int result = 0;
    std::string fileName;
};

Opened Open(const std::string& name, int kind) {
    FILE* stream = nullptr;
    char fileName[IBIS_PATH_MAX + 1];
    Opened opened;
    opened.result = CMN_OpenIbisFile(name.c_str(), kind, &stream, fileName);
    if (stream != nullptr) std::fclose(stream);
    if (opened.result) opened.fileName = fileName;
    return opened;
}

TEST(OpenIbisFile, DirectoryOfANameServesLaterNamesWithoutOne) {
    CheckerSession session;
    session.Write("models/abc.ibs", "x");
    session.Write("models/x.pkg", "x");
    // Written elsewhere with backslashes and in upper case; found as it is on disk.
    const Opened first = Open(session.Folder() + "models\\ABC.IBS", PARSE_KIND_IBS);
    EXPECT_EQ(first.result, 1);
    EXPECT_EQ(first.fileName, "ABC.IBS");
    EXPECT_EQ(IBIS_DirectoryPrefix(), session.Folder() + "models\\");
    const Opened second = Open("x.pkg", PARSE_KIND_PKG);
    EXPECT_EQ(second.result, 1);
    EXPECT_EQ(second.fileName, "x.pkg");
    EXPECT_EQ(session.Take(), "");
}

TEST(OpenIbisFile, CaseRetryAlsoChangesThePrefix) {
    CheckerSession session;
    session.Write("lower/only.ibs", "x");
    session.Write("lower/next.pkg", "x");
    std::string upperDirectory = session.Folder() + "LOWER/";
    EXPECT_EQ(Open(upperDirectory + "ONLY.IBS", PARSE_KIND_IBS).result, 1);
    EXPECT_EQ(IBIS_DirectoryPrefix(), session.Folder() + "lower/");
    EXPECT_EQ(Open("NEXT.PKG", PARSE_KIND_PKG).result, 1);
    EXPECT_EQ(session.Take(), "");
}

TEST(OpenIbisFile, ExtensionIsAppendedOrChecked) {
    CheckerSession session;
    session.Write("abc.ibs", "x");
    session.Write("abc.txt", "x");
    const Opened appended = Open(session.Folder() + "abc", PARSE_KIND_IBS);
    EXPECT_EQ(appended.result, 1);
    EXPECT_EQ(appended.fileName, "abc.ibs");
    EXPECT_EQ(session.Take(), "");
    // A wrong extension is reported and the file still read.
    EXPECT_EQ(Open(session.Folder() + "abc.txt", PARSE_KIND_IBS).result, 1);
    EXPECT_EQ(Open(session.Folder() + "abc.txt", PARSE_KIND_PKG).result, 1);
    EXPECT_EQ(Open(session.Folder() + "abc.txt", PARSE_KIND_EBD).result, 1);
    EXPECT_EQ(Open(session.Folder() + "abc.txt", PARSE_KIND_AMI).result, 1);
    EXPECT_EQ(session.Take(),
              "E1900 - File Name Requires '.ibs' Extension.\n"
              "E1903 - File Name Requires '.pkg' Extension.\n"
              "E1902 - File Name Requires '.ebd' Extension.\n"
              "E1924 - File Name Requires '.ami' Extension.\n");
    // Reopening a file reports only what could not be done.
    FILE* stream = nullptr;
    char fileName[IBIS_PATH_MAX + 1];
    EXPECT_EQ(IBIS_ReopenFile((session.Folder() + "abc.txt").c_str(), PARSE_KIND_IBS, &stream, fileName), 1);
    std::fclose(stream);
    EXPECT_EQ(session.Take(), "");
}

TEST(OpenIbisFile, MissingFilesAndDirectoriesAreNotOpened) {
    CheckerSession session;
    session.Write("dir.ibs/inside", "x");
    EXPECT_EQ(Open(session.Folder() + "dir.ibs", PARSE_KIND_IBS).result, 0);
    EXPECT_EQ(Open("absent.ibs", PARSE_KIND_IBS).result, 0);
    EXPECT_EQ(session.Take(), "E1905 - Unable To Open File '" + session.Folder() + "dir.ibs'\nE1905 - Unable To Open File '" +
                                  session.Folder() + "absent.ibs'\n");
}

TEST(OpenIbisFile, NamesTooLongToAssembleAreRefused) {
    CheckerSession session;
    EXPECT_EQ(Open(std::string(1020, 'a') + ".pkg", PARSE_KIND_PKG).result, 0);
    EXPECT_EQ(Open(std::string(5000, 'a'), PARSE_KIND_AMI).result, 0);
    EXPECT_EQ(session.Take(), "E1904 - Unable to assemble filename.\nE1904 - Unable to assemble filename.\n");
    // A short name that the prefix makes too long.
    IBIS_SetDirectoryPrefix((std::string(1000, 'd') + "/").c_str());
    EXPECT_EQ(Open(std::string(30, 'a') + ".ibs", PARSE_KIND_IBS).result, 0);
    // No room left for the extension.
    IBIS_SetDirectoryPrefix("");
    EXPECT_EQ(Open(std::string(1022, 'a'), PARSE_KIND_IBS).result, 0);
    EXPECT_EQ(session.Take(), "E1904 - Unable to assemble filename.\nE1901 - Unable to append filename extension.\n");
}

}  // namespace
