#include "blocks/ofdm_subcarrier_mux.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <numeric>
#include <utility>

namespace Vantrel {

namespace {

constexpr std::uint64_t kMaxItems = std::numeric_limits<std::uint32_t>::max();

// Rates are 32-bit: a layout whose output block or one of whose streams
// would need more items per firing cannot be declared on the ports.
constexpr const char* kTooLarge =
    "Sub-carrier maps need more than 4294967295 items per firing.\n";
constexpr const char* kNoMemory = "Not enough memory for the sub-carrier maps.\n";
constexpr const char* kCannotOpen = "Can't open Data index file.\n";
constexpr const char* kNotEnoughData = "Not enough data in Data index file.\n";
// A text file must hold whitespace-separated decimal integers of 32 bits;
// anything else would otherwise turn into silently wrong positions.
constexpr const char* kInvalidData = "Invalid data in Data index file.\n";

constexpr std::size_t kChunkBytes = std::size_t{1} << 16;

std::string Numbered(const char* before, std::uint64_t number, const char* after) {
    return std::string(before) + std::to_string(number) + after;
}

// Sum of the counts, or false when one of them is negative.
bool SumOfCounts(std::span<const std::int32_t> counts, std::uint64_t& sum) {
    sum = 0;
    for (const std::int32_t c : counts) {
        if (c < 0) return false;
        sum += static_cast<std::uint64_t>(c);
    }
    return true;
}

// Entries v*n ... v*n + n - 1 become the first n entries moved on by
// v * stride, for every later period v. Every result stays below the
// output rate, which fits in 32 bits.
void RepeatPeriods(std::vector<std::uint32_t>& map, std::uint64_t periods, std::uint64_t stride) {
    const std::size_t n = map.size();
    map.resize(static_cast<std::size_t>(n * periods));
    for (std::uint64_t v = 1; v < periods; ++v) {
        const std::size_t base = static_cast<std::size_t>(v * n);
        for (std::size_t e = 0; e < n; ++e) {
            map[base + e] = static_cast<std::uint32_t>(map[e] + v * stride);
        }
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadResult { Complete, CannotRead, NotEnoughData, InvalidData };

// Reads `wanted` little-endian 32-bit integers a chunk at a time, so a short
// file is found out without first allocating what the counts promise.
ReadResult ReadBinary(std::FILE* file, std::uint64_t wanted, std::vector<std::int32_t>& list) {
    std::vector<unsigned char> bytes(kChunkBytes);
    while (list.size() < wanted) {
        const std::uint64_t left = (wanted - list.size()) * 4u;
        const auto ask = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunkBytes));
        const std::size_t got = std::fread(bytes.data(), 1, ask, file);
        for (std::size_t b = 0; b + 4 <= got; b += 4) {
            const std::uint32_t word = std::uint32_t{bytes[b]} | (std::uint32_t{bytes[b + 1]} << 8) |
                                       (std::uint32_t{bytes[b + 2]} << 16) |
                                       (std::uint32_t{bytes[b + 3]} << 24);
            list.push_back(static_cast<std::int32_t>(word));
        }
        if (got < ask) return std::ferror(file) ? ReadResult::CannotRead : ReadResult::NotEnoughData;
    }
    return ReadResult::Complete;
}

// Characters of a text file through a fixed buffer; -1 at the end or on a
// read error.
class TextSource {
public:
    explicit TextSource(std::FILE* source) : file(source), buffer(kChunkBytes) {}

    int Next() {
        if (next == end) {
            end = std::fread(buffer.data(), 1, buffer.size(), file);
            next = 0;
            if (end == 0) return -1;
        }
        return static_cast<unsigned char>(buffer[next++]);
    }
    bool Failed() const { return std::ferror(file) != 0; }

private:
    std::FILE* file;
    std::vector<char> buffer;
    std::size_t next = 0;
    std::size_t end = 0;
};

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Reads `wanted` decimal integers, each with an optional sign and ended by
// whitespace or the end of the file. Only what is needed is read, so the
// rest of a large file is never touched.
ReadResult ReadText(std::FILE* file, std::uint64_t wanted, std::vector<std::int32_t>& list) {
    TextSource in(file);
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (list.size() < wanted) {
        int c = in.Next();
        while (IsSpace(c)) c = in.Next();
        if (c < 0) return in.Failed() ? ReadResult::CannotRead : ReadResult::NotEnoughData;
        bool negative = false;
        if (c == '+' || c == '-') {
            negative = c == '-';
            c = in.Next();
        }
        if (!IsDigit(c)) return ReadResult::InvalidData;
        std::int64_t value = 0;
        while (IsDigit(c)) {
            value = value * 10 + (c - '0');
            if (value > kLimit) return ReadResult::InvalidData;
            c = in.Next();
        }
        if (c >= 0 && !IsSpace(c)) return ReadResult::InvalidData;
        if (negative) value = -value;
        if (value >= kLimit) return ReadResult::InvalidData;
        list.push_back(static_cast<std::int32_t>(value));
    }
    return ReadResult::Complete;
}

}  // namespace

void SubcarrierMap::Begin(std::int32_t dftSize, std::int32_t inputCount, std::uint32_t connectedMask,
                          std::int32_t oversamplingOption, std::int32_t centeredIndexing) {
    pending = SubcarrierLayout{};
    // The shift count is taken modulo 32; DFTSize is positive here, so the
    // frame length fits in 62 bits and is checked against the rates later.
    const std::uint32_t shift = static_cast<std::uint32_t>(oversamplingOption) & 31u;
    pending.frameLength = static_cast<std::uint64_t>(dftSize) << shift;
    pending.inputCount = static_cast<std::uint32_t>(inputCount);
    pending.connected = connectedMask;
    centredIndexing = centeredIndexing != 0;
}

void SubcarrierMap::ReadIndexFile(const std::string& path, bool binary, const Pattern& pattern,
                                  std::vector<std::int32_t>& list) {
    list.clear();
    std::uint64_t wanted = 0;
    // Counts that cannot describe a list are reported when the map is
    // built; there is nothing sensible to read for them.
    if (!pattern.countsValid || !SumOfCounts(pattern.carriersPerSymbol, wanted)) return;

    FileHandle file;
    if (path.find('\0') == std::string::npos) file.reset(std::fopen(path.c_str(), binary ? "rb" : "r"));
    if (!file) {
        errorText += kCannotOpen;
        return;
    }
    const ReadResult result = binary ? ReadBinary(file.get(), wanted, list) : ReadText(file.get(), wanted, list);
    switch (result) {
    case ReadResult::Complete:
        return;
    case ReadResult::CannotRead:  // a directory opens but cannot be read
        errorText += kCannotOpen;
        break;
    case ReadResult::NotEnoughData:
        errorText += kNotEnoughData;
        break;
    case ReadResult::InvalidData:
        errorText += kInvalidData;
        break;
    }
    list.clear();
}

SubcarrierMap::Outcome SubcarrierMap::BuildMap(const Pattern& pattern, bool centred,
                                               std::vector<std::uint32_t>& map) const {
    map.clear();
    std::uint64_t wanted = 0;
    if (!pattern.countsValid || !SumOfCounts(pattern.carriersPerSymbol, wanted)) return Outcome::Mismatch;
    const auto frame = static_cast<std::int64_t>(pending.frameLength);
    bool outOfRange = false;
    auto place = [&](std::int64_t k) {
        const std::int64_t p = centred ? frame / 2 + k : (frame + k) % frame;
        if (p < 0 || p >= frame) {
            outOfRange = true;
            map.push_back(0);
        } else {
            map.push_back(static_cast<std::uint32_t>(p));
        }
    };

    if (pattern.indexType == 1) {
        // Range starts first, then range ends; an odd last value is unused.
        const std::size_t ranges = pattern.indices.size() / 2;
        const auto starts = pattern.indices.first(ranges);
        const auto ends = pattern.indices.subspan(ranges, ranges);
        std::uint64_t total = 0;
        for (std::size_t j = 0; j < ranges; ++j) {
            if (ends[j] >= starts[j]) total += static_cast<std::uint64_t>(std::int64_t{ends[j]} - starts[j] + 1);
            if (total > wanted) return Outcome::Mismatch;
        }
        if (total != wanted) return Outcome::Mismatch;
        map.reserve(static_cast<std::size_t>(wanted));
        for (std::size_t j = 0; j < ranges; ++j) {
            for (std::int64_t k = starts[j]; k <= ends[j]; ++k) place(k);
        }
    } else {
        std::span<const std::int32_t> list = pattern.indices;
        if (pattern.indexType == 2) {
            list = pattern.fileIndices != nullptr ? std::span<const std::int32_t>(*pattern.fileIndices)
                                                  : std::span<const std::int32_t>();
        }
        if (list.size() != wanted) return Outcome::Mismatch;
        map.reserve(list.size());
        for (const std::int32_t k : list) place(k);
    }
    if (outOfRange) return Outcome::OutOfRange;

    // Symbol j of the pattern occupies frame j of the period.
    std::size_t entry = 0;
    std::uint64_t symbol = 0;
    for (const std::int32_t count : pattern.carriersPerSymbol) {
        const std::uint64_t offset = symbol * pending.frameLength;
        for (std::int32_t c = 0; c < count; ++c, ++entry) {
            map[entry] = static_cast<std::uint32_t>(map[entry] + offset);
        }
        ++symbol;
    }
    return Outcome::Built;
}

void SubcarrierMap::BuildInputMaps(const std::array<Pattern, SubcarrierLayout::kMaxInputs>& inputs,
                                   const std::array<std::int32_t, SubcarrierLayout::kMaxInputs>& symbolCounts) {
    const std::uint64_t frame = pending.frameLength;
    auto connected = [&](std::uint32_t i) { return ((pending.connected >> i) & 1u) != 0; };

    // A negative count of symbols is left out here and reported as a
    // mismatch of its input below.
    std::uint64_t symbols = 1;
    for (std::uint32_t i = 0; i < pending.inputCount && symbols <= kMaxItems; ++i) {
        if (!connected(i) || symbolCounts[i] <= 0) continue;
        const auto count = static_cast<std::uint64_t>(symbolCounts[i]);
        symbols = symbols / std::gcd(symbols, count) * count;
    }
    if (symbols > kMaxItems / frame) {
        errorText += kTooLarge;
        return;
    }
    pending.symbolsPerFiring = static_cast<std::uint32_t>(symbols);
    pending.outputRate = static_cast<std::uint32_t>(frame * symbols);

    for (std::uint32_t i = 0; i < pending.inputCount; ++i) {
        if (!connected(i)) continue;
        const Pattern& pattern = inputs[i];
        for (const std::int32_t c : pattern.carriersPerSymbol) {
            if (c < 0) {
                errorText += Numbered("Negative CarriersPerSym found in the ", i, "'th input branch.\n");
                return;
            }
        }
        const std::uint64_t repeat =
            symbolCounts[i] > 0 ? symbols / static_cast<std::uint64_t>(symbolCounts[i]) : 0;
        std::vector<std::uint32_t>& map = pending.inputMap[i];
        switch (BuildMap(pattern, centredIndexing, map)) {
        case Outcome::Built:
            break;
        case Outcome::Mismatch:
            errorText += Numbered("Parameters of the ", i, "'th branch don't match.\n");
            return;
        case Outcome::OutOfRange:
            errorText += Numbered("Sub-carrier index of the ", i, "'th branch beyond [-DFTSize/2, DFTSize/2-1].\n");
            return;
        }
        if (!map.empty() && repeat > kMaxItems / map.size()) {
            errorText += kTooLarge;
            return;
        }
        RepeatPeriods(map, repeat, frame * static_cast<std::uint64_t>(std::max(symbolCounts[i], 0)));
    }
}

void SubcarrierMap::BuildEVMRefMap(const Pattern& pattern) {
    pending.evmRefEnabled = true;
    const std::uint64_t frame = pending.frameLength;
    const std::uint64_t symbols = pending.symbolsPerFiring;
    const std::uint64_t period = pattern.carriersPerSymbol.size();
    // An empty pattern is no factor of anything either.
    if (period == 0 || symbols % period != 0) {
        errorText += Numbered("The size of EVMRef_NumCarriers should be a factor of ", symbols, ".\n");
        return;
    }
    for (std::size_t j = 0; j < pattern.carriersPerSymbol.size(); ++j) {
        if (pattern.carriersPerSymbol[j] < 0) {
            errorText += Numbered("Negative CarrierPerSym found in the ", j, "'th EVMRef output branch.\n");
            return;
        }
    }
    const std::uint64_t repeat = symbols / period;
    std::vector<std::uint32_t>& map = pending.evmRefMap;
    switch (BuildMap(pattern, true, map)) {
    case Outcome::Built:
        break;
    case Outcome::Mismatch:
        errorText += "Parameters of EVMRef don't match.\n";
        return;
    case Outcome::OutOfRange:
        errorText += "EVMRef_CarrierIndex beyond [-DFTSize/2, DFTSize/2-1].\n";
        return;
    }
    if (!map.empty() && repeat > kMaxItems / map.size()) {
        errorText += kTooLarge;
        return;
    }
    // The indices are given centred; with uncentred inputs, move each
    // position within its frame to where the inputs put that sub-carrier.
    if (!centredIndexing) {
        for (std::uint32_t& r : map) {
            r = static_cast<std::uint32_t>(((r % frame) + frame / 2) % frame + frame * (r / frame));
        }
    }
    RepeatPeriods(map, repeat, period * frame);
}

void SubcarrierMap::DisableEVMRef() {
    pending.evmRefEnabled = false;
    pending.evmRefMap.clear();
}

void SubcarrierMap::Commit() {
    active = std::move(pending);
    pending = SubcarrierLayout{};
}

SubcarrierMap::Pattern DF_OFDM_SubcarrierMux::InputPattern(std::uint32_t i) const {
    SubcarrierMap::Pattern pattern;
    const std::int32_t symbols = NumSymbols[i];
    if (symbols < 0 || (symbols > 0 && CarriersPerSym[i] == nullptr)) {
        pattern.countsValid = false;
    } else if (symbols > 0) {
        pattern.carriersPerSymbol = std::span<const std::int32_t>(CarriersPerSym[i], static_cast<std::size_t>(symbols));
    }
    pattern.indexType = CarrierIndexType[i];
    pattern.indices = CarrierIndex[i];
    return pattern;
}

bool DF_OFDM_SubcarrierMux::Setup() {
    if (DFTSize < 4 || DFTSize % 2 != 0) {
        ReportError(this, "DFTSize should be a positive even integer (>=4)");
        return false;
    }
    if (NumInput < 1 || NumInput > static_cast<std::int32_t>(SubcarrierLayout::kMaxInputs)) {
        ReportError(this, "NumInput must be in the range of [1,4]");
        return false;
    }
    if (static_cast<std::uint32_t>(NumInput) != Input.Width()) {
        ReportError(this, "Bus width of pin Input must equals to parameter NumInput");
        return false;
    }
    std::uint32_t connectedMask = 0;
    for (std::uint32_t i = 0; i < Input.Width(); ++i) {
        if (Input.Branch(i)->IsConnected()) connectedMask |= 1u << i;
    }
    if (connectedMask == 0) {
        ReportError(this, "At least one branch of pin Input must be connected.\n");
        return false;
    }

    map.Begin(DFTSize, NumInput, connectedMask, OversamplingOption, CenteredIndexing);
    bool built = false;
    try {
        built = BuildLayout();
    } catch (const std::bad_alloc&) {
        map.AppendError(kNoMemory);
    }
    if (!built) {
        ReportError(this, map.ErrorText());
        return false;
    }
    map.Commit();

    const SubcarrierLayout& layout = map.Active();
    for (std::uint32_t i = 0; i < layout.inputCount; ++i) {
        CircularBuffer<std::complex<double>>* branch = Input.Branch(i);
        if (branch->IsConnected()) branch->SetRate(static_cast<std::uint32_t>(layout.inputMap[i].size()));
    }
    if (EVMRefOutput.IsConnected()) EVMRefOutput.SetRate(static_cast<std::uint32_t>(layout.evmRefMap.size()));
    if (Output.IsConnected() || EVMRefOutput.IsConnected()) Output.SetRate(layout.outputRate);
    return true;
}

bool DF_OFDM_SubcarrierMux::BuildLayout() {
    const auto inputs = static_cast<std::uint32_t>(NumInput);
    std::array<SubcarrierMap::Pattern, SubcarrierLayout::kMaxInputs> patterns;
    std::array<std::vector<std::int32_t>, SubcarrierLayout::kMaxInputs> fileLists;
    for (std::uint32_t i = 0; i < inputs; ++i) {
        patterns[i] = InputPattern(i);
        patterns[i].fileIndices = &fileLists[i];
    }
    for (std::uint32_t i = 0; i < inputs; ++i) {
        if (!Input.Branch(i)->IsConnected() || CarrierIndexType[i] != 2) continue;
        map.ReadIndexFile(IndexFile[i], IndexFileBinary[i] == 1, patterns[i], fileLists[i]);
        if (map.Failed()) break;
    }
    if (map.Failed()) return false;
    map.BuildInputMaps(patterns, NumSymbols);
    fileLists = {};
    if (map.Failed()) return false;

    if (EVMRefEnable != 1) {
        map.DisableEVMRef();
        return true;
    }
    std::vector<std::int32_t> evmRefList;
    SubcarrierMap::Pattern evmRef;
    evmRef.carriersPerSymbol = EVMRef_NumCarriers;
    evmRef.indexType = EVMRef_CarrierIndexType;
    evmRef.indices = EVMRef_CarrierIndex;
    evmRef.fileIndices = &evmRefList;
    if (EVMRef_CarrierIndexType == 2) {
        map.ReadIndexFile(EVMRef_IndexFile, EVMRef_IndexFileBinary == 1, evmRef, evmRefList);
        if (map.Failed()) return false;
    }
    map.BuildEVMRefMap(evmRef);
    return !map.Failed();
}

bool DF_OFDM_SubcarrierMux::Run() {
    if (!Output.IsConnected() && !EVMRefOutput.IsConnected()) return true;
    const SubcarrierLayout& layout = map.Active();
    // The maps of the last successful Setup bound every index, whatever
    // the owner has done to the bus or the port rates since.
    const std::uint32_t inputs = std::min(layout.inputCount, Input.Width());
    for (std::uint32_t i = 0; i < inputs; ++i) {
        const CircularBuffer<std::complex<double>>& branch = *Input.Branch(i);
        if (!branch.IsConnected()) continue;
        const std::vector<std::uint32_t>& positions = layout.inputMap[i];
        for (std::size_t j = 0; j < positions.size(); ++j) {
            Output.Item(positions[j]) = branch.Item(static_cast<std::uint32_t>(j));
        }
    }
    if (EVMRefOutput.IsConnected()) {
        const std::vector<std::uint32_t>& positions = layout.evmRefMap;
        for (std::size_t j = 0; j < positions.size(); ++j) {
            EVMRefOutput.Item(static_cast<std::uint32_t>(j)) = Output.Item(positions[j]);
        }
    }
    return true;
}

}  // namespace Vantrel
