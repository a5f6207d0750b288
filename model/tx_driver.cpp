#include "model/tx_driver.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::int32_t kImpulseResponse = 0;

std::unique_ptr<double[]> CopyOf(const double* table) {
    std::unique_ptr<double[]> copy(new double[kDriverResponseLength]);
    std::copy(table, table + kDriverResponseLength, copy.get());
    return copy;
}

}  // namespace

bool TxDriver::Setup() {
    bool ok = true;
    // The filters work on the rounded samples-per-bit count, so one bit is
    // always exactly that many filter samples.
    const double sample_rate = samples_per_bit / bit_time;
    // Rates the filters reject themselves (zero, negative, not a number, or
    // beyond a 32-bit tap count) are left to them and their own messages.
    const double span = (kDriverTimeStamps[kDriverResponseLength - 1] - kDriverTimeStamps[0]) * sample_rate;
    const bool too_many_taps = span >= kMostResponseTaps && span < 2147483647.0;
    if (too_many_taps) {
        Vantrel::ReportError(&responses[0], "The driver responses span " +
                                                std::to_string(static_cast<long long>(span)) +
                                                " samples at this sample rate; at most " +
                                                std::to_string(static_cast<long long>(kMostResponseTaps)) +
                                                " are supported.");
        ok = false;
    }
    for (int k = 0; k < kDriverResponseCount; ++k) {
        Vantrel::TimeResponseFIR& filter = responses[static_cast<std::size_t>(k)];
        response_copies[static_cast<std::size_t>(k)] = CopyOf(kDriverResponses[k]);
        time_stamp_copies[static_cast<std::size_t>(k)] = CopyOf(kDriverTimeStamps);
        filter.ResponseType = kImpulseResponse;
        filter.Response = response_copies[static_cast<std::size_t>(k)].get();
        filter.NumberOfResponseValues = kDriverResponseLength;
        filter.ResponseTimeStamps = time_stamp_copies[static_cast<std::size_t>(k)].get();
        filter.NumberOfTimeStamps = kDriverResponseLength;
        filter.SampleRate = sample_rate;
        if (!too_many_taps) ok = filter.Setup() && ok;
    }

    ok = corner_index.Setup() && ok;
    ok = vreg_index.Setup() && ok;

    for (Selector* selector : {&vreg_mux0, &vreg_mux1, &vreg_mux2, &corner_mux}) {
        selector->BlockSize = 1;
        selector->input.SetWidth(3);
        ok = selector->Setup() && ok;
    }

    vreg_source.InitialDelay = 0;
    vreg_source.Value = Vreg;
    ok = vreg_source.Setup() && ok;

    vreg_fork.output.SetWidth(3);
    ok = vreg_fork.Setup() && ok;

    corner_source.InitialDelay = 0;
    corner_source.Value = corner;
    ok = corner_source.Setup() && ok;

    input_fork.output.SetWidth(kDriverResponseCount);
    ok = input_fork.Setup() && ok;
    return ok;
}

void TxDriver::FreeResponseCopies() noexcept {
    for (std::size_t k = 0; k < responses.size(); ++k) {
        // The filters keep only the taps they derived; they never look at
        // their tables again until the next Setup hands them new ones.
        responses[k].Response = nullptr;
        responses[k].ResponseTimeStamps = nullptr;
        response_copies[k].reset();
        time_stamp_copies[k].reset();
    }
}
