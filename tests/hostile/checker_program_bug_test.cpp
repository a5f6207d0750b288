// A program-bug message tells the user that the checker itself is at fault,
// so no file content may reach one, except the two that report content on
// purpose: a second [Composite Current] for one waveform, and an .ami text
// the parameter reader fails on in an unforeseen way. Files are built from
// every keyword of the 5.0 table in random order, each followed by a few
// data lines of IBIS words, so that every section meets data after every
// other section's keywords, its own end keywords included.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "IbisParser/parse_keywords.h"
#include "checker_run.h"
#include "ibis_text.h"

namespace {

const char* const kWords[] = {
    "Model_type", "Input", "Output", "I/O", "Series", "Series_switch", "Terminator", "Vinl", "=", "1.5",
    "C_comp", "1p", "NA", "/", "Len=0", "L=2n", "C=1p", "R=1", "Fork", "Endfork", "Pin", "Node", "U1.1",
    "NC", "Language", "SPICE", "Corner", "Typ", "Min", "Ports", "A_signal", "A_gnd", "D_drive",
    "D_receive", "D_to_A", "A_to_D", "Signal_pin", "Port_map", "1", "2", "On", "Off", "Executable",
    "Windows_VisualStudio_32", "m.dll", "m.ami", "R_pkg", "L_pkg", "C_pkg", "signal_name", "model_name",
    "Test_load_type", "Single_ended", "Submodel_type", "Dynamic_clamp", "Vth", "Offset", "-1", "0", "3.3",
    "1e-9", "abc", "GND", "POWER", "CIRCUITCALL", "Domain", "Clock_Div", "x",
};

// The families of keywords, by their first and last id: the opening
// keyword of each comes first.
struct Family {
    int first;
    int last;
};
const Family kFamilies[] = {
    {KW::COMPONENT, KW::END_CIRCUIT_CALL},        {KW::EXTERNAL_CIRCUIT, KW::END_EXTERNAL_CIRCUIT},
    {KW::BEGIN_EMI_COMPONENT, KW::PIN_DOMAIN_EMI}, {KW::MODEL, KW::END_EMI_MODEL},
    {KW::EXTERNAL_MODEL, KW::END_EXTERNAL_MODEL}, {KW::DEFINE_PACKAGE_MODEL, KW::NUMBER_OF_SECTIONS},
    {KW::BEGIN_BOARD_DESCRIPTION, KW::END_BOARD_DESCRIPTION}, {KW::MODEL_SELECTOR, KW::MODEL_SELECTOR},
    {KW::SUBMODEL, KW::FALLING_WAVEFORM_SUBMDL},  {KW::TEST_DATA, KW::DIFF_FALLING_WAVEFORM_FAR},
    {KW::TEST_LOAD, KW::TEST_LOAD},
};

// One file: families of keywords in random order, each opened by its first
// keyword and then holding its other keywords shuffled (some twice), every
// keyword followed by zero to three data lines of one to six words.
std::string KeywordSoup(const std::string& name, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> names(KW::COUNT);
    const KEYWORD* table = PARSE_KeywordTable(PARSE_VERSION_5_0);
    for (const KEYWORD* entry = table; entry->id != KW::NOT_KEY; ++entry)
        if (names[static_cast<std::size_t>(entry->id)].empty()) names[static_cast<std::size_t>(entry->id)] = entry->name;
    std::vector<Family> families(std::begin(kFamilies), std::end(kFamilies));
    families.insert(families.end(), std::begin(kFamilies), std::end(kFamilies));
    std::shuffle(families.begin(), families.end(), random);

    std::ostringstream text;
    text << hostile::Header(name, "5.0");
    const std::size_t wordCount = sizeof kWords / sizeof kWords[0];
    for (const Family& family : families) {
        std::vector<int> ids;
        for (int id = family.first + 1; id <= family.last; ++id)
            for (unsigned times = 1 + random() % 2; times > 0; --times) ids.push_back(id);
        std::shuffle(ids.begin(), ids.end(), random);
        ids.insert(ids.begin(), family.first);
        for (const int id : ids) {
            const std::string& keyword = names[static_cast<std::size_t>(id)];
            if (keyword.empty()) continue;  // a submodel's own table names
            text << "[" << keyword << "]";
            if (random() % 3 == 0) text << " " << kWords[random() % wordCount];
            text << "\n";
            for (unsigned line = random() % 4; line > 0; --line) {
                for (unsigned word = 1 + random() % 6; word > 0; --word) text << kWords[random() % wordCount] << " ";
                text << "\n";
            }
        }
    }
    text << "[End]\n";
    return text.str();
}

// The report's program-bug lines (they are never wrapped) other than the
// two issued on purpose.
std::vector<std::string> UnexpectedBugs(const std::string& report) {
    std::vector<std::string> bugs;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("PROGRAM BUG", 0) == 0 &&
            line.find("Composite Current is already associated") == std::string::npos &&
            line.find("Internal error while parsing AMI Parameter file") == std::string::npos)
            bugs.push_back(line);
    return bugs;
}

TEST(CheckerProgramBugs, NoneReachableFromKeywordsInAnyOrder) {
    for (unsigned seed = 1; seed <= 150; ++seed) {
        for (const char* kind : {"ibs", "pkg", "ebd"}) {
            const std::string name = std::string("order.") + kind;
            const hostile::CheckReport report = hostile::CheckContent(name, KeywordSoup(name, seed));
            EXPECT_TRUE(report.EndsWithVerdict());
            const std::vector<std::string> bugs = UnexpectedBugs(report.text);
            EXPECT_TRUE(bugs.empty()) << kind << " seed " << seed << ": " << bugs.front();
        }
    }
}

}  // namespace
