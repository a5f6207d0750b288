// External circuits and circuit calls: the kind text's fallbacks, the DEBUG
// line of a converter port that drives and receives, the records a file
// leaves behind, and inputs far larger than real files hold.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/circuit.h"
#include "IbisParser/circuit_kinds.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/node.h"
#include "checker_test_support.h"

namespace {

const char kHead[] =
    "[IBIS Ver] 5.0\n[File Name] t.ibs\n[File Rev] 1\n[Component] c\n[Manufacturer] m\n[Package]\n"
    "R_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p NA 1.5p\n[Pin] signal_name model_name\n1 s CIRCUITCALL\n";

std::string CheckText(CheckerSession& session, const std::string& body) {
    EXPECT_EQ(session.Read(session.Write("t.ibs", kHead + body + "[End]\n"), PARSE_KIND_IBS), 1);
    IBIS_Finish(PARSE_KIND_IBS, 1);
    return session.Take();
}

TEST(CircuitKindText, PrintsTheNamedKindsInTheirOrder) {
    EXPECT_EQ(CIRCUIT_KindText(CIRCUIT_KIND_ANALOG_RECEIVER | CIRCUIT_KIND_AMS_UNKNOWN | CIRCUIT_KIND_DIGITAL),
              "AMS_UNKNOWN DIGITAL ANALOG_RECEIVER");
    // The reserved-digital bit is never printed; NO and UNKNOWN only stand in
    // when nothing else is set.
    EXPECT_EQ(CIRCUIT_KindText(CIRCUIT_KIND_RESERVED_DIGITAL | CIRCUIT_KIND_NO | CIRCUIT_KIND_UNKNOWN), "NO UNKNOWN ");
    EXPECT_EQ(CIRCUIT_KindText(CIRCUIT_KIND_UNKNOWN | CIRCUIT_KIND_ANALOG), "ANALOG ");
    EXPECT_EQ(CIRCUIT_KindText(0), "");
}

TEST(CircuitCheck, AGndOfAnAToDJoinedToAPinPrintsTheDebugLine) {
    CheckerSession session;
    const std::string text = CheckText(session,
                                       "[Circuit Call] rx\nPort_map A_gnd 1\nPort_map in 1\n[End Circuit Call]\n"
                                       "[External Circuit] rx\nLanguage SPICE\nCorner Typ rx.sp rx\nPorts in A_gnd\n"
                                       "A_to_D dout in A_gnd 0.4 0.6\n[End External Circuit]\n");
    // The A_to_D line is line 20, the call line 12.
    EXPECT_NE(text.find("DEBUG: A & D at 20 12\n"), std::string::npos) << text;
}

TEST(CircuitRecords, KeepTheCallAndTheNodeList) {
    CheckerSession session;
    session.Read(session.Write("t.ibs", std::string(kHead) +
                                            "[Node Declarations]\nn1 n2\nn1\n[End Node Declarations]\n"
                                            "[Circuit Call] x\nSignal_pin 1\nPort_map p n1\n[End Circuit Call]\n"
                                            "[End]\n"),
                 PARSE_KIND_IBS);
    IBIS* ibis = nullptr;
    ASSERT_TRUE(IBIS_Current(&ibis));
    const CMPNT* component = ibis->components;
    ASSERT_NE(component, nullptr);
    // Every declared name is kept in file order, a repeated one too, so
    // that each pair of equal names can be reported.
    ASSERT_NE(component->nodes, nullptr);
    EXPECT_STREQ(component->nodes->name, "n1");
    ASSERT_NE(component->nodes->next, nullptr);
    EXPECT_STREQ(component->nodes->next->name, "n2");
    ASSERT_NE(component->nodes->next->next, nullptr);
    EXPECT_STREQ(component->nodes->next->next->name, "n1");
    EXPECT_EQ(component->nodes->next->next->next, nullptr);
    EXPECT_TRUE(NODE_IsDeclared(component, "n2"));
    EXPECT_FALSE(NODE_IsDeclared(component, "n3"));
    const CMPNT_CALL* call = component->circuit_calls;
    ASSERT_NE(call, nullptr);
    EXPECT_STREQ(call->name, "x");
    EXPECT_STREQ(call->ref_pin_1, "1");
    ASSERT_NE(call->port_map, nullptr);
    EXPECT_STREQ(call->port_map->port, "p");
    EXPECT_STREQ(call->port_map->node, "n1");
}

TEST(CircuitHostile, ManyNodesPortsAndCallsStayLinearAndQuiet) {
    CheckerSession session;
    // Thousands of nodes, each joined by two calls: every node has two
    // connections, so a correct file stays free of findings.
    constexpr int kNodes = 3000;
    std::string body = "[Node Declarations]\n";
    for (int i = 0; i < kNodes; ++i) {
        // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on "literal" + string&&.
        body += 'n';
        body += std::to_string(i);
        body += i % 10 == 9 ? '\n' : ' ';
    }
    body += "\n[End Node Declarations]\n";
    for (int call = 0; call < 2; ++call) {
        body += "[Circuit Call] wide\nSignal_pin 1\nPort_map sig 1\n";
        for (int i = 0; i < kNodes; ++i) body += "Port_map p" + std::to_string(i) + " n" + std::to_string(i) + "\n";
        body += "[End Circuit Call]\n";
    }
    body += "[External Circuit] wide\nLanguage SPICE\nCorner Typ w.sp w\nPorts sig\n";
    for (int i = 0; i < kNodes; ++i) body += "Ports p" + std::to_string(i) + "\n";
    body += "[End External Circuit]\n";
    EXPECT_EQ(CheckText(session, body), "");
}

TEST(CircuitHostile, OverlongNamesAreCutOrCarriedWithoutHarm) {
    CheckerSession session;
    const std::string longName(3000, 'q');
    const std::string text = CheckText(session, "[Node Declarations]\n" + longName +
                                                    "\n[End Node Declarations]\n[Circuit Call] " + longName +
                                                    "\nSignal_pin " + longName + "\nPort_map " + longName + " " +
                                                    longName + "\n[End Circuit Call]\n[External Circuit] " +
                                                    longName + "\n[End External Circuit]\n");
    EXPECT_NE(text.find("E0252"), std::string::npos) << text.substr(0, 2000);
    // Call and circuit names are both cut to 40 characters, so they still
    // meet; the cut reference pin is no pin of the component.
    EXPECT_EQ(text.find("E1838"), std::string::npos);
    EXPECT_NE(text.find("E1839"), std::string::npos);
    EXPECT_NE(text.find("W1822"), std::string::npos);
    EXPECT_EQ(CheckerSession::Bugs(), 0);
}

}  // namespace
