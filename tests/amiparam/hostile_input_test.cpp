// Parameter strings come from whatever simulator loads the model: none of
// them may stop, crash or hang the process. The sanitizer build turns memory
// faults in these cases into failures.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "amiparam/ami_parameter_reader.h"
#include "amiparam/parameter_tree.h"
#include "tree_test_support.h"

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(HostileInput, LongBlankRunsPassWithoutTheSharedScanSwitch) {
    ASSERT_EQ(CMN_GetUnlimitedScan(), 0);
    const std::string blanks = Repeat(" \t\r\n", 50000);
    const std::string text = blanks + "(korvan_tx" + blanks + "(emphasis" + blanks + "3" + blanks + ")" + blanks +
                             "(Vreg" + blanks + "\"" + blanks + "x\"" + blanks + "))" + blanks;
    AmiParameterReader reader(text.c_str());
    EXPECT_EQ(CMN_GetUnlimitedScan(), 0);  // never flipped, not even for a moment seen here
    ASSERT_TRUE(reader.IsValid());
    double emphasis = 0.0;
    EXPECT_TRUE(reader.GetValue(emphasis, "korvan_tx.emphasis"));
    EXPECT_EQ(emphasis, 3.0);
    std::string vreg;
    EXPECT_TRUE(reader.GetValue(vreg, "korvan_tx.Vreg"));
    EXPECT_EQ(vreg, blanks + "x");  // leading blanks inside quotes are kept
}

TEST(HostileInput, HundredThousandLevelsParseLinkAndLookUp) {
    constexpr int kDepth = 100000;
    const std::string text = Repeat("(r ", kDepth) + "(a 1.5)" + Repeat(")", kDepth);
    std::int32_t code = -1;
    TreePtr tree = Parse(text, &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    ASSERT_EQ(tree->entry_count, kDepth + 1);
    EXPECT_EQ(tree->entries[kDepth].level, kDepth + 1);
    EXPECT_EQ(BranchAt(*tree, kDepth - 1)->child_count, 1);

    AmiParameterReader reader(text.c_str());
    double a = 0.0;
    EXPECT_TRUE(reader.GetValue(a, (Repeat("r.", kDepth) + "a").c_str()));
    EXPECT_EQ(a, 1.5);
    EXPECT_FALSE(reader.GetValue(a, (Repeat("r.", kDepth - 1) + "a").c_str()));

    // Unnamed branches add nothing to the path, so nothing prunes the
    // search: it must walk all the way down.
    AmiParameterReader unnamed((Repeat("(", kDepth) + "a 2" + Repeat(")", kDepth)).c_str());
    EXPECT_TRUE(unnamed.GetValue(a, "a"));
    EXPECT_EQ(a, 2.0);
    EXPECT_FALSE(unnamed.GetValue(a, "b"));

    EXPECT_EQ(Parse(Repeat("(", kDepth), &code), nullptr);
    EXPECT_EQ(code, TREE_PARSE_UNBALANCED);
    EXPECT_EQ(Parse(Repeat("(", kDepth) + Repeat(")", kDepth), &code), nullptr);
    EXPECT_EQ(code, TREE_PARSE_TOO_SHALLOW);
    // Dropped leaves skip their nested groups without recursion too.
    EXPECT_EQ(Parse("(r x " + Repeat("(", kDepth) + Repeat(")", kDepth) + ")", &code), nullptr);
    EXPECT_EQ(code, TREE_PARSE_NO_NODES);
}

TEST(HostileInput, MegabyteStrings) {
    const std::string many_leaves = "(korvan_tx " + Repeat("(p 1) ", 170000) + "(emphasis 4))";
    AmiParameterReader leaves(many_leaves.c_str());
    ASSERT_TRUE(leaves.IsValid());
    EXPECT_EQ(tree_entry_branch(leaves.Tree()->entries[0])->child_count, 170001);
    double emphasis = 0.0;
    EXPECT_TRUE(leaves.GetValue(emphasis, "korvan_tx.emphasis"));
    EXPECT_EQ(emphasis, 4.0);

    const std::string many_values = "(korvan_tx (emphasis " + Repeat("7 ", 500000) + "))";
    AmiParameterReader values(many_values.c_str());
    ASSERT_TRUE(values.IsValid());
    EXPECT_EQ(values.GetLeaf("korvan_tx.emphasis")->value_count, 500000);

    const std::string long_name = "(" + std::string(1 << 20, 'n') + " (v 1))";
    AmiParameterReader named(long_name.c_str());
    EXPECT_TRUE(named.IsValid());
    EXPECT_TRUE(named.GetValue(emphasis, (std::string(1 << 20, 'n') + ".v").c_str()));
}

TEST(HostileInput, HighBytesAreOrdinaryCharacters) {
    // 0x85 and 0xA0 are blanks in some character sets but not here.
    std::int32_t code = -1;
    TreePtr tree = Parse("(r\xa0 (n\x85\xff \xe9t\xe9 \x80))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    EXPECT_STREQ(BranchAt(*tree, 0)->name, "r\xa0");
    const TreeLeaf* leaf = LeafAt(*tree, 1);
    EXPECT_STREQ(leaf->name, "n\x85\xff");
    ASSERT_EQ(leaf->value_count, 2);
    EXPECT_STREQ(leaf->values[0].text, "\xe9t\xe9");
    EXPECT_EQ(leaf->values[1].type, VALUE_TYPE_STRING);
}

TEST(HostileInput, QuotesThatDoNotCloseOrSitOddly) {
    const struct {
        const char* text;
        std::int32_t code;
    } cases[] = {
        {"(r (a \"x))", TREE_PARSE_UNBALANCED},
        {"(r (a 1) (b \"x", TREE_PARSE_UNBALANCED},
        {"(r (a x\"y) (b \"z))", TREE_PARSE_OK},  // the value scan reaches the end inside quotes
        {"(r (a 1 (b \"x)\")) (c 2))", TREE_PARSE_OK},
        {"(r (a 1 (b \"x))", TREE_PARSE_UNBALANCED},
        {"(\"r\" (\"a\" \"1\"))", TREE_PARSE_OK},
        {"(r (a \"\"\"\"))", TREE_PARSE_OK},
        {"\"(r (a 1))", TREE_PARSE_NO_OPENING},
    };
    for (const auto& c : cases) {
        std::int32_t code = -1;
        TreePtr tree = Parse(c.text, &code);
        EXPECT_EQ(code, c.code) << c.text;
        AmiParameterReader reader(c.text);
        double value = 0.0;
        reader.GetValue(value, "r.a");
    }
}

// A megabyte of quotes and brackets in the arrangements that pull the
// balance check (every quote toggles) and the scan (only a value's first
// quote opens) apart. Each must parse in one sweep, with the result the
// same arrangement gives at a small size.
TEST(HostileInput, MegabyteOfQuotesAndBrackets) {
    constexpr int kPieces = 1 << 17;
    const struct {
        const char* name;
        std::string text;
        std::int32_t code;
        std::int32_t children;  // of the outermost branch, when parsed
    } cases[] = {
        {"quote-bracket pairs", "(korvan_tx " + Repeat("\"(", kPieces), TREE_PARSE_UNBALANCED, 0},
        {"one quote between the brackets",
         std::string(kPieces, '(') + "\"" + std::string(kPieces, ')'), TREE_PARSE_UNBALANCED, 0},
        {"closings each behind a quote", "(a \"" + Repeat(")\"", kPieces), TREE_PARSE_UNBALANCED, 0},
        // The balance check counts every other group, and the scan stops
        // after that many: half the leaves are made.
        {"quotes inside leaf values", "(r " + Repeat("(a x\"y) ", kPieces) + ")", TREE_PARSE_OK, kPieces / 2},
        // Each quoted value swallows the next group's opening.
        {"quoted values opening brackets", "(r " + Repeat("(a \"x) ", kPieces) + ")", TREE_PARSE_OK, kPieces / 2},
        {"closings around lone quotes", "(r " + Repeat(") \" (", kPieces) + ")", TREE_PARSE_TOO_SHALLOW, 0},
        // The leaf goes with everything nested in it; the root stays, empty.
        {"nested leaves dropped",
         "(r (a " + Repeat("1 (", kPieces) + std::string(kPieces, ')') + "))", TREE_PARSE_OK, 0},
        {"deep groups closed inside quotes",
         std::string(kPieces, '(') + "a \"" + std::string(kPieces, ')') + "\"" + std::string(kPieces, ')'),
         TREE_PARSE_OK, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GE(c.text.size(), static_cast<std::size_t>(kPieces));
        std::int32_t code = -1;
        TreePtr tree = Parse(c.text, &code);
        EXPECT_EQ(code, c.code);
        if (code == TREE_PARSE_OK && tree) {
            const TreeBranch* root = tree_entry_branch(tree->entries[0]);
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(root->child_count, c.children);
        }
        // The model's reader on the same text: valid exactly when it parses.
        AmiParameterReader reader(c.text.c_str());
        EXPECT_EQ(reader.IsValid(), c.code == TREE_PARSE_OK);
        double value = 0.0;
        EXPECT_FALSE(reader.GetValue(value, "korvan_tx.emphasis"));
    }
}

TEST(HostileInput, RandomTextsNeverCrashAndFailuresLeaveNothing) {
    // Texts drawn from the characters that steer the scan. Whatever the
    // result, a tree comes back exactly on success and lookups are safe.
    const char alphabet[] = "((()))\"\"  \t\nab1.e-\xe9";
    std::mt19937 random(20240607u);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(alphabet) - 2);
    std::uniform_int_distribution<int> length(0, 60);
    int parsed = 0;
    for (int round = 0; round < 40000; ++round) {
        std::string text = "(";
        for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
        std::int32_t code = -1;
        TreePtr tree = Parse(text, &code);
        ASSERT_GE(code, TREE_PARSE_OK);
        ASSERT_LE(code, TREE_PARSE_BAD_ELEMENT);
        ASSERT_EQ(tree != nullptr, code == TREE_PARSE_OK) << text;
        if (tree == nullptr) continue;
        ++parsed;
        ASSERT_NE(BranchAt(*tree, 0), nullptr) << text;  // a returned tree has a root branch
        AmiParameterReader reader(text.c_str());
        double value = 0.0;
        std::string word;
        reader.GetValue(value, "a.b");
        reader.GetValue(word, "b.a");
    }
    EXPECT_GT(parsed, 100);  // the generator reaches the success paths too
}

TEST(HostileInput, ParsingIssuesNoMessages) {
    int bugs = 0, errors = 0, warnings = 0;
    MSG_GetCounts(&bugs, &errors, &warnings);
    for (const char* text : {"(r (a 1))", "(r", ")", "(a 1)", "(r x (a 1))", "(r (x ) (a 1))"}) {
        AmiParameterReader reader(text);
    }
    int after_bugs = 0, after_errors = 0, after_warnings = 0;
    MSG_GetCounts(&after_bugs, &after_errors, &after_warnings);
    EXPECT_EQ(after_bugs, bugs);
    EXPECT_EQ(after_errors, errors);
    EXPECT_EQ(after_warnings, warnings);
}

}  // namespace
