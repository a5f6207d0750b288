#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "amiparam/parameter_tree.h"
#include "tree_test_support.h"

namespace {

struct ResultCase {
    const char* text;
    std::int32_t code;
};

TEST(TreeParseResult, EveryCodeForItsText) {
    const ResultCase cases[] = {
        {"(korvan_tx (emphasis 2) (Vreg 1.1) (corner 0))", TREE_PARSE_OK},
        {"  (r (a 1))", TREE_PARSE_OK},
        {"\t\r\n\v\f(r (a 1))", TREE_PARSE_OK},
        {"r (a 1)", TREE_PARSE_NO_OPENING},
        {"", TREE_PARSE_NO_OPENING},
        {"   ", TREE_PARSE_NO_OPENING},
        {"(r (a 1)", TREE_PARSE_UNBALANCED},
        {"(r (a 1)))", TREE_PARSE_UNBALANCED},
        {"(r (a 1)) (b 2)", TREE_PARSE_SECOND_TOP_GROUP},
        {"(a 1)", TREE_PARSE_NO_NODES},
        {"(r)", TREE_PARSE_TOO_SHALLOW},
        {"(r (x) (a 1))", TREE_PARSE_TOO_SHALLOW},
        {"(r (x ) (a 1))", TREE_PARSE_BAD_ELEMENT},
        {"(r (x ) ((a 1)))", TREE_PARSE_BAD_ELEMENT},
        {"(r (s (a 1)) (b 2))", TREE_PARSE_OK},
        {"(r (x 1 (y 2)) (z 3))", TREE_PARSE_OK},
        {"(r (x (y 2) 3))", TREE_PARSE_OK},
        {"(r ((a 1)))", TREE_PARSE_OK},
        {"(r(a 1))", TREE_PARSE_OK},
        {"(r (a 1)) trailing words, not looked at", TREE_PARSE_OK},
        // Every group dropped: the only leaf is followed by a sub-group.
        {"(r x (a 1))", TREE_PARSE_NO_NODES},
        {"(r (a \")\"))", TREE_PARSE_OK},
    };
    for (const ResultCase& c : cases) {
        std::int32_t code = -1;
        TreePtr tree = Parse(c.text, &code);
        EXPECT_EQ(code, c.code) << c.text;
        EXPECT_EQ(tree != nullptr, c.code == TREE_PARSE_OK) << c.text;
    }
}

TEST(TreeParseResult, MissingArgumentsAndFailuresLeaveTheResultPlaceAlone) {
    ParameterTree* tree = nullptr;
    EXPECT_EQ(tree_parse(nullptr, &tree), TREE_PARSE_NO_NODES);
    EXPECT_EQ(tree_parse("(r (a 1))", nullptr), TREE_PARSE_NO_NODES);
    auto* sentinel = reinterpret_cast<ParameterTree*>(0x1234);
    tree = sentinel;
    EXPECT_EQ(tree_parse("(r (x ) (a 1))", &tree), TREE_PARSE_BAD_ELEMENT);
    EXPECT_EQ(tree, sentinel);
}

TEST(TreeParseStructure, ModelStringGivesOneBranchWithThreeLeaves) {
    std::int32_t code = -1;
    TreePtr tree = Parse("(korvan_tx (emphasis 2) (Vreg 1.1) (corner 0))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    ASSERT_EQ(tree->entry_count, 4);
    const TreeBranch* root = BranchAt(*tree, 0);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->name, "korvan_tx");
    EXPECT_EQ(tree->entries[0].level, 1);
    ASSERT_EQ(root->child_count, 3);
    const char* names[] = {"emphasis", "Vreg", "corner"};
    const char* texts[] = {"2", "1.1", "0"};
    const ValueType types[] = {VALUE_TYPE_INTEGER, VALUE_TYPE_REAL, VALUE_TYPE_INTEGER};
    for (int i = 0; i < 3; ++i) {
        const TreeLeaf* leaf = LeafAt(*tree, i + 1);
        ASSERT_NE(leaf, nullptr);
        EXPECT_EQ(tree->entries[i + 1].level, 2);
        EXPECT_EQ(root->children[i].node, leaf);  // the child is a copy of the flat entry
        EXPECT_STREQ(leaf->name, names[i]);
        ASSERT_EQ(leaf->value_count, 1);
        EXPECT_STREQ(leaf->values[0].text, texts[i]);
        EXPECT_EQ(leaf->values[0].type, types[i]);
        EXPECT_EQ(leaf->values[0].keyword, VALUE_KEYWORD_NONE);
    }
}

TEST(TreeParseStructure, NestedBranchesLinkToTheirParents) {
    std::int32_t code = -1;
    TreePtr tree = Parse("(r (s (a 1)) (b 2))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    const TreeBranch* r = BranchAt(*tree, 0);
    const TreeBranch* s = BranchAt(*tree, 1);
    ASSERT_TRUE(r && s);
    ASSERT_EQ(r->child_count, 2);
    EXPECT_EQ(ChildName(*r, 0), "s");
    EXPECT_EQ(ChildName(*r, 1), "b");
    ASSERT_EQ(s->child_count, 1);
    EXPECT_EQ(ChildName(*s, 0), "a");
    EXPECT_EQ(tree->entries[2].level, 3);
}

TEST(TreeParseStructure, LeafFollowedBySubGroupVanishesWithIt) {
    std::int32_t code = -1;
    TreePtr tree = Parse("(r (x 1 (y 2)) (z 3))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    ASSERT_EQ(tree->entry_count, 4);  // slots for every "(", two of them unused
    const TreeBranch* r = BranchAt(*tree, 0);
    ASSERT_EQ(r->child_count, 1);
    EXPECT_EQ(ChildName(*r, 0), "z");
    EXPECT_EQ(tree->entries[2].node, nullptr);
    EXPECT_EQ(tree->entries[3].node, nullptr);
}

TEST(TreeParseStructure, StrayValueAfterSubGroupAndEmptyBranchName) {
    std::int32_t code = -1;
    TreePtr stray = Parse("(r (x (y 2) 3))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    const TreeBranch* x = BranchAt(*stray, 1);
    ASSERT_NE(x, nullptr);
    ASSERT_EQ(x->child_count, 1);
    EXPECT_EQ(ChildName(*x, 0), "y");
    EXPECT_EQ(LeafAt(*stray, 2)->value_count, 1);

    TreePtr unnamed = Parse("(r ((a 1)))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    const TreeBranch* inner = BranchAt(*unnamed, 1);
    ASSERT_NE(inner, nullptr);
    EXPECT_STREQ(inner->name, "");
    EXPECT_EQ(ChildName(*inner, 0), "a");

    TreePtr tight = Parse("(r(a 1))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    EXPECT_STREQ(BranchAt(*tight, 0)->name, "r");
}

TEST(TreeParseValues, QuotedValuesKeepBlanksAndParentheses) {
    std::int32_t code = -1;
    TreePtr tree = Parse("(r (t \"a b (c)\" 4) (e \"\") (s \"  lead  \"x))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    const TreeLeaf* t = LeafAt(*tree, 1);
    ASSERT_EQ(t->value_count, 2);
    EXPECT_STREQ(t->values[0].text, "a b (c)");
    EXPECT_EQ(t->values[0].type, VALUE_TYPE_STRING);
    EXPECT_STREQ(t->values[1].text, "4");
    EXPECT_EQ(t->values[1].type, VALUE_TYPE_INTEGER);
    const TreeLeaf* e = LeafAt(*tree, 2);
    ASSERT_EQ(e->value_count, 1);
    EXPECT_STREQ(e->values[0].text, "");
    EXPECT_EQ(e->values[0].type, VALUE_TYPE_EMPTY);
    // Leading blanks inside quotes stay, trailing ones go; the closing quote
    // ends the value even without a blank after it.
    const TreeLeaf* s = LeafAt(*tree, 3);
    ASSERT_EQ(s->value_count, 2);
    EXPECT_STREQ(s->values[0].text, "  lead");
    EXPECT_STREQ(s->values[1].text, "x");
}

TEST(TreeParseValues, CallersTextIsNotChanged) {
    const std::string original = "(r (t \"a b\" 4))";
    std::vector<char> text(original.begin(), original.end());
    text.push_back('\0');
    ParameterTree* tree = nullptr;
    ASSERT_EQ(tree_parse(text.data(), &tree), TREE_PARSE_OK);
    EXPECT_EQ(std::string(text.data()), original);
    tree_free(tree);
}

TEST(TreeParseValues, Classification) {
    struct Case {
        const char* text;
        ValueType type;
    } cases[] = {
        {"", VALUE_TYPE_EMPTY},       {"True", VALUE_TYPE_BOOLEAN}, {"False", VALUE_TYPE_BOOLEAN},
        {"true", VALUE_TYPE_STRING},  {"TRUE", VALUE_TYPE_STRING},  {"1e3", VALUE_TYPE_REAL},
        {"2.0", VALUE_TYPE_REAL},     {".5", VALUE_TYPE_REAL},      {"5.", VALUE_TYPE_REAL},
        {"-1.5E-2", VALUE_TYPE_REAL}, {"+7", VALUE_TYPE_INTEGER},   {"2", VALUE_TYPE_INTEGER},
        {"-0", VALUE_TYPE_INTEGER},   {" 12", VALUE_TYPE_INTEGER},  {"99999999999999999999", VALUE_TYPE_INTEGER},
        {"0x10", VALUE_TYPE_STRING},  {"1e", VALUE_TYPE_STRING},    {"1e+", VALUE_TYPE_STRING},
        {".", VALUE_TYPE_STRING},     {"-", VALUE_TYPE_STRING},     {"inf", VALUE_TYPE_STRING},
        {"nan", VALUE_TYPE_STRING},   {"1,5", VALUE_TYPE_STRING},   {"Typ", VALUE_TYPE_STRING},
    };
    for (const Case& c : cases) EXPECT_EQ(tree_classify_value(c.text), c.type) << c.text;
}

TEST(TreeParseValues, KeywordCodesAreExactAndCaseSensitive) {
    std::int32_t code = -1;
    TreePtr tree = Parse("(r (Usage Out) (usage out) (Format Dual-Dirac 1 2 3) (Labels DjRj))", &code);
    ASSERT_EQ(code, TREE_PARSE_OK);
    EXPECT_EQ(LeafAt(*tree, 1)->keyword, LEAF_KEYWORD_USAGE);
    EXPECT_EQ(LeafAt(*tree, 1)->values[0].keyword, VALUE_KEYWORD_OUT);
    EXPECT_EQ(LeafAt(*tree, 2)->keyword, LEAF_KEYWORD_NONE);
    EXPECT_EQ(LeafAt(*tree, 2)->values[0].keyword, VALUE_KEYWORD_NONE);
    const TreeLeaf* format = LeafAt(*tree, 3);
    EXPECT_EQ(format->keyword, LEAF_KEYWORD_FORMAT);
    ASSERT_EQ(format->value_count, 4);
    EXPECT_EQ(format->values[0].keyword, VALUE_KEYWORD_DUAL_DIRAC);
    EXPECT_EQ(format->values[1].keyword, VALUE_KEYWORD_NONE);  // a number, not a string
    EXPECT_EQ(LeafAt(*tree, 4)->keyword, LEAF_KEYWORD_LABELS);
    EXPECT_EQ(LeafAt(*tree, 4)->values[0].keyword, VALUE_KEYWORD_DJRJ);

    EXPECT_EQ(tree_value_keyword("InOut"), VALUE_KEYWORD_INOUT);
    EXPECT_EQ(tree_value_keyword("UI"), VALUE_KEYWORD_UI);
    EXPECT_EQ(tree_value_keyword("ui"), VALUE_KEYWORD_NONE);
    EXPECT_EQ(tree_leaf_keyword("Description"), LEAF_KEYWORD_DESCRIPTION);
    EXPECT_EQ(tree_leaf_keyword("Default "), LEAF_KEYWORD_NONE);
}

TEST(TreeFree, ToleratesMissingParts) {
    tree_free(nullptr);
    std::int32_t code = -1;
    ParameterTree* tree = Parse("(r (a 1))", &code).release();
    ASSERT_NE(tree, nullptr);
    tree_free(tree);  // sanitizer builds catch a double or missed release
}

}  // namespace
