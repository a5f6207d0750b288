// Consistency checks that golden files cannot reach: node lists with
// repeated names (the reader keeps one of each), and the curve arithmetic
// on inputs the reader would not let through.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/acdc.h"
#include "IbisParser/acdc_internal.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rng.h"
#include "IbisParser/node.h"
#include "msg_test_capture.h"

namespace {

int Occurrences(const std::string& text, const std::string& what) {
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST(AcdcNodes, EveryPairOfEqualNamesAndEveryPinNamedLikeANode) {
    MessageCapture capture;
    char a[] = "A", b[] = "B", x[] = "X";
    NODE n6{nullptr, x}, n5{&n6, x}, n4{&n5, x}, n3{&n4, a}, n2{&n3, b}, n1{&n2, a};
    PIN pin{};
    std::snprintf(pin.pin, sizeof pin.pin, "B");
    CMPNT component{};
    std::snprintf(component.name, sizeof component.name, "Chip");
    component.nodes = &n1;
    component.pins = &pin;
    ACDC_SanityCheckComponents(&component);
    std::string text = capture.Take();
    EXPECT_EQ(Occurrences(text, "Duplicate Node Name <A>"), 1);
    EXPECT_EQ(Occurrences(text, "Duplicate Node Name <X>"), 3);
    EXPECT_EQ(Occurrences(text, "Duplicate Node Name <B>"), 0);
    EXPECT_EQ(Occurrences(text, "Component <Chip>: Illegal Node: <B> same as pin <B>"), 1);
    EXPECT_EQ(MessageCapture::Errors(), 5);
}

ACDC_CURVE CurveOf(ACDC_POINT* points, int count) { return ACDC_CURVE{points, count, 1}; }

TEST(AcdcCurve, SumTakesNearVoltagesOnceAndRestoresFallingInputs) {
    MessageCapture capture;
    ACDC_POINT rising[] = {{0.0, 0.0, 1}, {1.0, 1.0, 1}, {2.0, 2.0, 1}};
    ACDC_POINT falling[] = {{2.0, 0.5, 1}, {1.000001, 0.5, 1}, {0.0, 0.5, 1}};
    ACDC_CURVE a = CurveOf(rising, 3);
    ACDC_CURVE b = CurveOf(falling, 3);
    ACDC_CURVE sum = ACDC_Sum(&a, &b);
    ASSERT_EQ(sum.count, 3);
    EXPECT_DOUBLE_EQ(sum.points[0].voltage, 0.0);
    EXPECT_DOUBLE_EQ(sum.points[1].current, 1.5);
    EXPECT_DOUBLE_EQ(sum.points[2].current, 2.5);
    EXPECT_DOUBLE_EQ(falling[0].voltage, 2.0);  // put back as it was
    ACDC_Release(&sum);
}

TEST(AcdcCurve, InterpolationExtrapolatesAndSkipsPointsWithoutValues) {
    ACDC_POINT points[] = {{0.0, 0.0, 1}, {1.0, 99.0, 0}, {2.0, 2.0, 1}, {3.0, 4.0, 1}};
    ACDC_CURVE curve = CurveOf(points, 4);
    double current = 0.0;
    ASSERT_TRUE(ACDC_CurrentAt(&curve, 1.0, &current));
    EXPECT_DOUBLE_EQ(current, 1.0);
    ASSERT_TRUE(ACDC_CurrentAt(&curve, 4.0, &current));
    EXPECT_DOUBLE_EQ(current, 6.0);
    ASSERT_TRUE(ACDC_CurrentAt(&curve, -1.0, &current));
    EXPECT_DOUBLE_EQ(current, -1.0);
    ACDC_POINT flat[] = {{1.0, 1.0, 1}, {1.0, 2.0, 1}};
    ACDC_CURVE noDirection = CurveOf(flat, 2);
    EXPECT_FALSE(ACDC_CurrentAt(&noDirection, 1.0, &current));
}

TEST(AcdcCurve, LoadLineMeetsResistorsAndFailsOnParallelLines) {
    // 10 Ohm to ground against 50 Ohm to 3.3 V: 0.55 V.
    ACDC_POINT resistor[] = {{-3.3, -0.33, 1}, {0.0, 0.0, 1}, {3.3, 0.33, 1}};
    ACDC_CURVE curve = CurveOf(resistor, 3);
    double v = 0.0;
    ASSERT_TRUE(ACDC_LoadLine(&curve, 50.0, 3.3, 0.0, &v));
    EXPECT_NEAR(v, 0.55, 1e-12);
    // A curve running downwards gives the same crossing.
    ACDC_POINT reversed[] = {{3.3, 0.33, 1}, {0.0, 0.0, 1}, {-3.3, -0.33, 1}};
    ACDC_CURVE down = CurveOf(reversed, 3);
    ASSERT_TRUE(ACDC_LoadLine(&down, 50.0, 3.3, 0.0, &v));
    EXPECT_NEAR(v, 0.55, 1e-9);
    // -1/R as the slope: no crossing.
    ACDC_POINT parallel[] = {{0.0, 0.0, 1}, {1.0, -1.0, 1}};
    ACDC_CURVE line = CurveOf(parallel, 2);
    EXPECT_FALSE(ACDC_LoadLine(&line, 1.0, 0.0, 0.0, &v));
}

TEST(AcdcCurve, MonotonicCheckReportsOncePerCurve) {
    MessageCapture capture;
    ACDC_POINT points[] = {{0.0, 0.0, 1}, {1.0, 1.0, 1}, {2.0, 1.0, 1}, {3.0, 0.5, 1}, {4.0, 2.0, 1}, {5.0, 0.1, 1}};
    ACDC_CURVE curve = CurveOf(points, 6);
    ACDC_CheckMonotonic(&curve, "Combined Pulldown for Model:", "buf", 1);
    EXPECT_EQ(capture.Take(), "WARNING - Combined Pulldown for Model: buf Minimum data is non-monotonic\n");
}

}  // namespace

namespace {

// A 3-row table from -3.3 V to 3.3 V with the same current slope in every
// corner.
void FillTable(CRV* table, RNGP* rows, double currentAt3v3) {
    const double voltages[3] = {-3.3, 0.0, 3.3};
    for (int k = 0; k < 3; ++k) {
        rows[k] = RNGP{};
        rows[k].x = voltages[k];
        rows[k].xState = 1;
        for (int c = 0; c < 3; ++c) {
            rows[k].value[c] = currentAt3v3 * voltages[k] / 3.3;
            rows[k].state[c] = 1;
        }
    }
    *table = CRV{};
    table->points.rows = rows;
    table->points.count = 3;
}

TEST(AcdcVmeas, AWeakPullupMissesVmeasUnlessAnExternalModelDescribesTheBuffer) {
    MessageCapture capture;
    RNGP downRows[3], upRows[3];
    CRV pulldown, pullup;
    FillTable(&pulldown, downRows, 0.33);  // 10 Ohm
    FillTable(&pullup, upRows, -0.033);    // 100 Ohm
    RNG range{{3.3, 3.3, 3.3}, {1, 1, 1}};
    MDL model{};
    std::snprintf(model.name, sizeof model.name, "weak");
    model.model_type = MDL_TYPE_OUTPUT;
    model.voltageRange = &range;
    model.pulldown = &pulldown;
    model.pullup = &pullup;
    model.vmeas = {1.5, 1};
    model.rref = {50.0, 1};
    model.vref = {0.0, 1};
    ACDC_CheckModels(&model);
    EXPECT_EQ(Occurrences(capture.Take(), "VI curves cannot drive through Vmeas=1.5V"), 3);
    model.keywordsSeen = 1ULL << (KW::EXTERNAL_MODEL - 30);
    ACDC_CheckModels(&model);
    EXPECT_EQ(capture.Take(), "");
}

}  // namespace
