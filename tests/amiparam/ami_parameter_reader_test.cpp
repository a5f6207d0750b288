#include <gtest/gtest.h>

#include <string>

#include "amiparam/ami_parameter_reader.h"
#include "amiparam/parameter_tree.h"

namespace {

constexpr const char* kModelString = "(korvan_tx (emphasis 2) (Vreg 1.1) (corner 0))";

TEST(ReaderLookup, ModelParametersAsNumbers) {
    AmiParameterReader reader(kModelString);
    ASSERT_TRUE(reader.IsValid());
    double emphasis = -1.0, vreg = -1.0, corner = -1.0;
    EXPECT_TRUE(reader.GetValue(emphasis, "korvan_tx.emphasis"));
    EXPECT_TRUE(reader.GetValue(vreg, "korvan_tx.Vreg"));
    EXPECT_TRUE(reader.GetValue(corner, "korvan_tx.corner"));
    EXPECT_EQ(emphasis, 2.0);
    EXPECT_EQ(vreg, 1.1);
    EXPECT_EQ(corner, 0.0);
    std::int32_t whole = -1;
    EXPECT_TRUE(reader.GetValue(whole, "korvan_tx.Vreg"));
    EXPECT_EQ(whole, 1);
}

TEST(ReaderLookup, WrongPathsFailAndWriteNothing) {
    AmiParameterReader reader(kModelString);
    for (const char* path : {"korvan_tx.Emphasis", "emphasis", "korvan_tx", "korvan_tx.", "korvan_tx.emphasis.",
                             "Korvan_tx.emphasis", "korvan_tx.emphasis ", "", ".emphasis"}) {
        double value = 42.0;
        EXPECT_FALSE(reader.GetValue(value, path)) << path;
        EXPECT_EQ(value, 42.0) << path;
        EXPECT_EQ(reader.GetLeaf(path), nullptr) << path;
    }
    EXPECT_EQ(reader.GetLeaf(nullptr), nullptr);
}

TEST(ReaderLookup, TypeMismatchesFailAndWriteNothing) {
    AmiParameterReader reader(kModelString);
    bool flag = true;
    std::string text = "keep";
    EXPECT_FALSE(reader.GetValue(flag, "korvan_tx.emphasis"));
    EXPECT_FALSE(reader.GetValue(text, "korvan_tx.emphasis"));
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "keep");

    AmiParameterReader named("(korvan_tx (corner Typ) (emphasis \"\") (Vreg 1e-1))");
    double corner = 7.0, emphasis = 7.0, vreg = 0.0;
    EXPECT_FALSE(named.GetValue(corner, "korvan_tx.corner"));
    EXPECT_FALSE(named.GetValue(emphasis, "korvan_tx.emphasis"));  // empty value
    EXPECT_EQ(corner, 7.0);
    EXPECT_EQ(emphasis, 7.0);
    EXPECT_TRUE(named.GetValue(vreg, "korvan_tx.Vreg"));
    EXPECT_DOUBLE_EQ(vreg, 0.1);
}

TEST(ReaderLookup, FirstValueAndFirstMatchWin) {
    AmiParameterReader reader("(korvan_tx (sub (emphasis 9)) (emphasis 2 3) (emphasis 5))");
    double emphasis = 0.0;
    EXPECT_TRUE(reader.GetValue(emphasis, "korvan_tx.emphasis"));
    EXPECT_EQ(emphasis, 2.0);  // not 9 (deeper path), not 3 (second value), not 5 (second leaf)
    EXPECT_TRUE(reader.GetValue(emphasis, "korvan_tx.sub.emphasis"));
    EXPECT_EQ(emphasis, 9.0);
    EXPECT_EQ(reader.GetLeaf("korvan_tx.sub"), nullptr);  // a branch is never found
}

TEST(ReaderLookup, BooleansStringsAndIntegers) {
    AmiParameterReader reader(
        "(m (on True) (off False) (lower true) (name \"Tx One\") (count -2.9) (big 3e9) (num \"12\"))");
    bool flag = false;
    EXPECT_TRUE(reader.GetValue(flag, "m.on"));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(reader.GetValue(flag, "m.off"));
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_FALSE(reader.GetValue(flag, "m.lower"));  // a string, not a boolean
    EXPECT_TRUE(flag);

    std::string name = "old";
    EXPECT_TRUE(reader.GetValue(name, "m.name"));
    EXPECT_EQ(name, "Tx One");
    EXPECT_TRUE(reader.GetValue(name, "m.lower"));
    EXPECT_EQ(name, "true");
    EXPECT_FALSE(reader.GetValue(name, "m.num"));  // a quoted number is still a number
    EXPECT_EQ(name, "true");

    std::int32_t count = 0;
    EXPECT_TRUE(reader.GetValue(count, "m.count"));
    EXPECT_EQ(count, -2);  // truncated toward zero
    count = 5;
    EXPECT_FALSE(reader.GetValue(count, "m.big"));  // beyond 32 bits
    EXPECT_EQ(count, 5);
    EXPECT_FALSE(reader.GetValue(count, "m.on"));
}

TEST(ReaderLookup, UnusableStringsGiveAReaderThatFindsNothing) {
    for (const char* text : {"(korvan_tx (emphasis 2)", "", "(emphasis 2)", "korvan_tx (emphasis 2)",
                             "(korvan_tx (emphasis 2)) (Vreg 1)"}) {
        AmiParameterReader reader(text);
        EXPECT_FALSE(reader.IsValid()) << text;
        double value = 3.0;
        EXPECT_FALSE(reader.GetValue(value, "korvan_tx.emphasis")) << text;
        EXPECT_EQ(value, 3.0);
    }
    AmiParameterReader missing(nullptr);
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.Tree(), nullptr);
}

TEST(ReaderLookup, OtherRootNameLeavesTheModelOnItsDefaults) {
    AmiParameterReader reader("(other_tx (emphasis 2) (Vreg 1.1) (corner 0))");
    EXPECT_TRUE(reader.IsValid());
    double value = 0.5;
    for (const char* path : {"korvan_tx.emphasis", "korvan_tx.Vreg", "korvan_tx.corner"}) {
        EXPECT_FALSE(reader.GetValue(value, path));
    }
    EXPECT_EQ(value, 0.5);
}

TEST(ReaderLookup, EmptyNamesJoinLikeAnyOther) {
    // Below a named root an unnamed branch still adds its "."; an unnamed
    // root adds nothing.
    AmiParameterReader reader("(r ((a 1.25)))");
    double a = 0.0;
    EXPECT_FALSE(reader.GetValue(a, "r.a"));
    EXPECT_TRUE(reader.GetValue(a, "r..a"));
    EXPECT_EQ(a, 1.25);
    AmiParameterReader unnamed("((a 2))");
    EXPECT_TRUE(unnamed.GetValue(a, "a"));
    EXPECT_EQ(a, 2.0);
    EXPECT_EQ(tree_value_to_double("-2.5e-3"), -2.5e-3);
    EXPECT_EQ(tree_value_to_double(" +4"), 4.0);
}

TEST(ReaderLookup, MovedReaderKeepsItsTree) {
    AmiParameterReader first(kModelString);
    AmiParameterReader second(std::move(first));
    double emphasis = 0.0;
    EXPECT_TRUE(second.GetValue(emphasis, "korvan_tx.emphasis"));
    EXPECT_FALSE(first.IsValid());  // NOLINT(bugprone-use-after-move): moved-from state is defined
    AmiParameterReader third("(x (y 1))");
    third = std::move(second);
    EXPECT_TRUE(third.GetValue(emphasis, "korvan_tx.Vreg"));
    EXPECT_EQ(emphasis, 1.1);
}

TEST(TreeFindLeaf, PrefixAndMissingBranch) {
    AmiParameterReader reader("(r (s (a 1)))");
    const TreeBranch* s = tree_entry_branch(reader.Tree()->entries[1]);
    ASSERT_NE(s, nullptr);
    EXPECT_NE(tree_find_leaf(s, "r.s.a", "r"), nullptr);
    EXPECT_NE(tree_find_leaf(s, "s.a", ""), nullptr);
    EXPECT_EQ(tree_find_leaf(s, "q.s.a", "r"), nullptr);
    EXPECT_EQ(tree_find_leaf(nullptr, "r.s.a", ""), nullptr);
}

}  // namespace
