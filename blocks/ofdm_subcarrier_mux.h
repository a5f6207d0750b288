#pragma once
// OFDM sub-carrier multiplexer: places the samples of up to four complex
// input streams at their sub-carrier positions in a group of consecutive
// frequency-domain frames, and can pick a further set of positions back out
// of the assembled frames as a reference stream for error-vector
// measurements (the EVMRef output).

#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dataflow/circular_buffer.h"
#include "dataflow/circular_buffer_bus.h"
#include "dataflow/df_model.h"

namespace Vantrel {

// Where every sample of one firing lands in the output block. Setup builds a
// pending layout and makes it the active one only when every check passed,
// so Run never sees maps that disagree with the rates declared on the ports.
struct SubcarrierLayout {
    static constexpr std::uint32_t kMaxInputs = 4;

    // DFTSize times 2^OversamplingOption; wider than 32 bits until checked.
    std::uint64_t frameLength = 0;
    std::uint32_t inputCount = 0;
    // Bit i set: branch i of the input bus was connected at Setup.
    std::uint32_t connected = 0;
    std::uint32_t symbolsPerFiring = 1;
    // frameLength * symbolsPerFiring items per firing.
    std::uint32_t outputRate = 0;
    // One position in the output block per sample an input delivers in a
    // firing; the size of a map is that input's rate.
    std::array<std::vector<std::uint32_t>, kMaxInputs> inputMap;
    bool evmRefEnabled = false;
    // Output block position of each EVMRef sample; its size is the rate.
    std::vector<std::uint32_t> evmRefMap;
};

// The mapping engine: the active layout, the one being built, and the text
// of every failed check. The text only grows, so a block whose Setup failed
// keeps failing with the earlier reasons included.
class SubcarrierMap {
public:
    // Counts of sub-carriers per symbol, the index list and how to read it:
    // the description of one input or of the EVMRef output.
    struct Pattern {
        std::span<const std::int32_t> carriersPerSymbol;
        // False when the owner gave a count of symbols the list cannot
        // have (negative, or positive without a list).
        bool countsValid = true;
        std::int32_t indexType = 0;
        std::span<const std::int32_t> indices;
        // The list read from the data index file, for index type 2.
        const std::vector<std::int32_t>* fileIndices = nullptr;
    };

    // Starts a new layout with the frame geometry and the connected set.
    void Begin(std::int32_t dftSize, std::int32_t inputCount, std::uint32_t connectedMask,
               std::int32_t oversamplingOption, std::int32_t centeredIndexing);

    // Reads the indices wanted by `pattern` from a data index file into
    // `list`; a failure appends its reason to the error text.
    void ReadIndexFile(const std::string& path, bool binary, const Pattern& pattern,
                       std::vector<std::int32_t>& list);

    // Computes symbolsPerFiring and the map of every connected input; stops
    // at the first failure, whose reason goes to the error text.
    void BuildInputMaps(const std::array<Pattern, SubcarrierLayout::kMaxInputs>& inputs,
                        const std::array<std::int32_t, SubcarrierLayout::kMaxInputs>& symbolCounts);

    // The EVMRef map, taken in the input's indexing order.
    void BuildEVMRefMap(const Pattern& pattern);
    void DisableEVMRef();

    // Makes the pending layout the active one.
    void Commit();
    // Appends a failure reason; used for failures outside the engine's
    // own checks (an exhausted heap).
    void AppendError(const std::string& text) { errorText += text; }

    bool Failed() const noexcept { return !errorText.empty(); }
    const std::string& ErrorText() const noexcept { return errorText; }
    const SubcarrierLayout& Active() const noexcept { return active; }

private:
    enum class Outcome { Built, Mismatch, OutOfRange };
    Outcome BuildMap(const Pattern& pattern, bool centred, std::vector<std::uint32_t>& map) const;

    SubcarrierLayout pending;
    SubcarrierLayout active;
    bool centredIndexing = true;
    std::string errorText;
};

class DF_OFDM_SubcarrierMux : public DFModel {
public:
    // Checks the parameters and builds the maps; the first four checks stop
    // at once, the later ones are collected and reported together.
    bool Setup() override;
    // One firing: scatters the input samples into the output block, then
    // gathers the EVMRef samples from it. Items no map names keep their
    // values.
    bool Run() override;

    // The maps and rates in force since the last successful Setup.
    const SubcarrierLayout& Layout() const noexcept { return map.Active(); }

    CircularBufferBusT<CircularBuffer<std::complex<double>>> Input;
    CircularBuffer<std::complex<double>> Output;
    CircularBuffer<std::complex<double>> EVMRefOutput;

    // The owner sets every parameter before Setup; zero values fail it.
    std::int32_t DFTSize = 0;
    std::int32_t NumInput = 0;
    std::int32_t OversamplingOption = 0;
    // Non-zero: sub-carrier k sits at frameLength/2 + k; zero: at
    // (frameLength + k) modulo frameLength.
    std::int32_t CenteredIndexing = 0;
    std::int32_t EVMRefEnable = 0;

    // One slot per possible input. CarriersPerSym holds NumSymbols counts;
    // CarrierIndexType 1 means CarrierIndex holds range starts followed by
    // range ends, 2 means the indices come from IndexFile, anything else
    // means CarrierIndex lists them one by one. IndexFileBinary 1 reads the
    // file as 32-bit little-endian integers, anything else as decimal text.
    std::array<const std::int32_t*, SubcarrierLayout::kMaxInputs> CarriersPerSym{};
    std::array<std::int32_t, SubcarrierLayout::kMaxInputs> NumSymbols{};
    std::array<std::int32_t, SubcarrierLayout::kMaxInputs> CarrierIndexType{};
    std::array<std::span<const std::int32_t>, SubcarrierLayout::kMaxInputs> CarrierIndex{};
    std::array<std::string, SubcarrierLayout::kMaxInputs> IndexFile{};
    std::array<std::int32_t, SubcarrierLayout::kMaxInputs> IndexFileBinary{};

    // The EVMRef counterparts, used when EVMRefEnable is 1. Its indices are
    // always given centred.
    std::span<const std::int32_t> EVMRef_NumCarriers;
    std::int32_t EVMRef_CarrierIndexType = 0;
    std::span<const std::int32_t> EVMRef_CarrierIndex;
    std::string EVMRef_IndexFile;
    std::int32_t EVMRef_IndexFileBinary = 0;

private:
    // Steps after the connection checks; false when the error text is set.
    bool BuildLayout();
    SubcarrierMap::Pattern InputPattern(std::uint32_t i) const;

    SubcarrierMap map;
};

}  // namespace Vantrel
