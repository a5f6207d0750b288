// Board descriptions: what the records keep, the referenced-file switch and
// the state of the calling file after a named file was checked, where the
// golden files cannot look.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IbisParser/ebdmdl.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "checker_test_support.h"

namespace {

std::string File(const std::string& name, const std::string& body) {
    return "[IBIS Ver] 4.2\n[File Name] " + name + "\n[File Rev] 1\n" + body + "[End]\n";
}

std::string Board(const std::string& name, const std::string& path, const std::string& map) {
    return "[Begin Board Description] " + name + "\n[Manufacturer] m\n[Number of Pins] 1\n[Pin List] signal_name\n" +
           "1 sig\n[Path Description] P1\n" + path + "[Reference Designator Map]\n" + map +
           "[End Board Description]\n";
}

IBIS* Current() {
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? ibis : nullptr;
}

TEST(EbdRecord, KeepsPinsForksAndMapEntries) {
    CheckerSession session;
    const std::string path = "Pin 1\nLen=1 L=1n C=1p /\nFork\nNode U1.2\nEndfork\nNC\n";
    ASSERT_EQ(session.Read(session.Write("a.ebd", File("a.ebd", Board("B", path, "U1 part.ibs Chip Name\n"))),
                           PARSE_KIND_EBD),
              1);
    EBDMDL* board = IBIS_GetBoards(Current());
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(session.Take(), "");
    ASSERT_EQ(board->pinCount, 1u);
    EXPECT_STREQ(board->pins[0].signal_name, "sig");
    const EBDELEM* e = board->paths->first;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind, EBDELEM_PIN);
    ASSERT_NE(e->next, nullptr);
    EXPECT_EQ(e->next->kind, EBDELEM_SECTION);
    const EBDELEM* fork = e->next->next;
    ASSERT_NE(fork, nullptr);
    ASSERT_EQ(fork->kind, EBDELEM_FORK);
    ASSERT_NE(fork->branch, nullptr);
    EXPECT_STREQ(fork->branch->refdes, "U1");
    EXPECT_STREQ(fork->branch->pin, "2");
    ASSERT_NE(fork->next, nullptr);
    EXPECT_EQ(fork->next->kind, EBDELEM_NC);
    EXPECT_STREQ(board->refdesMap->component, "Chip Name");
    EXPECT_EQ(board->refdesMap->fileValid, 1);
}

TEST(EbdRecord, FileNameLimitFollowsVersion) {
    CheckerSession session;
    const std::string longName = std::string(30, 'a') + ".ibs";
    std::string text = File("a.ebd", Board("B", "Pin 1\n", "U1 " + longName + " C\n"));
    text.replace(text.find("4.2"), 3, "3.2");
    session.Read(session.Write("a.ebd", text), PARSE_KIND_EBD);
    EXPECT_NE(session.Take().find("too long. Will be truncated"), std::string::npos);
    EXPECT_EQ(std::strlen(IBIS_GetBoards(Current())->refdesMap->file), 24u);
}

TEST(EbdReferences, SwitchOffSkipsNamedFiles) {
    CheckerSession session;
    session.Write("b.ebd", File("b.ebd", "[Begin Board Description] X\n"));
    const std::string a = session.Write("a.ebd", File("a.ebd", Board("B", "Pin 1 Node U1.1\n", "U1 b.ebd Y\n")));
    EBDMDL_SetCheckReferencedFiles(0);
    const int read = session.Read(a, PARSE_KIND_EBD);
    IBIS_Finish(PARSE_KIND_EBD, read);
    EBDMDL_SetCheckReferencedFiles(1);
    EXPECT_EQ(session.Take(), "");
}

TEST(EbdReferences, CallingFileStateComesBack) {
    CheckerSession session;
    session.Write("part.ibs", File("part.ibs", "[Component] C\n"));
    const std::string a = session.Write("a.ebd", File("a.ebd", Board("B", "Pin 1 Node U1.1\n", "U1 part.ibs C\n")));
    const int read = session.Read(a, PARSE_KIND_EBD);
    IBIS* outer = Current();
    const int level = HDR_GetVersionLevel();
    IBIS_Finish(PARSE_KIND_EBD, read);
    EXPECT_EQ(Current(), outer);
    EXPECT_EQ(HDR_GetVersionLevel(), level);
    EXPECT_STREQ(PARSE_FileName(), "a.ebd");
    EXPECT_NE(session.Take().find("Pin '1' not found on Component 'C' in file 'part.ibs'"), std::string::npos);
}

TEST(EbdReferences, SelfNamingFileEnds) {
    CheckerSession session;
    const std::string a = session.Write("a.ebd", File("a.ebd", Board("B", "Pin 1 Node U1.1\n", "U1 b.ebd B\n")));
    session.Write("b.ebd", File("b.ebd", Board("B", "Pin 1 Node U1.1\n", "U1 b.ebd B\n")));
    const int read = session.Read(a, PARSE_KIND_EBD);
    IBIS_Finish(PARSE_KIND_EBD, read);
    EXPECT_NE(session.Take().find("refers to the Component 'B' itself"), std::string::npos);
}

TEST(EbdPath, DeepForksAreReleasedWithoutRecursion) {
    CheckerSession session;
    std::string path = "Pin 1\n";
    for (int i = 0; i < 20000; ++i) path += "Fork Len=0 / ";
    path += "NC\n";
    session.Read(session.Write("a.ebd", File("a.ebd", Board("B", path, ""))), PARSE_KIND_EBD);
    IBIS_Free(Current());
    SUCCEED();
}

}  // namespace
