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
#include "tools/amisim/channel/touchstone.h"

namespace amisim {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Figure(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Column sums of |S|^2 above one mean the network gives out more power
// than it takes in at that port: a passive network never does.
void CheckPassivity(const TouchstoneData& data, const std::string& source, std::vector<std::string>& warnings) {
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

FrequencyResponse Through(const TouchstoneData& data, const PortOrder& ports) {
    FrequencyResponse response;
    response.frequencies = data.frequencies;
    for (std::size_t f = 0; f < data.frequencies.size(); ++f) {
        if (data.ports == 2) {
            response.values.push_back(data.At(f, 2, 1));
        } else {
            // The differential through of the mixed-mode conversion:
            // SDD21 = (S(op,ip) - S(op,in) - S(on,ip) + S(on,in)) / 2.
            response.values.push_back(0.5 * (data.At(f, ports.out_p, ports.in_p) - data.At(f, ports.out_p, ports.in_n) -
                                              data.At(f, ports.out_n, ports.in_p) + data.At(f, ports.out_n, ports.in_n)));
        }
    }
    return response;
}

std::string DescribeLoss(const std::vector<double>& taps, double sample_interval) {
    double dc = 0.0;
    for (double t : taps) dc += t;
    return std::to_string(taps.size()) + " taps (" +
           Figure("%.3g", static_cast<double>(taps.size()) * sample_interval * 1e9) + " ns), DC gain " +
           Figure("%.4f", dc);
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

PortOrder ParsePortOrder(const std::string& text) {
    int values[4] = {};
    std::istringstream in(text);
    char comma = ',';
    bool ok = true;
    for (int i = 0; i < 4 && ok; ++i) {
        ok = static_cast<bool>(in >> values[i]) && values[i] >= 1 && values[i] <= 4;
        if (i < 3 && ok) ok = static_cast<bool>(in >> comma) && comma == ',';
    }
    std::string rest;
    in >> rest;
    std::vector<int> sorted(values, values + 4);
    std::sort(sorted.begin(), sorted.end());
    if (!ok || !rest.empty() || sorted != std::vector<int>{1, 2, 3, 4})
        throw UsageError("--ports " + text + ": give the 4-port's two inputs then its two outputs, e.g. 1,2,3,4");
    return {values[0], values[1], values[2], values[3]};
}

Channel LoadChannel(const std::string& path, const PortOrder& ports, double sample_interval) {
    Channel channel;
    const std::string extension = Lower(std::filesystem::path(path).extension().string());
    if (extension == ".csv") {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw UsageError(path + ": cannot open the channel file");
        channel.taps = ReadChannelCsv(in, sample_interval, path);
        channel.name = std::filesystem::path(path).filename().string();
        channel.description = channel.name;
    } else if (extension == ".s2p" || extension == ".s4p") {
        const TouchstoneData data = ReadTouchstoneFile(path);
        CheckPassivity(data, path, channel.warnings);
        ImpulseConversion conversion = ImpulseFromResponse(Through(data, ports), sample_interval, path);
        for (std::string& warning : conversion.warnings)
            if (warning.find("not passive") == std::string::npos) channel.warnings.push_back(std::move(warning));
        channel.taps = std::move(conversion.taps);
        channel.name = std::filesystem::path(path).filename().string();
        channel.description = channel.name + (data.ports == 2 ? " S21" : " SDD21");
    } else {
        throw UsageError(path + ": a channel is an .s2p or .s4p Touchstone file or a .csv step or impulse response");
    }
    channel.description += ", " + DescribeLoss(channel.taps, sample_interval);
    return channel;
}

Channel LineChannel(const LineParameters& line, double sample_interval) {
    // Sampled straight from the model on the transform's grid, so the only
    // approximation is the taper at the top of the band.
    const double nyquist = 0.5 / sample_interval;
    // Long enough for the delay and the slow skin-effect tail, rounded up
    // to the transform's size so that the samples fall on its grid.
    std::size_t size = 256;
    while (static_cast<double>(size) * sample_interval < 4.0 * LineDelay(line) + 20e-9) size *= 2;
    const double record = static_cast<double>(size) * sample_interval;
    FrequencyResponse response;
    const std::size_t points = size / 2;
    for (std::size_t i = 0; i <= points; ++i) {
        const double f = nyquist * static_cast<double>(i) / static_cast<double>(points);
        response.frequencies.push_back(f);
        response.values.push_back(LineResponse(line, f));
    }
    ImpulseConversion conversion = ImpulseFromResponse(response, sample_interval, "--line", record);
    Channel channel;
    channel.taps = std::move(conversion.taps);
    channel.warnings = std::move(conversion.warnings);
    channel.name = "lossy line " + Figure("%.4g", line.length_m) + " m";
    channel.description = channel.name + " (" +
                          Figure("%.3g", line.skin_db_per_m_at_1ghz) + " dB/m skin at 1 GHz, er " +
                          Figure("%.3g", line.permittivity) + ", tan d " + Figure("%.3g", line.loss_tangent) + "), " +
                          DescribeLoss(channel.taps, sample_interval);
    return channel;
}

}  // namespace amisim
