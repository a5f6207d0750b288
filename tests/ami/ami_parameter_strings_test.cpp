// Parameter strings as simulators hand them over, through AMI_Init: what is
// read, what falls back to its default with a sentence, and which driver
// response ends up selected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ami/ami_model_instance.h"
#include "tests/ami/ami_test_support.h"

using amitest::Instance;

namespace {

std::string Unread(const char* name) {
    return std::string("The IBIS-AMI model, korvan_tx, is unable to initialize the parameter ") + name +
           " from the AMI_Init arguments.  The model will use the default setting. ";
}

const korvan_tx& ModelOf(const Instance& instance) {
    return static_cast<const AmiModelInstance*>(instance.handle)->model;
}

std::vector<double> Filtered(Instance& instance) {
    std::vector<double> wave = amitest::BitPattern(64, 16, 7u);
    EXPECT_EQ(instance.GetWave(wave), 1);
    return wave;
}

TEST(AmiParameterStrings, ANameWhereANumberBelongsFallsBackWithItsSentence) {
    Instance instance("(korvan_tx (emphasis 1) (Vreg 1) (corner Typ))");
    EXPECT_EQ(instance.result, 1);
    ASSERT_NE(instance.msg, nullptr);
    EXPECT_EQ(std::string(instance.msg), Unread("corner"));
    EXPECT_EQ(ModelOf(instance).corner, 2.0);
    EXPECT_EQ(ModelOf(instance).Vreg, 1.0);
}

TEST(AmiParameterStrings, QuotesAreTakenOffBeforeTheValueIsClassified) {
    // The reader blanks the quotes of a value, so "2" is the integer 2.
    Instance instance("(korvan_tx (emphasis \"2\") (Vreg 2) (corner 2))");
    EXPECT_EQ(instance.msg, nullptr);
    EXPECT_EQ(ModelOf(instance).emphasis, 2.0);
}

TEST(AmiParameterStrings, OnlyTheFirstOfSeveralValuesCounts) {
    Instance instance("(korvan_tx (emphasis 2 3) (Vreg 2) (corner 2))");
    EXPECT_EQ(instance.msg, nullptr);
    EXPECT_EQ(ModelOf(instance).emphasis, 2.0);
}

TEST(AmiParameterStrings, FractionalSelectionsRoundToTheirResponse) {
    // Vreg 1.1 rounds to 1 and corner 0 stays 0: response 3, as Vreg 1 would give.
    Instance fractional("(korvan_tx (emphasis 2) (Vreg 1.1) (corner 0))");
    Instance whole("(korvan_tx (emphasis 2) (Vreg 1) (corner 0))");
    Instance other("(korvan_tx (emphasis 2) (Vreg 2) (corner 0))");
    ASSERT_EQ(fractional.result, 1);
    EXPECT_EQ(fractional.msg, nullptr);
    EXPECT_EQ(ModelOf(fractional).emphasis, 2.0);
    EXPECT_EQ(ModelOf(fractional).Vreg, 1.1);
    const std::vector<double> selected = Filtered(fractional);
    EXPECT_EQ(selected, Filtered(whole));
    EXPECT_NE(selected, Filtered(other));
}

TEST(AmiParameterStrings, AnotherRootNameLeavesEveryDefault) {
    Instance instance("(other_tx (emphasis 3) (Vreg 0) (corner 0))");
    EXPECT_EQ(instance.result, 1);
    ASSERT_NE(instance.msg, nullptr);
    EXPECT_EQ(std::string(instance.msg), Unread("emphasis") + Unread("Vreg") + Unread("corner"));
    EXPECT_EQ(ModelOf(instance).emphasis, 0.0);
}

}  // namespace
