// Parameters in every form .ami files in the field write them, and files a
// checker would fault that a simulator still reads.

#include <gtest/gtest.h>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/models/parameter_string.h"

using namespace amisim;

namespace {

const AmiParameter& Reserved(const AmiFile& file, const char* name) {
    const AmiParameter* parameter = file.Reserved(name);
    if (parameter == nullptr) throw std::runtime_error(std::string("no reserved parameter ") + name);
    return *parameter;
}

TEST(AmiForms, ReservedFlagsReadInEveryForm) {
    struct Case {
        const char* written;
        bool value;
        const char* source;
    };
    const Case cases[] = {
        {"(Usage Info) (Type Boolean) (Default True)", true, "Default"},
        {"(Usage Info) (Type Boolean) (Value True)", true, "Value"},
        {"(Usage Info) (Type Boolean) (Format Value True)", true, "Format Value"},
        {"(Usage Info) (Type Boolean) (Format Value False) (Default True)", false, "Format Value"},
        {"(Usage Info) (Type Boolean) (Format List True False)", true, "Format List"},
        {"(Usage Info) (Type Boolean) (List False True)", false, "List"},
        {"(Usage Info) (Type Boolean) (Format List True False) (Default False)", false, "Default"},
        {"True", true, "short form"},
        {"(Usage Info) (Type Boolean) (Value true)", true, "Value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        const AmiFile file = ParseAmiText(std::string("(m (Reserved_Parameters (Init_Returns_Impulse ") + c.written +
                                              ") (GetWave_Exists " + c.written + ")))",
                                          "m.ami");
        EXPECT_EQ(file.init_returns_impulse, c.value);
        EXPECT_EQ(file.getwave_exists, c.value);
        EXPECT_EQ(Reserved(file, "GetWave_Exists").Source(), c.source);
        EXPECT_TRUE(file.warnings.empty());
    }
}

TEST(AmiForms, NumbersInEveryFormTakeTheTypicalValue) {
    struct Case {
        const char* written;
        std::optional<long> value;
        const char* source;
    };
    const Case cases[] = {
        {"(Ignore_Bits 7)", 7, "short form"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Default 8))", 8, "Default"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Value 9))", 9, "Value"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Format Range 10 0 100))", 10, "Format Range"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Corner 11 5 20))", 11, "Corner"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Format Corner 12 5 20))", 12, "Format Corner"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Format Increment 13 0 20 1))", 13, "Format Increment"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Steps 14 0 20 2))", 14, "Steps"},
        // Unreadable as a count: the parameter is there, its value is not.
        {"(Ignore_Bits (Usage Info) (Type Integer) (Value -3))", std::nullopt, "Value"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Value 2.5))", std::nullopt, "Value"},
        {"(Ignore_Bits (Usage Info) (Type Integer) (Value many))", std::nullopt, "Value"},
        {"(Ignore_Bits (Usage Info) (Type Integer))", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        const AmiFile file = ParseAmiText(std::string("(m (Reserved_Parameters ") + c.written + "))", "m.ami");
        EXPECT_EQ(file.ignore_bits, c.value);
        EXPECT_EQ(Reserved(file, "Ignore_Bits").Source(), c.source);
    }
}

TEST(AmiForms, JitterFormatsAndTablesKeepTheirValues) {
    const AmiFile file = ParseAmiText(R"((m (Reserved_Parameters
        (Tx_Jitter (Usage Info) (Type Float) (Format Gaussian 0 1e-12))
        (Rx_Clock_PDF (Usage Info) (Type UI) (Format Dual-Dirac -0.01 0.01 0.002))
        (Tx_DCD (Usage Info) (Type Float) (DjRj 0 1e-12 2e-13))
        (Tx_Rj (Usage Info) (Type UI) (Format Range 0.01 0 0.05))
        (Rx_Receiver_Sensitivity (Usage Info) (Type Float) (Value 0.015))
        (Tx_Jitter_Table (Usage Info) (Type Float)
            (Format Table (Labels time probability) (-2e-12 0.25) (0 0.5) (2e-12 0.25))))))",
                                      "jitter.ami");
    EXPECT_TRUE(file.warnings.empty());
    const AmiParameter& gaussian = Reserved(file, "Tx_Jitter");
    EXPECT_EQ(gaussian.type, "Float");
    EXPECT_EQ(gaussian.format, "Gaussian");
    EXPECT_TRUE(gaussian.format_keyword);
    EXPECT_EQ(gaussian.format_values, (std::vector<std::string>{"0", "1e-12"}));
    EXPECT_FALSE(gaussian.EffectiveDefault());  // two figures, no single value
    EXPECT_EQ(Reserved(file, "Rx_Clock_PDF").format_values, (std::vector<std::string>{"-0.01", "0.01", "0.002"}));
    EXPECT_EQ(Reserved(file, "Rx_Clock_PDF").type, "UI");
    EXPECT_EQ(Reserved(file, "Tx_DCD").format, "DjRj");
    EXPECT_FALSE(Reserved(file, "Tx_DCD").format_keyword);
    EXPECT_EQ(ParseAmiNumber(*Reserved(file, "Tx_Rj").EffectiveDefault()), 0.01);
    EXPECT_EQ(ParseAmiNumber(*Reserved(file, "Rx_Receiver_Sensitivity").EffectiveDefault()), 0.015);
    const AmiTable& table = Reserved(file, "Tx_Jitter_Table").table;
    EXPECT_EQ(table.labels, (std::vector<std::string>{"time", "probability"}));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0], (std::vector<std::string>{"-2e-12", "0.25"}));
    EXPECT_EQ(table.rows[2], (std::vector<std::string>{"2e-12", "0.25"}));
}

TEST(AmiForms, WhatASimulatorCanMakeSenseOfStillLoads) {
    // A supporting-files table of quoted names, a group with a name only, a
    // group without a name, values mixed with sub-groups: each passed over
    // with one warning, the rest read.
    const AmiFile file = ParseAmiText(R"((rx (Reserved_Parameters
        (AMI_Version (Usage Info) (Type String) (Value "6.1"))
        (Init_Returns_Impulse (Usage Info) (Type Boolean) (Value True))
        (GetWave_Exists (Usage Info) (Type Boolean) (Value True))
        (Supporting_Files (Usage Info) (Type String) (Table ("PCIeG5_32GT.ens") ("other.txt"))
            (Description "files the model reads"))
        (Max_Init_Aggressors)
        (("odd")))
      (Model_Specific
        (ctle (Usage In) (Type Integer) (List 0 1 2) (Default 1) stray)
        (taps (Usage In) (Type Tap) (Table (Labels index value) (-1 0.1) (0 0.7)))
        (loose 3))))",
                                      "field.ami");
    EXPECT_EQ(file.init_returns_impulse, true);
    EXPECT_EQ(file.getwave_exists, true);
    const AmiParameter& files = Reserved(file, "Supporting_Files");
    EXPECT_EQ(files.format, "Table");
    ASSERT_EQ(files.table.rows.size(), 2u);
    EXPECT_EQ(files.table.rows[0], std::vector<std::string>{"PCIeG5_32GT.ens"});
    EXPECT_EQ(Reserved(file, "AMI_Version").EffectiveDefault(), "6.1");
    EXPECT_EQ(file.Reserved("Max_Init_Aggressors"), nullptr);
    ASSERT_EQ(file.warnings.size(), 3u);
    EXPECT_EQ(file.warnings[0], "field.ami: reserved parameter Max_Init_Aggressors has a name only and is not read");
    EXPECT_EQ(file.warnings[1], "field.ami: a group without a name in Reserved_Parameters is not read");
    EXPECT_EQ(file.warnings[2], "field.ami: parameter ctle: values among its sub-groups are not read");

    // The table goes unpassed with a warning; the short form is an input.
    const ParameterString built = BuildParameterString(file, {});
    EXPECT_EQ(built.text, "(rx (ctle 1) (loose 3))");
    ASSERT_EQ(built.warnings.size(), 1u);
    EXPECT_NE(built.warnings[0].find("taps"), std::string::npos);
}

TEST(AmiForms, ModelSpecificFormsGiveTheValueAHostPasses) {
    const AmiFile file = ParseAmiText(R"((m (Model_Specific
        (a (Usage In) (Type Float) (Format Value 1.5))
        (b (Usage In) (Type Float) (Value 2.5))
        (c (Usage In) (Type Integer) (Format Corner 3 1 5))
        (d (Usage In) (Type UI) (Format Increment 0.25 0 1 0.05))
        (e (Usage In) (Type Integer) (Format Steps 4 0 8 2) (Default 6))
        (f (Usage In) (Type String) (Format List "x y" "z"))
        (group (Description "a group, not a parameter")
            (g (Usage InOut) (Type Boolean) (Format Value False))))))",
                                      "m.ami");
    EXPECT_TRUE(file.warnings.empty());
    EXPECT_EQ(BuildParameterString(file, {}).text,
              "(m (a 1.5) (b 2.5) (c 3) (d 0.25) (e 6) (f \"x y\") (group (g False)))");
}

TEST(AmiForms, TextThatIsNoTreeIsStillRefused) {
    for (const char* text : {"(m (Reserved_Parameters (a 1))))", "m (a 1)", "(m (a \"open))", "((\"x\") (a 1))", ""}) {
        SCOPED_TRACE(text);
        try {
            ParseAmiText(text, "bad.ami");
            FAIL() << "must be refused";
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            EXPECT_EQ(std::string(e.what()).rfind("bad.ami: ", 0), 0u) << e.what();
        }
    }
    // Deep nesting is refused, not a crash.
    std::string deep(10000, '(');
    deep += std::string(10000, ')');
    EXPECT_THROW(ParseAmiText(deep, "deep.ami"), AmisimError);
}

}  // namespace
