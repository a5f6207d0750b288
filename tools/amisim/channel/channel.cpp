#include "tools/amisim/channel/channel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel_csv.h"
#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/channel/network_transfer.h"
#include "tools/amisim/channel/touchstone.h"
#include "tools/amisim/figure_text.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

// Column sums of |S|^2 above one mean the network gives out more power
// than it takes in at that port: a passive network never does.
void CheckPassivity(const Network& data, const std::string& source, std::vector<std::string>& warnings) {
    double worst = 0.0, where = 0.0;
    for (std::size_t f = 0; f < data.frequencies.size(); ++f)
        for (int column = 1; column <= data.ports; ++column) {
            double power = 0.0;
            for (int row = 1; row <= data.ports; ++row) power += std::norm(data.At(f, row, column));
            if (power > worst) {
                worst = power;
                where = data.frequencies[f];
            }
        }
    if (worst > 1.0 + 1e-6)
        warnings.push_back(source + ": not passive: a port's column power reaches " + Figure("%.4f", worst) +
                           " at " + Figure("%.4g", where / 1e9) + " GHz");
}

std::string DescribeLoss(const std::vector<double>& taps, double sample_interval) {
    double dc = 0.0;
    for (double t : taps) dc += t;
    return std::to_string(taps.size()) + " taps (" +
           Figure("%.3g", static_cast<double>(taps.size()) * sample_interval * 1e9) + " ns), DC gain " +
           Figure("%.4f", dc);
}

// How many round trips the echoes between the ends take to fall to 1e-4,
// judged from the resistances (the capacitances only shorten the echoes
// that the line's loss already damps).
double RoundTrips(const LineParameters& line, const AnalogEnds& ends) {
    if (ends.Matched()) return 0.0;
    const double z0 = line.impedance_ohms;
    const double rs = ends.tx_rs.value_or(z0), rt = ends.rx_rt.value_or(z0);
    const double echo = std::abs((rs - z0) / (rs + z0) * (rt - z0) / (rt + z0));
    if (echo < 1e-4) return 1.0;
    return echo >= 0.999 ? 200.0 : std::min(200.0, std::ceil(std::log(1e-4) / std::log(echo)));
}

std::vector<std::string> EndNotes(const AnalogEnds& ends, double reference_ohms) {
    std::vector<std::string> notes{DescribeEnds(ends, reference_ohms)};
    notes.insert(notes.end(), ends.origins.begin(), ends.origins.end());
    return notes;
}

}  // namespace

double Channel::LossDb(double frequency, double sample_interval) const {
    if (ideal()) return 0.0;
    std::complex<double> sum = 0.0;
    const double step = -2.0 * std::numbers::pi * frequency * sample_interval;
    for (std::size_t n = 0; n < taps.size(); ++n) sum += taps[n] * std::polar(1.0, step * static_cast<double>(n));
    return -20.0 * std::log10(std::abs(sum));
}

std::vector<double> Channel::AmiImpulse(double sample_interval, std::size_t samples) const {
    std::vector<double> impulse(std::max<std::size_t>(samples, 1), 0.0);
    if (ideal()) {
        impulse[0] = 1.0 / sample_interval;
        return impulse;
    }
    const std::size_t count = std::min(samples, taps.size());
    for (std::size_t i = 0; i < count; ++i) impulse[i] = taps[i] / sample_interval;
    return impulse;
}

LoadedNetwork LoadNetwork(const std::string& path) {
    LoadedNetwork loaded;
    loaded.network = ReadTouchstoneFile(path);
    loaded.name = std::filesystem::path(path).filename().string();
    if (!loaded.network.UniformReference()) {
        Renormalise(loaded.network, kCommonReferenceOhms);
        loaded.note = "ports renormalised from their mixed references to " + Figure("%.4g", kCommonReferenceOhms) + " ohm";
    }
    CheckPassivity(loaded.network, path, loaded.warnings);
    return loaded;
}

Channel LoadChannel(const std::string& path, const std::string& ports, const AnalogEnds& ends,
                    double sample_interval) {
    Channel channel;
    const std::string extension = Lowercase(std::filesystem::path(path).extension().string());
    if (extension == ".csv") {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw UsageError(path + ": cannot open the channel file");
        channel.taps = ReadChannelCsv(in, sample_interval, path);
        channel.name = std::filesystem::path(path).filename().string();
        channel.description = channel.name;
    } else if (IsTouchstoneName(path)) {
        LoadedNetwork loaded = LoadNetwork(path);
        const NetworkLane lane = ParseLane(ports, loaded.network.ports, "--ports");
        std::vector<Channel> through =
            TransferChannels(loaded.network, {lane}, ends, {NetworkPath{0, 0}}, sample_interval, path);
        channel = std::move(through.front());
        channel.warnings.insert(channel.warnings.begin(), loaded.warnings.begin(), loaded.warnings.end());
        channel.description = loaded.name + " " + channel.name;
        if (!loaded.note.empty()) channel.description += " (" + loaded.note + ")";
        channel.name = loaded.name;
        channel.ends = EndNotes(ends, loaded.network.Reference());
        channel.reference_ohms = loaded.network.Reference();
    } else {
        throw UsageError(path + ": a channel is a Touchstone .sNp file (.s2p, .s4p, ...) or a .csv step or "
                         "impulse response");
    }
    channel.description += ", " + DescribeLoss(channel.taps, sample_interval);
    return channel;
}

Channel LineChannel(const LineParameters& line, const AnalogEnds& ends, double sample_interval) {
    // Sampled straight from the model on the transform's grid, so the only
    // approximation is the taper at the top of the band.
    const double nyquist = 0.5 / sample_interval;
    // Long enough for the delay and the slow skin-effect tail, and for the
    // echoes between unmatched ends to die down, rounded up to the
    // transform's size so that the samples fall on its grid.
    std::size_t size = 256;
    const double delay = LineDelay(line);
    const double record_wanted = 4.0 * delay + 20e-9 + 2.0 * delay * RoundTrips(line, ends);
    while (static_cast<double>(size) * sample_interval < record_wanted && size < kMaxChannelSamples) size *= 2;
    const double record = static_cast<double>(size) * sample_interval;
    FrequencyResponse response;
    const std::size_t points = size / 2;
    // The line as a two-port referred to its own impedance: no reflection
    // of its own, S21 = S12 = exp(-length gamma); the ends reflect against
    // that impedance, so matched ends leave exactly the line's response.
    const NetworkLane lane{{1, 0}, {2, 0}};
    TerminatedNetwork solver(2, {lane}, ends, {NetworkPath{0, 0}});
    std::complex<double> s[4];
    response.frequencies.reserve(points + 1);
    response.values.reserve(points + 1);
    for (std::size_t i = 0; i <= points; ++i) {
        const double f = nyquist * static_cast<double>(i) / static_cast<double>(points);
        const std::complex<double> h = LineResponse(line, f);
        s[0] = s[3] = 0.0;
        s[1] = s[2] = h;
        // The impedance grows without bound at DC; just above it serves.
        const double f_impedance = std::max(f, 1e-6 * nyquist / static_cast<double>(points));
        std::complex<double> transfer;
        solver.Solve(s, LineImpedance(line, f_impedance), 2.0 * std::numbers::pi * f, &transfer);
        response.frequencies.push_back(f);
        response.values.push_back(transfer);
    }
    ImpulseConversion conversion = ImpulseFromResponse(response, sample_interval, "--line", record);
    Channel channel;
    channel.taps = std::move(conversion.taps);
    channel.warnings = std::move(conversion.warnings);
    channel.name = "lossy line " + Figure("%.4g", line.length_m) + " m";
    channel.description = channel.name + " (" + Figure("%.4g", line.impedance_ohms) + " ohm, " +
                          Figure("%.3g", line.skin_db_per_m_at_1ghz) + " dB/m skin at 1 GHz, er " +
                          Figure("%.3g", line.permittivity) + ", tan d " + Figure("%.3g", line.loss_tangent) + "), " +
                          DescribeLoss(channel.taps, sample_interval);
    channel.ends = EndNotes(ends, line.impedance_ohms);
    channel.reference_ohms = line.impedance_ohms;
    return channel;
}

}  // namespace amisim
