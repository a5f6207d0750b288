#include "model/korvan_tx.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Integer part (toward zero) of a parameter. Values no 32-bit integer holds
// saturate and a NaN becomes the lowest integer, so the conversion is always
// defined and an unusable value stays out of every valid range.
std::int32_t IntegerPart(double value) noexcept {
    if (std::isnan(value)) return std::numeric_limits<std::int32_t>::min();
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

bool IndexInRange(std::int32_t index) noexcept { return index >= 0 && index <= 2; }

}  // namespace

korvan_tx::~korvan_tx() {
    FreeLinks();
    driver.FreeResponseCopies();
}

std::array<korvan_tx::LinkEnds, korvan_tx::kLinkCount> korvan_tx::Connections() {
    std::array<LinkEnds, kLinkCount> ends{};
    std::size_t n = 0;
    auto link = [&](Vantrel::CircularBufferBase* writer, Vantrel::CircularBufferBase* reader,
                    bool integer = false) { ends[n++] = LinkEnds{writer, reader, integer}; };

    link(&graph_in, &fir_in);
    link(&driver.corner_mux.output, &driver_out);
    link(split.output.Branch(0), &fir_tap);
    link(&fir_main, sum.input.Branch(1));
    link(&fir_post, sum.input.Branch(0));
    for (std::uint32_t k = 0; k < kDriverResponseCount; ++k) {
        link(&driver.responses[k].output, driver.VregMux(static_cast<int>(k % 3)).input.Branch(k / 3));
    }
    link(&driver.corner_index.output, &driver.corner_select, true);
    link(&driver.vreg_index.output, &driver.vreg_fork.input, true);
    for (std::uint32_t m = 0; m < 3; ++m) {
        link(&driver.VregMux(static_cast<int>(m)).output, driver.corner_mux.input.Branch(m));
    }
    link(&driver.vreg_source.output, &driver.vreg_index.input);
    for (std::uint32_t m = 0; m < 3; ++m) {
        link(driver.vreg_fork.output.Branch(m), &driver.VregSelect(static_cast<int>(m)), true);
    }
    link(&driver.corner_source.output, &driver.corner_index.input);
    for (std::uint32_t k = 0; k < kDriverResponseCount; ++k) {
        link(driver.input_fork.output.Branch(k), &driver.responses[k].input);
    }
    link(&sum.output, &split.input);
    link(split.output.Branch(1), &driver.input_fork.input);
    return ends;
}

void korvan_tx::FreeLinks() noexcept {
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (integer_link[i]) {
            delete[] static_cast<int*>(links[i]);
        } else {
            delete[] static_cast<double*>(links[i]);
        }
        links[i] = nullptr;
    }
}

bool korvan_tx::Setup() {
    bool ok = true;
    driver.FreeResponseCopies();
    driver.Vreg = Vreg;
    driver.corner = corner;
    driver.samples_per_bit = samples_per_bit;
    driver.bit_time = bit_time;
    ok = driver.Setup() && ok;

    txfir.emphasis_index = IntegerPart(emphasis);
    txfir.samples_per_bit = IntegerPart(samples_per_bit);
    ok = txfir.Setup() && ok;

    sum.input.SetWidth(2);
    ok = sum.Setup() && ok;
    split.output.SetWidth(2);
    ok = split.Setup() && ok;

    input.SetRate(1);
    output.SetRate(1);
    fir_output.SetRate(1);

    SelectResponse();
    return ok;
}

void korvan_tx::SelectResponse() {
    // The filter selected so far has run on every sample since it was last
    // brought up to date.
    if (selected_response >= 0) samples_seen[static_cast<std::size_t>(selected_response)] = samples_run;

    // The constant sources emit exactly these values from the first firing
    // on, and the converters round them with this same rule.
    const std::int32_t vreg_index = Vantrel::TypeConverterRound::Convert(driver.vreg_source.Value);
    const std::int32_t corner_index = Vantrel::TypeConverterRound::Convert(driver.corner_source.Value);
    selected_response =
        IndexInRange(vreg_index) && IndexInRange(corner_index) ? 3 * vreg_index + corner_index : -1;
    if (selected_response >= 0) CatchUp(selected_response);
}

void korvan_tx::CatchUp(int k) {
    const auto index = static_cast<std::size_t>(k);
    Vantrel::TimeResponseFIR& filter = driver.responses[index];
    if (links[0] == nullptr) return;  // Initialize has yet to come
    // A Setup for another samples-per-bit count resizes the filter's delay
    // line; the old one must not be run with the new taps.
    const bool resized = filter.history.Capacity() != filter.history.requiredSize;
    if (samples_seen[index] == samples_run && !resized) return;
    // A fresh delay line fed with the recorded inputs holds what the filter
    // would hold had it run all along: it only ever looks back as far as
    // the record reaches.
    filter.Initialize();
    const std::uint64_t count = std::min<std::uint64_t>(samples_run, recent_inputs.size());
    for (std::uint64_t sample = samples_run - count; sample < samples_run; ++sample) {
        filter.input.Item(0) = recent_inputs[static_cast<std::size_t>(sample & recent_mask)];
        filter.Run();
    }
    samples_seen[index] = samples_run;
}

bool korvan_tx::Initialize() {
    FreeLinks();
    // The buses get their branches in Setup; without them there is nothing
    // to connect.
    if (sum.input.Width() != 2 || split.output.Width() != 2 ||
        driver.input_fork.output.Width() != kDriverResponseCount || driver.vreg_fork.output.Width() != 3 ||
        driver.corner_mux.input.Width() != 3) {
        return false;
    }
    const std::array<LinkEnds, kLinkCount> ends = Connections();
    for (std::size_t i = 0; i < ends.size(); ++i) {
        // Cleared cells: a failing multiplexer leaves its output unwritten,
        // and what is read from it then is 0.0 rather than leftover memory.
        void* cell = ends[i].integer ? static_cast<void*>(new int[1]()) : static_cast<void*>(new double[1]());
        links[i] = cell;
        integer_link[i] = ends[i].integer;
        ends[i].writer->Attach(cell, 1, 1, 0);
        ends[i].reader->Attach(cell, 1, 1, 0);
    }

    bool ok = true;
    ok = txfir.Initialize() && ok;
    for (Vantrel::TimeResponseFIR& filter : driver.responses) ok = filter.Initialize() && ok;
    ok = driver.corner_index.Initialize() && ok;
    ok = driver.vreg_index.Initialize() && ok;
    ok = driver.vreg_mux0.Initialize() && ok;
    ok = driver.vreg_mux1.Initialize() && ok;
    ok = driver.vreg_mux2.Initialize() && ok;
    ok = driver.corner_mux.Initialize() && ok;
    ok = driver.vreg_source.Initialize() && ok;
    ok = driver.vreg_fork.Initialize() && ok;
    ok = driver.corner_source.Initialize() && ok;
    ok = driver.input_fork.Initialize() && ok;
    ok = sum.Initialize() && ok;
    ok = split.Initialize() && ok;

    std::int32_t longest = 1;
    for (const Vantrel::TimeResponseFIR& filter : driver.responses) longest = std::max(longest, filter.NumberOfTaps);
    // A power of two, so that Run finds the slot of a sample with a mask.
    std::size_t record = 1;
    while (record < static_cast<std::size_t>(longest)) record *= 2;
    recent_inputs.assign(record, 0.0);
    recent_mask = record - 1;
    samples_run = 0;
    samples_seen.fill(0);
    return ok;
}

bool korvan_tx::Run() {
    if (links[0] == nullptr) return false;  // not initialised
    bool ok = true;
    input.CopyTo(0, graph_in, 0, 1);

    ok = driver.vreg_source.Run() && ok;
    ok = driver.vreg_index.Run() && ok;
    ok = driver.vreg_fork.Run() && ok;

    txfir.input = fir_in.Item(0);
    ok = txfir.Run() && ok;
    fir_main.Item(0) = txfir.main_output;
    fir_post.Item(0) = txfir.post_output;

    ok = sum.Run() && ok;
    ok = split.Run() && ok;
    ok = driver.input_fork.Run() && ok;

    recent_inputs[static_cast<std::size_t>(samples_run & recent_mask)] = driver.input_fork.input.Item(0);
    ++samples_run;
    const int k = selected_response;
    auto run_selected = [&] {
        const auto index = static_cast<std::size_t>(k);
        ok = driver.responses[index].Run() && ok;
    };

    // With a valid selection only the first-stage multiplexer of the
    // selected corner feeds the output, and none can fail; otherwise all
    // three run, so that each reports its range error.
    auto run_vreg_mux = [&](int m, Vantrel::Mux<Vantrel::CircularBuffer<double>>& mux,
                            const Vantrel::CircularBuffer<int>& select) {
        if (k >= 0 && k % 3 != m) return;
        mux.Control = select.Item(0);
        ok = mux.Run() && ok;
    };

    // Responses 8 down to 2, then the last multiplexer of the first stage.
    if (k >= 2) run_selected();
    run_vreg_mux(2, driver.vreg_mux2, driver.vreg_select2);

    if (k == 1) run_selected();
    run_vreg_mux(1, driver.vreg_mux1, driver.vreg_select1);

    if (k == 0) run_selected();
    run_vreg_mux(0, driver.vreg_mux0, driver.vreg_select0);

    ok = driver.corner_source.Run() && ok;
    ok = driver.corner_index.Run() && ok;
    driver.corner_mux.Control = driver.corner_select.Item(0);
    ok = driver.corner_mux.Run() && ok;

    driver_out.CopyTo(0, output, 0, 1);
    fir_tap.CopyTo(0, fir_output, 0, 1);
    return ok;
}

bool korvan_tx::Finalize() {
    bool ok = true;
    ok = txfir.Finalize() && ok;
    for (Vantrel::TimeResponseFIR& filter : driver.responses) ok = filter.Finalize() && ok;
    ok = driver.corner_index.Finalize() && ok;
    ok = driver.vreg_index.Finalize() && ok;
    ok = driver.vreg_mux0.Finalize() && ok;
    ok = driver.vreg_mux1.Finalize() && ok;
    ok = driver.vreg_mux2.Finalize() && ok;
    ok = driver.corner_mux.Finalize() && ok;
    ok = driver.vreg_source.Finalize() && ok;
    ok = driver.vreg_fork.Finalize() && ok;
    ok = driver.corner_source.Finalize() && ok;
    ok = driver.input_fork.Finalize() && ok;
    ok = sum.Finalize() && ok;
    ok = split.Finalize() && ok;

    FreeLinks();
    driver.FreeResponseCopies();
    samples_run = 0;
    samples_seen.fill(0);
    // The block path's working space goes too; a later run sizes it anew.
    std::vector<double>().swap(block_driver_input);
    return ok;
}
