// Keyword tables, recognition and the context remaps.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "IbisParser/parse_internal.h"
#include "checker_test_support.h"

namespace {

std::vector<int> Ids(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> ids;
    for (auto [first, last] : runs)
        for (int id = first; id <= last; ++id) ids.push_back(id);
    return ids;
}

std::vector<int> TableIds(PARSE_Version version) {
    std::vector<int> ids;
    const KEYWORD* table = PARSE_KeywordTable(version);
    for (int i = 0; i < PARSE_KeywordTableSize(version); ++i) ids.push_back(table[i].id);
    return ids;
}

TEST(KeywordTables, HoldEachVersionsIdsInOrder) {
    const std::pair<int, int> tail[] = {{1, 1}, {118, 119}};
    auto withTail = [&](std::vector<int> ids) {
        for (auto [first, last] : tail)
            for (int id = first; id <= last; ++id) ids.push_back(id);
        return ids;
    };
    EXPECT_EQ(TableIds(PARSE_VERSION_2_1), withTail(Ids({{0, 0}, {2, 15}, {32, 38}, {40, 50}, {74, 87}})));
    EXPECT_EQ(TableIds(PARSE_VERSION_3_2), withTail(Ids({{0, 0}, {2, 17}, {32, 53}, {55, 66}, {74, 107}})));
    EXPECT_EQ(TableIds(PARSE_VERSION_4_2), withTail(Ids({{0, 0}, {2, 23}, {30, 66}, {74, 117}, {24, 25}})));
    EXPECT_EQ(TableIds(PARSE_VERSION_5_0), withTail(Ids({{0, 0}, {2, 23}, {26, 117}, {24, 25}})));
    EXPECT_EQ(PARSE_KeywordTableSize(PARSE_VERSION_2_1), 50);
    EXPECT_EQ(PARSE_KeywordTableSize(PARSE_VERSION_3_2), 88);
    EXPECT_EQ(PARSE_KeywordTableSize(PARSE_VERSION_4_2), 109);
    EXPECT_EQ(PARSE_KeywordTableSize(PARSE_VERSION_5_0), 120);
}

TEST(KeywordTables, SharedNamesMeetTheirLowestIdFirst) {
    const KEYWORD* table = PARSE_KeywordTable(PARSE_VERSION_5_0);
    for (int i = 0; i < 120; ++i)
        for (int j = i + 1; j < 120; ++j) {
            if (std::strcmp(table[i].name, table[j].name) == 0) {
                EXPECT_LT(table[i].id, table[j].id) << table[i].name;
            }
        }
}

TEST(KeywordTables, NameOfAnIdAndOfAnUnknownOne) {
    CheckerSession session;
    char buffer[40];
    EXPECT_STREQ(PARSE_KeywordName(KW::MANUFACTURER_EBD, buffer), "MANUFACTURER");
    EXPECT_STREQ(PARSE_KeywordName(KW::DIFF_FALLING_WAVEFORM_FAR, buffer), "DIFF_FALLING_WAVEFORM_FAR");
    EXPECT_EQ(session.Take(), "");
    EXPECT_STREQ(PARSE_KeywordName(500, buffer), "Unknown enumerated keyword code");
    EXPECT_EQ(session.Take(), "B0904 (line    0) - Unknown enumerated keyword code.\n");
}

TEST(KeywordRecognition, SpellingsAndVersions) {
    CheckerSession session;
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_3_2, "[model spec]"), KW::MODEL_SPEC);
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_3_2, "[Model_Spec] x"), KW::MODEL_SPEC);
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_5_0, "[IBIS Ver] 5.0"), KW::IBIS_VER);
    EXPECT_EQ(session.Take(), "");
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_2_1, "[Model Spec]"), KW::NOT_KEY);
    EXPECT_EQ(session.Take(), "E0916 (line    0) - Invalid Keyword: Model_Spec\n");
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_5_0, "[Not Key]"), KW::NOT_KEY);
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_5_0, "[Model"), KW::NOT_KEY);
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_5_0, "[]"), KW::NOT_KEY);
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_5_0, ("[" + std::string(118, 'x') + "]").c_str()), KW::NOT_KEY);
    EXPECT_EQ(PARSE_RecognizeKeyword(PARSE_VERSION_5_0, ("[" + std::string(117, 'x') + "]").c_str()), KW::NOT_KEY);
    EXPECT_EQ(session.Take(),
              "E0916 (line    0) - Invalid Keyword: Not_Key\n"
              "E0914 (line    0) - Keyword Missing Ending Bracket (']').\n"
              "E0915 (line    0) - Invalid Keyword.\n"
              "E0915 (line    0) - Invalid Keyword.\n"
              "E0916 (line    0) - Invalid Keyword: " +
                  std::string(117, 'x') + "\n");
}

// Feeds keyword lines through the version step and returns the ids they end up with.
std::vector<int> Keywords(int kind, std::initializer_list<const char*> lines) {
    g_parse.kind = kind;
    std::vector<int> ids;
    for (const char* text : lines) {
        std::string line = text;
        PARSE_VersionStep(PARSE_VERSION_5_0, PARSE_LINE_KEYWORD, line.data());
        ids.push_back(PARSE_CurrentKeyword());
    }
    return ids;
}

TEST(KeywordRecognition, SharedNamesTakeTheirSurroundingsId) {
    CheckerSession session;
    IBIS_New();
    EXPECT_EQ(Keywords(PARSE_KIND_IBS, {"[Component] c", "[Manufacturer] m", "[Define Package Model] p",
                                        "[Manufacturer] m", "[OEM] o", "[Manufacturer] m", "[Number Of Pins] 2"}),
              (std::vector<int>{KW::COMPONENT, KW::MANUFACTURER, KW::DEFINE_PACKAGE_MODEL, KW::MANUFACTURER_PKGMDL,
                                KW::OEM, KW::MANUFACTURER_PKGMDL, KW::NUMBER_OF_PINS}));
    EXPECT_EQ(Keywords(PARSE_KIND_EBD, {"[Begin Board Description] b", "[Manufacturer] m", "[Manufacturer] m",
                                        "[Number Of Pins] 2", "[Manufacturer] m"}),
              (std::vector<int>{KW::BEGIN_BOARD_DESCRIPTION, KW::MANUFACTURER_EBD, KW::MANUFACTURER_EBD,
                                KW::NUMBER_OF_PINS_EBD, KW::MANUFACTURER}));
    EXPECT_EQ(Keywords(PARSE_KIND_IBS, {"[Model] m", "[Pulldown]", "[Submodel] s", "[Pulldown]", "[Ramp]",
                                        "[Falling Waveform]", "[Model] n", "[Pullup]"}),
              (std::vector<int>{KW::MODEL, KW::PULLDOWN, KW::SUBMODEL, KW::PULLDOWN_SUBMDL, KW::RAMP_SUBMDL,
                                KW::FALLING_WAVEFORM_SUBMDL, KW::MODEL, KW::PULLUP}));
}

TEST(KeywordRecognition, KeywordsOutsideTheirKindOfFile) {
    CheckerSession session;
    IBIS_New();
    Keywords(PARSE_KIND_PKG, {"[Component] c", "[Begin Board Description] b", "[Define Package Model] p"});
    Keywords(PARSE_KIND_EBD, {"[Model] m", "[Define Package Model] p"});
    Keywords(PARSE_KIND_IBS, {"[Begin Board Description] b"});
    EXPECT_EQ(session.Take(),
              "E0911 (line    0) - Illegal keyword for a '.pkg' file.\n"
              "E0911 (line    0) - Illegal keyword for a '.pkg' file.\n"
              "E0912 (line    0) - Illegal keyword for a '.ebd' file.\n"
              "E0912 (line    0) - Illegal keyword for a '.ebd' file.\n"
              // The empty package model ends at the next .ibs keyword.
              "E3467 - Keyword 'Manufacturer' not found or blank for Package Model 'p'.\n"
              "E3418 - OEM keyword not found for Package Model 'p'.\n"
              "E3419 - Description keyword not found for Package Model 'p'.\n"
              "E3431 - Number_of_Pins keyword not found or value bad for Package Model 'p'.\n"
              "E3452 - Required keyword Pin_Numbers not found for Package Model 'p'.\n"
              "E3455 - Required Model_Data keyword not found for package p.\n"
              "E3413 - Inductance matrix not found for Package Model 'p'.\n"
              "E3415 - Capacitance matrix not found for Package Model 'p'.\n"
              "E3457 - Required End_Model_Data keyword not found for package p.\n"
              "E3459 - Required End_Package_Model keyword not found.\n"
              "E0913 (line    0) - Illegal keyword for a '.ibs' file.\n");
    IBIS* ibis = nullptr;
    ASSERT_TRUE(IBIS_Current(&ibis));
    EXPECT_NE(IBIS_GetPackageModels(ibis), nullptr);
    EXPECT_EQ(IBIS_GetComponents(ibis), nullptr);
    EXPECT_EQ(IBIS_GetModels(ibis), nullptr);
    EXPECT_EQ(IBIS_GetBoards(ibis), nullptr);
}

TEST(KeywordRecognition, UnterminatedKeywordIsReportedFromVersion32On) {
    CheckerSession session;
    IBIS_New();
    g_parse.kind = PARSE_KIND_IBS;
    char model[] = "[Model] m";
    // Each new [Model] also ends the one before with the model's own
    // findings; only the 909 matters here.
    const std::string unterminated =
        "E0909 (line    0) -\n    Previous keyword not terminated properly. Possibly missing a \"/\"\n\n";
    PARSE_SetKeywordNotTerminated(1);
    PARSE_VersionStep(PARSE_VERSION_2_1, PARSE_LINE_KEYWORD, model);
    EXPECT_EQ(session.Take().find("E0909"), std::string::npos);
    PARSE_VersionStep(PARSE_VERSION_3_2, PARSE_LINE_KEYWORD, model);
    EXPECT_EQ(session.Take().rfind(unterminated, 0), 0u);
    PARSE_VersionStep(PARSE_VERSION_3_2, PARSE_LINE_KEYWORD, model);
    EXPECT_EQ(session.Take().find("E0909"), std::string::npos);
}

}  // namespace
