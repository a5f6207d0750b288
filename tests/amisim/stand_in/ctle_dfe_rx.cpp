// A stand-in IBIS-AMI receiver for amisim's tests, of the kind foreign
// models are: a CTLE (one zero, two poles, unit gain at DC) and a one-tap
// DFE behind the three entry points. AMI_Init equalises the impulse it is
// given and returns it (Init_Returns_Impulse True): the CTLE applied to the
// impulse, and the DFE tap, sized to the first post-cursor of the pulse
// response, taken off as a unit interval of feedback half a unit interval
// after the sampling point. AMI_GetWave does the same to the waveform and
// returns clock times: each sampling instant less half a unit interval.
//
// Parameters: (ctle True|False) (dfe True|False) (zero_ghz f) (pole1_ghz f)
// (pole2_ghz f) (clock True|False) (fail_init True|False).

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The value text after "(name " in the parameter string, or "".
std::string Value(const char* parameters, const char* name) {
    const std::string key = std::string("(") + name + " ";
    const char* at = std::strstr(parameters, key.c_str());
    if (at == nullptr) return {};
    at += key.size();
    const char* end = std::strchr(at, ')');
    return end != nullptr ? std::string(at, end) : std::string();
}

bool Flag(const char* parameters, const char* name, bool otherwise) {
    const std::string value = Value(parameters, name);
    return value.empty() ? otherwise : value == "True";
}

double Number(const char* parameters, const char* name, double otherwise) {
    const std::string value = Value(parameters, name);
    return value.empty() ? otherwise : std::strtod(value.c_str(), nullptr);
}

// A first-order section by the bilinear transform: (s + zero) / (s + pole),
// or pole / (s + pole) when there is no zero.
struct Section {
    double b0 = 1, b1 = 0, a1 = 0, state_x = 0, state_y = 0;
    Section() = default;
    Section(double zero, double pole, bool has_zero, double dt) {
        const double k = 2.0 / dt;
        const double a0 = k + pole;
        b0 = has_zero ? (k + zero) / a0 : pole / a0;
        b1 = has_zero ? (zero - k) / a0 : pole / a0;
        a1 = (pole - k) / a0;
    }
    double Step(double x) {
        const double y = b0 * x + b1 * state_x - a1 * state_y;
        state_x = x;
        state_y = y;
        return y;
    }
};

struct Ctle {
    Section first, second;
    double gain = 1.0;
    bool on = false;
    double Step(double x) { return on ? gain * second.Step(first.Step(x)) : x; }
};

struct Instance {
    Ctle ctle;
    double tap = 0.0;
    long samples_per_bit = 1;
    long main_cursor = 0;  // samples from a bit's start to its sampling point
    double sample_interval = 0.0;
    double bit_time = 0.0;
    bool clock = true;
    long sample = 0;          // samples seen by AMI_GetWave
    double feedback = 0.0;    // the decision being fed back
    double pending = 0.0;     // the next one, due at pending_at
    long pending_at = -1;
    std::string message;
};

Ctle MakeCtle(const char* parameters, double dt) {
    constexpr double kTwoPi = 6.283185307179586;
    const double zero = kTwoPi * 1e9 * Number(parameters, "zero_ghz", 1.5);
    const double pole1 = kTwoPi * 1e9 * Number(parameters, "pole1_ghz", 7.0);
    const double pole2 = kTwoPi * 1e9 * Number(parameters, "pole2_ghz", 20.0);
    Ctle ctle;
    ctle.on = Flag(parameters, "ctle", true);
    ctle.first = Section(zero, pole1, true, dt);
    ctle.second = Section(0.0, pole2, false, dt);
    ctle.gain = pole1 / zero;  // unit gain at DC
    return ctle;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) long AMI_Init(double* impulse, long row_size, long, double sample_interval,
                                                     double bit_time, char* parameters_in, char**, void** memory,
                                                     char** msg) {
    auto* instance = new Instance;
    *memory = instance;
    const char* parameters = parameters_in != nullptr ? parameters_in : "";
    instance->sample_interval = sample_interval;
    instance->bit_time = bit_time;
    instance->samples_per_bit = std::lround(bit_time / sample_interval);
    instance->clock = Flag(parameters, "clock", true);
    if (Flag(parameters, "fail_init", false) || impulse == nullptr || row_size < 1 ||
        instance->samples_per_bit < 2) {
        instance->message = "ctle_dfe_rx: refusing to start (fail_init, or no impulse)";
        *msg = instance->message.data();
        return 0;
    }
    const long per_bit = instance->samples_per_bit;

    // The CTLE on the impulse, from rest; the waveform's filter starts from
    // rest as well.
    Ctle filter = MakeCtle(parameters, sample_interval);
    for (long n = 0; n < row_size; ++n) impulse[n] = filter.Step(impulse[n]);
    instance->ctle = MakeCtle(parameters, sample_interval);

    // The pulse response, its main cursor, and the DFE tap.
    std::vector<double> pulse(static_cast<std::size_t>(row_size), 0.0);
    double running = 0.0;
    for (long n = 0; n < row_size; ++n) {
        running += impulse[n] - (n >= per_bit ? impulse[n - per_bit] : 0.0);
        pulse[static_cast<std::size_t>(n)] = running * sample_interval;
    }
    long main = 0;
    for (long n = 1; n < row_size; ++n)
        if (std::fabs(pulse[static_cast<std::size_t>(n)]) > std::fabs(pulse[static_cast<std::size_t>(main)])) main = n;
    instance->main_cursor = main;
    if (Flag(parameters, "dfe", true) && main + per_bit < row_size) {
        instance->tap = pulse[static_cast<std::size_t>(main + per_bit)];
        const long at = main + per_bit / 2;
        impulse[at] -= instance->tap / sample_interval;
    }
    char text[256];
    std::snprintf(text, sizeof text,
                  "ctle_dfe_rx: CTLE %s, DFE tap %.5f V\n\n  main cursor %ld samples after a bit enters\n",
                  instance->ctle.on ? "on" : "off", instance->tap, main);
    instance->message = text;
    *msg = instance->message.data();
    return 1;
}

__attribute__((visibility("default"))) long AMI_GetWave(double* wave, long size, double* clock_times, char**,
                                                        void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    const long per_bit = instance->samples_per_bit;
    long ticks = 0;
    for (long i = 0; i < size; ++i, ++instance->sample) {
        const long n = instance->sample;
        if (n == instance->pending_at) instance->feedback = instance->pending;
        const double out = instance->ctle.Step(wave[i]) - instance->tap * instance->feedback;
        wave[i] = out;
        if (n >= instance->main_cursor && (n - instance->main_cursor) % per_bit == 0) {
            // Decisions are the transmitted symbols, +-0.5; the tap is
            // per unit pulse, as the impulse AMI_Init took it off.
            instance->pending = out >= 0.0 ? 0.5 : -0.5;
            instance->pending_at = n + per_bit / 2;
            if (instance->clock && clock_times != nullptr)
                clock_times[ticks++] = static_cast<double>(n) * instance->sample_interval - instance->bit_time / 2;
        }
    }
    if (clock_times != nullptr) clock_times[ticks] = -1.0;
    return 1;
}

__attribute__((visibility("default"))) long AMI_Close(void* memory) {
    delete static_cast<Instance*>(memory);
    return 1;
}

}  // extern "C"
