#include "tools/amisim/channel/network_transfer.h"

#include <algorithm>
#include <numbers>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/complex_lu.h"

namespace amisim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The legs of a group with the share of the group's voltage each carries:
// a pair is driven +1/2 and -1/2 (so its difference is the whole wave) and
// read as the difference of its legs.
struct Leg {
    int port;  // 0-based
    double sign;
};

int Legs(const PortGroup& group, Leg legs[2]) {
    legs[0] = {group.plus - 1, 1.0};
    if (!group.Differential()) return 1;
    legs[1] = {group.minus - 1, -1.0};
    return 2;
}

std::string PathName(const std::vector<NetworkLane>& lanes, const NetworkPath& path) {
    const PortGroup& in = lanes[path.from_lane].in;
    const PortGroup& out = lanes[path.to_lane].out;
    if (in.Differential() && out.Differential()) {
        if (in.plus == 1 && in.minus == 2 && out.plus == 3 && out.minus == 4) return "SDD21";
        return "SDD(" + DescribeGroup(out) + "<-" + DescribeGroup(in) + ")";
    }
    if (!in.Differential() && !out.Differential() && in.plus == 1 && out.plus == 2) return "S21";
    return "S(" + DescribeGroup(out) + "<-" + DescribeGroup(in) + ")";
}

}  // namespace

TerminatedNetwork::TerminatedNetwork(int ports, std::vector<NetworkLane> lanes, AnalogEnds ends,
                                     std::vector<NetworkPath> paths)
    : ports_(ports), lanes_(std::move(lanes)), ends_(std::move(ends)), paths_(std::move(paths)) {
    for (const NetworkPath& path : paths_)
        if (path.from_lane >= lanes_.size() || path.to_lane >= lanes_.size())
            throw UsageError("a transfer names a lane that is not there");
    // With matched ends no port reflects, and the transfer is a plain
    // combination of the matrix: nothing to solve.
    if (!ends_.Matched())
        for (const NetworkLane& lane : lanes_) {
            Leg legs[2];
            for (int i = 0, n = Legs(lane.in, legs); i < n; ++i) terminals_.push_back({legs[i].port, false});
            for (int i = 0, n = Legs(lane.out, legs); i < n; ++i) terminals_.push_back({legs[i].port, true});
        }
    const std::size_t m = terminals_.size();
    reflection_.resize(m);
    matrix_.resize(m * m);
    feedback_.resize(m);
    wave_.resize(static_cast<std::size_t>(ports_));
}

void TerminatedNetwork::Solve(const std::complex<double>* s, std::complex<double> z0, double omega,
                              std::complex<double>* out) {
    const std::size_t n = static_cast<std::size_t>(ports_);
    const std::size_t m = terminals_.size();
    const SourceEnd source = TxEnd(ends_, z0, omega);
    const std::complex<double> receiver = RxReflection(ends_, z0, omega);
    // Waves b leave the network, a = G b + a_source enter it at a port
    // whose end reflects G. Only the terminated ports feed back:
    // u = G_T b_T solves (I - G_T S_TT) u = G_T (S a_source)_T.
    for (std::size_t t = 0; t < m; ++t) reflection_[t] = terminals_[t].receiver ? receiver : source.reflection;
    bool factored = false;
    if (m > 0) {
        for (std::size_t r = 0; r < m; ++r)
            for (std::size_t c = 0; c < m; ++c)
                matrix_[r * m + c] = (r == c ? 1.0 : 0.0) -
                                     reflection_[r] * s[static_cast<std::size_t>(terminals_[r].port) * n +
                                                        static_cast<std::size_t>(terminals_[c].port)];
        factored = FactorLu(matrix_.data(), static_cast<int>(m), pivot_);
        if (!factored) throw UsageError("the network and its ends resonate without loss at " +
                                        std::to_string(omega / kTwoPi / 1e9) + " GHz: no finite response");
    }
    std::size_t solved_lane = lanes_.size();  // the source lane the feedback was solved for
    for (std::size_t p = 0; p < paths_.size(); ++p) {
        const NetworkLane& from = lanes_[paths_[p].from_lane];
        Leg in[2], observed[2];
        const int in_count = Legs(from.in, in);
        const int out_count = Legs(lanes_[paths_[p].to_lane].out, observed);
        const double share = in_count == 2 ? 0.5 : 1.0;
        // (S a_source) at row k: the incident wave sits on the source legs only.
        const auto driven = [&](int row) {
            std::complex<double> sum = 0.0;
            for (int i = 0; i < in_count; ++i)
                sum += s[static_cast<std::size_t>(row) * n + static_cast<std::size_t>(in[i].port)] *
                       (in[i].sign * share);
            return sum * source.launch;
        };
        if (m > 0 && solved_lane != paths_[p].from_lane) {
            for (std::size_t t = 0; t < m; ++t) feedback_[t] = reflection_[t] * driven(terminals_[t].port);
            SolveLu(matrix_.data(), static_cast<int>(m), pivot_, feedback_.data());
            solved_lane = paths_[p].from_lane;
        }
        std::complex<double> voltage = 0.0;
        for (int o = 0; o < out_count; ++o) {
            std::complex<double> b = driven(observed[o].port);
            for (std::size_t t = 0; t < m; ++t)
                b += s[static_cast<std::size_t>(observed[o].port) * n + static_cast<std::size_t>(terminals_[t].port)] *
                     feedback_[t];
            // No source sits at a receiver's port: a = G b there, V = a + b.
            const std::complex<double> at_pad = m > 0 ? (1.0 + receiver) * b : b;
            voltage += observed[o].sign * at_pad;
        }
        out[p] = voltage;
    }
}

std::vector<FrequencyResponse> VoltageTransfers(const Network& network, const std::vector<NetworkLane>& lanes,
                                                const AnalogEnds& ends, const std::vector<NetworkPath>& paths) {
    if (!network.UniformReference())
        throw UsageError("the network's ports differ in reference impedance; renormalise it first");
    CheckLanes(lanes, network.ports, "the network");
    TerminatedNetwork solver(network.ports, lanes, ends, paths);
    std::vector<FrequencyResponse> responses(paths.size());
    for (FrequencyResponse& response : responses) {
        response.frequencies = network.frequencies;
        response.values.resize(network.frequencies.size());
    }
    std::vector<std::complex<double>> values(paths.size());
    const std::complex<double> z0 = network.Reference();
    for (std::size_t f = 0; f < network.frequencies.size(); ++f) {
        solver.Solve(network.Matrix(f), z0, kTwoPi * network.frequencies[f], values.data());
        for (std::size_t p = 0; p < paths.size(); ++p) responses[p].values[f] = values[p];
    }
    return responses;
}

std::vector<Channel> TransferChannels(const Network& network, const std::vector<NetworkLane>& lanes,
                                      const AnalogEnds& ends, const std::vector<NetworkPath>& paths,
                                      double sample_interval, const std::string& source) {
    const std::vector<FrequencyResponse> responses = VoltageTransfers(network, lanes, ends, paths);
    std::vector<Channel> channels;
    channels.reserve(paths.size());
    for (std::size_t p = 0; p < paths.size(); ++p) {
        const std::string name = PathName(lanes, paths[p]);
        ImpulseConversion conversion = ImpulseFromResponse(responses[p], sample_interval, source + " " + name);
        Channel channel;
        channel.taps = std::move(conversion.taps);
        // Crosstalk paths and reflections at unmatched ends can exceed a
        // gain of one without breaking passivity; that is judged from the
        // whole matrix instead (LoadNetwork).
        for (std::string& warning : conversion.warnings)
            if (warning.find("not passive") == std::string::npos) channel.warnings.push_back(std::move(warning));
        channel.name = name;
        channel.description = name;
        channels.push_back(std::move(channel));
    }
    return channels;
}

}  // namespace amisim
