#include <gtest/gtest.h>

#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/parameter_string.h"

using namespace amisim;

namespace {

const char* const kNested = R"((m
    | a comment line, and a trailing one below
    (Reserved_Parameters (GetWave_Exists (Usage Info) (Type Boolean) (Default True)
        (Description "x")) (Ignore_Bits 3))
    (Model_Specific
        (gain (Usage In) (Type Float) (Format List 0.5 1.0 2.0) (Description "no Default"))
        (eq (mode (Usage InOut) (Type String) (Default "fast | safe")))
        (taps (Usage Out) (Type Tap) (Default 0))
        (level (Usage In) (Type Integer) (Format Value 5))
        (name (Usage In) (Type String) (Default abc)))  | comment
)
)";

TEST(AmiFile, ReadsThePackageParameterFile) {
    const AmiFile file = ReadAmiFile(KORVAN_SOURCE_DIR "/package/korvan_tx.ami");
    EXPECT_EQ(file.root_name, "korvan_tx");
    EXPECT_EQ(file.ignore_bits, 7);
    EXPECT_EQ(file.getwave_exists, true);
    EXPECT_EQ(file.init_returns_impulse, false);
    ASSERT_EQ(file.parameters.size(), 3u);
    EXPECT_EQ(file.parameters[0].path, "emphasis");
    EXPECT_EQ(file.parameters[0].format, "Range");
    EXPECT_EQ(file.parameters[0].format_values, (std::vector<std::string>{"0", "0", "6"}));
    // The defaults the model itself uses, so that a host's default run and
    // the model's built-in behaviour agree.
    EXPECT_EQ(BuildParameterString(file, {}).text, "(korvan_tx (emphasis 0) (Vreg 2) (corner 2))");
}

TEST(AmiFile, DefaultsComeFromDefaultOrFormatAndNestAlongPaths) {
    const AmiFile file = ParseAmiText(kNested, "nested.ami");
    EXPECT_EQ(file.ignore_bits, 3);  // the short form is read too
    ASSERT_EQ(file.parameters.size(), 5u);
    EXPECT_EQ(file.parameters[1].path, "eq.mode");
    EXPECT_EQ(file.parameters[1].default_, "fast | safe");  // "|" inside quotes is no comment
    const ParameterString built = BuildParameterString(file, {});
    // Out parameters are not passed; a String is quoted; List and Value
    // formats give the default when no Default leaf does.
    EXPECT_EQ(built.text, "(m (gain 0.5) (eq (mode \"fast | safe\")) (level 5) (name \"abc\"))");
    EXPECT_TRUE(built.warnings.empty());
}

TEST(AmiFile, OverridesReplaceDefaultsAndAreChecked) {
    const AmiFile file = ReadAmiFile(KORVAN_SOURCE_DIR "/package/korvan_tx.ami");
    ParameterString built = BuildParameterString(file, {ParseOverride("emphasis=6"), ParseOverride("corner=0")});
    EXPECT_EQ(built.text, "(korvan_tx (emphasis 6) (Vreg 2) (corner 0))");
    EXPECT_TRUE(built.warnings.empty());

    built = BuildParameterString(file, {ParseOverride("Vreg=3")});
    EXPECT_EQ(built.text, "(korvan_tx (emphasis 0) (Vreg 3) (corner 2))");
    ASSERT_EQ(built.warnings.size(), 1u);
    EXPECT_NE(built.warnings[0].find("outside its Range 0 to 2"), std::string::npos);

    try {
        BuildParameterString(file, {ParseOverride("Emphasis=1")});
        FAIL() << "an unknown name must be refused";
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
        EXPECT_NE(std::string(e.what()).find("inputs: emphasis, Vreg, corner"), std::string::npos);
    }
    EXPECT_THROW(BuildParameterString(file, {ParseOverride("emphasis=two")}), AmisimError);
    EXPECT_THROW(ParseOverride("emphasis"), AmisimError);
    EXPECT_THROW(ParseOverride("=2"), AmisimError);
    EXPECT_THROW(ParseOverride("a..b=2"), AmisimError);
    EXPECT_THROW(ParseOverride("a(b=2"), AmisimError);
}

TEST(AmiFile, WithoutAnAmiFileTheOverridesStandAlone) {
    EXPECT_EQ(BuildParameterString("lib", {ParseOverride("a.b=1"), ParseOverride("c=x")}).text,
              "(lib (a (b 1)) (c x))");
    EXPECT_EQ(BuildParameterString("lib", {}).text, "(lib)");
}

TEST(AmiFile, ATextThatIsNoTreeIsAFileError) {
    try {
        ParseAmiText("(m (Reserved_Parameters (a 1)", "broken.ami");
        FAIL() << "unbalanced text must be refused";
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
        EXPECT_EQ(std::string(e.what()), "broken.ami: mismatched parentheses");
    }
    EXPECT_THROW(ReadAmiFile("/nonexistent/file.ami"), AmisimError);
}

}  // namespace

namespace {

TEST(AmiFile, OlderFilesWithoutDefaultGetTheTypicalValue) {
    // Formats written as leaves of their own, without Format or Default:
    // Range's first value is the typical one, Value's its value, List's
    // its first entry.
    const AmiFile file = ParseAmiText(R"((old
        (Model_Specific
            (Tx_Impedance (Usage In) (Type Integer) (Range 27 6 27))
            (Enable (Usage In) (Type Boolean) (Value True))
            (Mode (Usage In) (Type Integer) (List 3 1 2)))))",
                                      "old.ami");
    ASSERT_EQ(file.parameters.size(), 3u);
    EXPECT_EQ(file.parameters[0].format, "Range");
    EXPECT_EQ(file.parameters[0].format_values, (std::vector<std::string>{"27", "6", "27"}));
    const ParameterString parameters = BuildParameterString(file, {});
    EXPECT_EQ(parameters.text, "(old (Tx_Impedance 27) (Enable True) (Mode 3))");
    EXPECT_TRUE(parameters.warnings.empty());
}

}  // namespace

// Reserved inputs (DLL_Path, DLL_ID) reach the model like its own: the host
// fills in DLL_Path, a file's default or the user's value the rest. A name
// holding a dot is one name, not a group, and a byte-order mark is skipped.
TEST(AmiFile, ReservedInputsDottedNamesAndAByteOrderMark) {
    const AmiFile file = ParseAmiText("\xEF\xBB\xBF(r (Reserved_Parameters (GetWave_Exists (Usage Info) (Type Boolean)"
                                      " (Default True)) (Ignore_Bits 3) (DLL_Path (Usage In) (Type String))"
                                      " (DLL_ID (Usage In) (Type String) (Default \"lane0\")))"
                                      " (Model_Specific (mode.sel (Usage In) (Type Integer) (Default 1))"
                                      " (g (h (Usage In) (Type Float) (Default 2)))))",
                                      "r.ami");
    EXPECT_EQ(BuildParameterString(file, {}, {{"DLL_Path", "/models/r"}}).text,
              "(r (DLL_Path \"/models/r\") (DLL_ID \"lane0\") (mode.sel 1) (g (h 2)))");
    const ParameterString chosen =
        BuildParameterString(file, {ParseOverride("DLL_ID=lane3"), ParseOverride("mode.sel=2"), ParseOverride("g.h=4")});
    EXPECT_EQ(chosen.text, "(r (DLL_ID \"lane3\") (mode.sel 2) (g (h 4)))");
    ASSERT_EQ(chosen.warnings.size(), 1u);  // DLL_Path has no value then
    EXPECT_NE(chosen.warnings[0].find("DLL_Path has no Default"), std::string::npos);
    // Reserved parameters of other usages stay the host's, not the model's.
    EXPECT_THROW(BuildParameterString(file, {ParseOverride("Ignore_Bits=4")}), AmisimError);
}

// The keywords are case-sensitive: a file that writes them otherwise is
// read as the language says, and the reader says why.
TEST(AmiFile, KeywordsInOtherLetterCaseAreNamed) {
    const AmiFile file = ParseAmiText("(l (Model_Specific (peak (usage In) (default 3)) (boost (Usage in) (Default 2))"
                                      " (gain (Usage In) (Default 1))))",
                                      "l.ami");
    ASSERT_EQ(file.warnings.size(), 2u);
    EXPECT_NE(file.warnings[0].find("peak: 'usage' is no keyword"), std::string::npos) << file.warnings[0];
    EXPECT_NE(file.warnings[1].find("boost: Usage 'in' is none of In, Out, InOut, Info"), std::string::npos)
        << file.warnings[1];
    EXPECT_EQ(BuildParameterString(file, {}).text, "(l (peak (usage In) (default 3)) (gain 1))");
}
