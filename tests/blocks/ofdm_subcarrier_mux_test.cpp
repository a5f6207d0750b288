#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "blocks/ofdm_subcarrier_mux.h"

using Vantrel::DF_OFDM_SubcarrierMux;
using Complex = std::complex<double>;
using Positions = std::vector<std::uint32_t>;

namespace {

struct SetupOutcome {
    bool ok;
    std::string errors;
};

SetupOutcome SetupOf(DF_OFDM_SubcarrierMux& mux) {
    testing::internal::CaptureStderr();
    const bool ok = mux.Setup();
    return {ok, testing::internal::GetCapturedStderr()};
}

// A block with `inputs` connected branches and centred frames of `dft` bins.
void Configure(DF_OFDM_SubcarrierMux& mux, std::int32_t dft, std::uint32_t inputs) {
    mux.DFTSize = dft;
    mux.NumInput = static_cast<std::int32_t>(inputs);
    mux.CenteredIndexing = 1;
    mux.Input.SetWidth(inputs);
}

// A block with a single input of the given pattern.
void OneInput(DF_OFDM_SubcarrierMux& mux, std::int32_t dft, std::span<const std::int32_t> counts,
              std::span<const std::int32_t> indices, std::int32_t indexType = 0) {
    Configure(mux, dft, 1);
    mux.CarriersPerSym[0] = counts.data();
    mux.NumSymbols[0] = static_cast<std::int32_t>(counts.size());
    mux.CarrierIndexType[0] = indexType;
    mux.CarrierIndex[0] = indices;
}

// Port storage sized by the rates that Setup declared.
struct Storage {
    explicit Storage(DF_OFDM_SubcarrierMux& mux) {
        const std::uint32_t width = mux.Input.Width();
        inputs.resize(width);
        for (std::uint32_t i = 0; i < width; ++i) {
            auto* branch = mux.Input.Branch(i);
            inputs[i].assign(branch->rate + 1, Complex{});
            for (std::size_t j = 0; j < inputs[i].size(); ++j) inputs[i][j] = Complex(100.0 * i + j, -1.0);
            branch->Attach(inputs[i].data(), static_cast<std::uint32_t>(inputs[i].size()), branch->rate, 0);
        }
        output.assign(mux.Output.rate, Complex(-7.0, -7.0));
        mux.Output.Attach(output.data(), static_cast<std::uint32_t>(output.size()), mux.Output.rate, 0);
        evmRef.assign(mux.EVMRefOutput.rate + 1, Complex(-9.0, -9.0));
        mux.EVMRefOutput.Attach(evmRef.data(), static_cast<std::uint32_t>(evmRef.size()), mux.EVMRefOutput.rate, 0);
    }
    std::vector<std::vector<Complex>> inputs;
    std::vector<Complex> output;
    std::vector<Complex> evmRef;
};

TEST(OfdmSubcarrierMux, FirstChecksStopAtOnceWithTheirOwnMessage) {
    for (std::int32_t dft : {5, 2, -4, 0}) {
        DF_OFDM_SubcarrierMux mux;
        Configure(mux, dft, 1);
        EXPECT_EQ(SetupOf(mux).errors, "DFTSize should be a positive even integer (>=4)\n") << dft;
    }
    for (std::int32_t count : {0, 5, -1}) {
        DF_OFDM_SubcarrierMux mux;
        Configure(mux, 6, 1);
        mux.NumInput = count;
        EXPECT_EQ(SetupOf(mux).errors, "NumInput must be in the range of [1,4]\n") << count;
    }
    DF_OFDM_SubcarrierMux wide;
    Configure(wide, 6, 2);
    wide.NumInput = 1;
    EXPECT_EQ(SetupOf(wide).errors, "Bus width of pin Input must equals to parameter NumInput\n");

    DF_OFDM_SubcarrierMux idle;
    Configure(idle, 6, 2);
    idle.Input.Branch(0)->connected = false;
    idle.Input.Branch(1)->connected = false;
    const SetupOutcome none = SetupOf(idle);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.errors, "At least one branch of pin Input must be connected.\n\n");

    // DFTSize 6 passes: an empty pattern is a valid, if idle, input.
    DF_OFDM_SubcarrierMux six;
    Configure(six, 6, 1);
    const SetupOutcome good = SetupOf(six);
    EXPECT_TRUE(good.ok);
    EXPECT_EQ(good.errors, "");
    EXPECT_EQ(six.Output.rate, 6u);
}

TEST(OfdmSubcarrierMux, RangesPlaceCarriersCentredOrWrapped) {
    const std::int32_t counts[] = {2};
    // Starts {-2, 3}, ends {-1, 2}: the second range is empty and the odd
    // last value is no part of any range.
    const std::int32_t ranges[] = {-2, 3, -1, 2, 99};
    for (std::int32_t centred : {1, 0}) {
        DF_OFDM_SubcarrierMux mux;
        OneInput(mux, 4, counts, ranges, 1);
        mux.OversamplingOption = 33;  // shift taken modulo 32: frames of 8 bins
        mux.CenteredIndexing = centred;
        ASSERT_TRUE(SetupOf(mux).ok);
        EXPECT_EQ(mux.Layout().frameLength, 8u);
        EXPECT_EQ(mux.Layout().inputMap[0], centred ? Positions({2, 3}) : Positions({6, 7}));
        EXPECT_EQ(mux.Input.Branch(0)->rate, 2u);
        EXPECT_EQ(mux.Output.rate, 8u);

        Storage storage(mux);
        EXPECT_TRUE(mux.Run());
        for (std::uint32_t p = 0; p < 8; ++p) {
            const auto& map = mux.Layout().inputMap[0];
            if (p == map[0]) {
                EXPECT_EQ(storage.output[p], Complex(0.0, -1.0));
            } else if (p == map[1]) {
                EXPECT_EQ(storage.output[p], Complex(1.0, -1.0));
            } else {
                EXPECT_EQ(storage.output[p], Complex(-7.0, -7.0)) << "unmapped item " << p << " was written";
            }
        }
    }
}

TEST(OfdmSubcarrierMux, PatternsRepeatUpToTheLeastCommonMultipleOfSymbols) {
    DF_OFDM_SubcarrierMux mux;
    Configure(mux, 4, 3);
    const std::int32_t counts0[] = {1, 1};
    const std::int32_t indices0[] = {0, 1};
    const std::int32_t counts1[] = {1, 0, 2};
    const std::int32_t indices1[] = {-2, -1, 1};
    mux.CarriersPerSym = {counts0, counts1, nullptr};
    mux.NumSymbols = {2, 3, 7};
    mux.CarrierIndex = {indices0, indices1, {}};
    mux.Input.Branch(2)->connected = false;  // its 7 symbols do not count
    ASSERT_TRUE(SetupOf(mux).ok);
    const auto& layout = mux.Layout();
    EXPECT_EQ(layout.symbolsPerFiring, 6u);
    EXPECT_EQ(layout.outputRate, 24u);
    // Input 0: positions 2 and 3 + 4, three periods of two frames.
    EXPECT_EQ(layout.inputMap[0], Positions({2, 7, 10, 15, 18, 23}));
    // Input 1: 0 in frame 0, nothing in frame 1, 1 and 3 in frame 2; twice.
    EXPECT_EQ(layout.inputMap[1], Positions({0, 9, 11, 12, 21, 23}));
    EXPECT_TRUE(layout.inputMap[2].empty());
    EXPECT_EQ(mux.Input.Branch(0)->rate, 6u);
    EXPECT_EQ(mux.Input.Branch(1)->rate, 6u);
    EXPECT_EQ(mux.Input.Branch(2)->rate, 1u);  // untouched

    Storage storage(mux);
    EXPECT_TRUE(mux.Run());
    EXPECT_EQ(storage.output[18], Complex(4.0, -1.0));
    EXPECT_EQ(storage.output[21], Complex(104.0, -1.0));
    // The later input wins a position that both name.
    EXPECT_EQ(storage.output[23], Complex(105.0, -1.0));
    EXPECT_EQ(storage.output[1], Complex(-7.0, -7.0));

    // A branch disconnected after Setup is skipped.
    mux.Input.Branch(1)->connected = false;
    storage.inputs[1][4] = Complex(0.5, 0.5);
    EXPECT_TRUE(mux.Run());
    EXPECT_EQ(storage.output[21], Complex(104.0, -1.0));
}

TEST(OfdmSubcarrierMux, LaterChecksAreCollectedAndKeepFailing) {
    DF_OFDM_SubcarrierMux mux;
    Configure(mux, 8, 2);
    const std::int32_t counts[] = {2};
    const std::int32_t threeIndices[] = {-2, 0};  // ranges [-2, 0]
    mux.CarriersPerSym = {counts, counts};
    mux.NumSymbols = {1, 1};
    mux.CarrierIndexType = {1, 0};
    mux.CarrierIndex[0] = threeIndices;
    const SetupOutcome first = SetupOf(mux);
    EXPECT_FALSE(first.ok);
    EXPECT_EQ(first.errors, "Parameters of the 0'th branch don't match.\n\n");

    // The reason sticks: correct parameters do not clear it.
    const std::int32_t twoIndices[] = {-2, -1};
    mux.CarrierIndex[0] = twoIndices;
    mux.CarrierIndex[1] = twoIndices;
    EXPECT_EQ(SetupOf(mux).errors, "Parameters of the 0'th branch don't match.\n\n");

    DF_OFDM_SubcarrierMux outside;
    Configure(outside, 8, 2);
    const std::int32_t beyond[] = {3, 4};
    outside.CarriersPerSym = {counts, counts};
    outside.NumSymbols = {1, 1};
    outside.CarrierIndex = {twoIndices, beyond};
    EXPECT_EQ(SetupOf(outside).errors,
              "Sub-carrier index of the 1'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n");

    DF_OFDM_SubcarrierMux negative;
    Configure(negative, 8, 2);
    const std::int32_t badCounts[] = {1, -1};
    negative.CarriersPerSym = {counts, badCounts};
    negative.NumSymbols = {1, 2};
    negative.CarrierIndex = {twoIndices, twoIndices};
    EXPECT_EQ(SetupOf(negative).errors, "Negative CarriersPerSym found in the 1'th input branch.\n\n");

    // Symbol counts that no list can have are mismatches, not crashes.
    for (std::int32_t symbols : {3, -1}) {
        DF_OFDM_SubcarrierMux odd;
        OneInput(odd, 8, {}, {});
        odd.NumSymbols[0] = symbols;
        EXPECT_EQ(SetupOf(odd).errors, "Parameters of the 0'th branch don't match.\n\n") << symbols;
    }

    // Wrapped indexing: -F - 1 leaves the frame below.
    DF_OFDM_SubcarrierMux wrapped;
    const std::int32_t far[] = {-5, 3};
    OneInput(wrapped, 4, counts, far);
    wrapped.CenteredIndexing = 0;
    EXPECT_EQ(SetupOf(wrapped).errors,
              "Sub-carrier index of the 0'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n");
}

TEST(OfdmSubcarrierMux, FailedSetupKeepsTheLastGoodLayout) {
    DF_OFDM_SubcarrierMux mux;
    const std::int32_t counts[] = {1};
    const std::int32_t index[] = {0};
    OneInput(mux, 4, counts, index);
    ASSERT_TRUE(SetupOf(mux).ok);
    Storage storage(mux);

    // 2^30 * 2^3 bins per frame do not fit a 32-bit rate.
    mux.DFTSize = 1 << 30;
    mux.OversamplingOption = 3;
    const SetupOutcome big = SetupOf(mux);
    EXPECT_FALSE(big.ok);
    EXPECT_EQ(big.errors, "Sub-carrier maps need more than 4294967295 items per firing.\n\n");
    EXPECT_EQ(mux.Layout().inputMap[0], Positions({2}));
    EXPECT_EQ(mux.Output.rate, 4u);
    EXPECT_TRUE(mux.Run());
    EXPECT_EQ(storage.output[2], Complex(0.0, -1.0));

    // Least common multiples that overflow are caught the same way.
    DF_OFDM_SubcarrierMux symbols;
    Configure(symbols, 4, 4);
    symbols.NumSymbols = {2147483647, 2147483646, 2147483645, 2147483643};
    EXPECT_EQ(SetupOf(symbols).errors, "Sub-carrier maps need more than 4294967295 items per firing.\n\n");
}

TEST(OfdmSubcarrierMux, EVMRefPicksPositionsOutOfTheAssembledFrames) {
    const std::int32_t indices[] = {-1, 1};
    const std::int32_t evmCounts[] = {1};
    const std::int32_t evmIndex[] = {1};
    for (std::int32_t centred : {1, 0}) {
        // Two frames per firing, so two EVMRef periods.
        const std::int32_t twoSymbols[] = {2, 0};
        DF_OFDM_SubcarrierMux mux;
        OneInput(mux, 4, twoSymbols, indices);
        mux.CenteredIndexing = centred;
        mux.EVMRefEnable = 1;
        mux.EVMRef_NumCarriers = evmCounts;
        mux.EVMRef_CarrierIndex = evmIndex;
        ASSERT_TRUE(SetupOf(mux).ok);
        EXPECT_EQ(mux.Layout().evmRefMap, centred ? Positions({3, 7}) : Positions({1, 5}));
        EXPECT_EQ(mux.EVMRefOutput.rate, 2u);
        EXPECT_EQ(mux.Output.rate, 8u);

        Storage storage(mux);
        EXPECT_TRUE(mux.Run());
        // Sub-carrier 1 of frame 0 carries input sample 1 either way; frame
        // 1 is not written by any input and keeps its old value.
        EXPECT_EQ(storage.evmRef[0], Complex(1.0, -1.0));
        EXPECT_EQ(storage.evmRef[1], Complex(-7.0, -7.0));
        EXPECT_EQ(storage.evmRef[2], Complex(-9.0, -9.0));

        // The output block is still assembled for a connected EVMRef
        // output alone; with neither connected nothing moves.
        storage.inputs[0][1] = Complex(5.0, 5.0);
        mux.Output.connected = false;
        EXPECT_TRUE(mux.Run());
        EXPECT_EQ(storage.evmRef[0], Complex(5.0, 5.0));
        storage.inputs[0][1] = Complex(6.0, 6.0);
        mux.EVMRefOutput.connected = false;
        EXPECT_TRUE(mux.Run());
        EXPECT_EQ(storage.evmRef[0], Complex(5.0, 5.0));
        EXPECT_EQ(storage.output[centred ? 3 : 1], Complex(5.0, 5.0));
    }
}

TEST(OfdmSubcarrierMux, EVMRefChecks) {
    const std::int32_t counts[] = {1, 1, 1};
    const std::int32_t indices[] = {0, 0, 0};
    auto base = [&](DF_OFDM_SubcarrierMux& mux) {
        Configure(mux, 4, 2);
        mux.CarriersPerSym = {counts, counts};
        mux.NumSymbols = {2, 3};
        mux.CarrierIndex = {std::span<const std::int32_t>(indices, 2), indices};
        mux.EVMRefEnable = 1;
    };
    const std::int32_t four[] = {1, 1, 1, 1};
    DF_OFDM_SubcarrierMux factor;
    base(factor);
    factor.EVMRef_NumCarriers = four;
    EXPECT_EQ(SetupOf(factor).errors, "The size of EVMRef_NumCarriers should be a factor of 6.\n\n");

    DF_OFDM_SubcarrierMux empty;
    base(empty);
    EXPECT_EQ(SetupOf(empty).errors, "The size of EVMRef_NumCarriers should be a factor of 6.\n\n");

    const std::int32_t negative[] = {1, -2, 1};
    DF_OFDM_SubcarrierMux below;
    base(below);
    below.EVMRef_NumCarriers = negative;
    EXPECT_EQ(SetupOf(below).errors, "Negative CarrierPerSym found in the 1'th EVMRef output branch.\n\n");

    const std::int32_t three[] = {1, 0, 1};
    DF_OFDM_SubcarrierMux mismatch;
    base(mismatch);
    mismatch.EVMRef_NumCarriers = three;
    mismatch.EVMRef_CarrierIndex = indices;
    EXPECT_EQ(SetupOf(mismatch).errors, "Parameters of EVMRef don't match.\n\n");

    const std::int32_t outside[] = {0, 2};
    DF_OFDM_SubcarrierMux beyond;
    base(beyond);
    beyond.EVMRef_NumCarriers = three;
    beyond.EVMRef_CarrierIndex = outside;
    EXPECT_EQ(SetupOf(beyond).errors, "EVMRef_CarrierIndex beyond [-DFTSize/2, DFTSize/2-1].\n\n");

    // Three symbols of EVMRef pattern twice per firing of six frames.
    const std::int32_t twoIndices[] = {0, 1};
    DF_OFDM_SubcarrierMux good;
    base(good);
    good.EVMRef_NumCarriers = three;
    good.EVMRef_CarrierIndex = twoIndices;
    ASSERT_TRUE(SetupOf(good).ok);
    EXPECT_EQ(good.Layout().evmRefMap, Positions({2, 11, 14, 23}));
    EXPECT_EQ(good.EVMRefOutput.rate, 4u);

    // Any value other than 1 leaves the EVMRef map off.
    DF_OFDM_SubcarrierMux off;
    base(off);
    off.EVMRefEnable = 2;
    off.EVMRef_NumCarriers = four;
    EXPECT_TRUE(SetupOf(off).ok);
    EXPECT_FALSE(off.Layout().evmRefEnabled);
    EXPECT_EQ(off.EVMRefOutput.rate, 0u);
}

// Index files written for one test and removed afterwards.
class OfdmIndexFile : public testing::Test {
protected:
    OfdmIndexFile() {
        folder = std::filesystem::temp_directory_path() /
                 ("korvan-ofdm-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(folder);
    }
    ~OfdmIndexFile() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // One input of frames of 8 bins whose indices come from `path`.
    static SetupOutcome SetupWithFile(DF_OFDM_SubcarrierMux& block, const std::string& path, bool binary,
                                      std::span<const std::int32_t> counts) {
        OneInput(block, 8, counts, {}, 2);
        block.IndexFile[0] = path;
        block.IndexFileBinary[0] = binary ? 1 : 0;
        return SetupOf(block);
    }

    static inline int serial = 0;
    std::filesystem::path folder;
    DF_OFDM_SubcarrierMux mux;
};

TEST_F(OfdmIndexFile, TextAndBinaryFilesGiveTheSameMap) {
    const std::int32_t counts[] = {2, 2};
    const SetupOutcome text = SetupWithFile(mux, KORVAN_TEST_DATA_DIR "/ofdm_carrier_indices.txt", false, counts);
    ASSERT_TRUE(text.ok) << text.errors;
    EXPECT_EQ(mux.Layout().inputMap[0], Positions({1, 3, 13, 14}));

    // -3, -1, 1, 2 as 32-bit little-endian words, then bytes never read.
    const std::string words("\xfd\xff\xff\xff\xff\xff\xff\xff\x01\x00\x00\x00\x02\x00\x00\x00garbage", 23);
    const SetupOutcome binary = SetupWithFile(mux, Write("indices.bin", words), true, counts);
    ASSERT_TRUE(binary.ok) << binary.errors;
    EXPECT_EQ(mux.Layout().inputMap[0], Positions({1, 3, 13, 14}));
}

TEST_F(OfdmIndexFile, HostileFilesFailWithoutCrashing) {
    const std::int32_t three[] = {3};
    const std::int32_t huge[] = {2000000000, 2000000000};
    struct Case {
        const char* name;
        std::string path;
        bool binary;
        std::span<const std::int32_t> counts;
        const char* expected;
    };
    const Case cases[] = {
        {"missing", (folder / "absent.txt").string(), false, three, "Can't open Data index file.\n\n"},
        {"empty path", "", true, three, "Can't open Data index file.\n\n"},
        {"directory", folder.string(), false, three, "Can't open Data index file.\n\n"},
        {"short text", Write("short.txt", "1 2\n"), false, three, "Not enough data in Data index file.\n\n"},
        {"empty text", Write("empty.txt", ""), false, three, "Not enough data in Data index file.\n\n"},
        {"empty binary", Write("empty.bin", ""), true, three, "Not enough data in Data index file.\n\n"},
        {"partial word", Write("part.bin", std::string(11, '\x01')), true, three,
         "Not enough data in Data index file.\n\n"},
        {"huge counts", Write("few.bin", std::string(64, '\0')), true, huge,
         "Not enough data in Data index file.\n\n"},
        {"huge counts text", Write("few.txt", "1 2 3"), false, huge, "Not enough data in Data index file.\n\n"},
        {"words", Write("words.txt", "1 two 3"), false, three, "Invalid data in Data index file.\n\n"},
        {"glued", Write("glued.txt", "1 2x 3"), false, three, "Invalid data in Data index file.\n\n"},
        {"bare sign", Write("sign.txt", "1 - 3"), false, three, "Invalid data in Data index file.\n\n"},
        {"too wide", Write("wide.txt", "1 2147483648 3"), false, three, "Invalid data in Data index file.\n\n"},
        {"binary as text", Write("nul.txt", std::string("\0\x80\xff", 3)), false, three,
         "Invalid data in Data index file.\n\n"},
    };
    for (const Case& c : cases) {
        DF_OFDM_SubcarrierMux fresh;
        const SetupOutcome outcome = SetupWithFile(fresh, c.path, c.binary, c.counts);
        EXPECT_FALSE(outcome.ok) << c.name;
        EXPECT_EQ(outcome.errors, c.expected) << c.name;
    }

    // The extremes of the 32-bit range are read; then they lie outside the frame.
    const std::int32_t two[] = {2};
    EXPECT_EQ(SetupWithFile(mux, Write("edge.txt", "-2147483648\n+2147483647"), false, two).errors,
              "Sub-carrier index of the 0'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n");
}

TEST_F(OfdmIndexFile, OnlyConnectedInputsAreReadAndTheFirstFailureStops) {
    const std::int32_t counts[] = {1};
    const std::int32_t evmCounts[] = {1};
    Configure(mux, 8, 3);
    mux.CarriersPerSym = {counts, counts, counts};
    mux.NumSymbols = {1, 1, 1};
    mux.CarrierIndexType = {2, 2, 2};
    mux.IndexFile = {(folder / "absent").string(), Write("empty", ""), (folder / "absent").string()};
    mux.Input.Branch(0)->connected = false;
    EXPECT_EQ(SetupOf(mux).errors, "Not enough data in Data index file.\n\n");

    DF_OFDM_SubcarrierMux evm;
    const std::int32_t index[] = {0};
    OneInput(evm, 8, counts, index);
    evm.EVMRefEnable = 1;
    evm.EVMRef_NumCarriers = evmCounts;
    evm.EVMRef_CarrierIndexType = 2;
    evm.EVMRef_IndexFile = Write("evm.txt", "-4");
    ASSERT_TRUE(SetupOf(evm).ok);
    EXPECT_EQ(evm.Layout().evmRefMap, Positions({0}));
    evm.EVMRef_IndexFile = (folder / "absent").string();
    EXPECT_EQ(SetupOf(evm).errors, "Can't open Data index file.\n\n");
}

}  // namespace
