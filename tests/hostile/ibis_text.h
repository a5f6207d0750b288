#pragma once
// Pieces of IBIS and .ami files for building hostile inputs at run time.

#include <cstddef>
#include <random>
#include <string>

namespace hostile {

inline std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// The header every .ibs case starts with; `name` is the file's own name.
inline std::string Header(const std::string& name, const std::string& version = "4.2") {
    return "[IBIS Ver] " + version + "\n[File Name] " + name + "\n[File Rev] 1.0\n";
}

// A component with a package and one pin using model buf.
inline std::string Component() {
    return "[Component] Chip\n[Manufacturer] Korvan\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\n"
           "C_pkg 1p 0.5p 1.5p\n[Pin] signal_name model_name R_pin L_pin C_pin\n1 IO buf\n";
}

// The keyword lines of an output model up to its first table.
inline std::string OutputModel(const std::string& name) {
    return "[Model] " + name + "\nModel_type Output\nVmeas = 1.5\nC_comp 5p 4p 6p\n[Voltage Range] 3.3 3.0 3.6\n";
}

inline std::string InputModel(const std::string& name) {
    return "[Model] " + name + "\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 5p 4p 6p\n";
}

// `size` bytes of noise from a seeded generator.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Lines assembled from the words of IBIS files in random order: keywords,
// sub-parameters, numbers with and without scale, NA, odd punctuation. They
// reach far more of the section handlers than raw noise does.
inline std::string WordSoup(std::size_t lines, unsigned seed) {
    static const char* const words[] = {
        "[Model]", "[Component]", "[Pin]", "[Package]", "[Manufacturer]", "[Pulldown]", "[Pullup]",
        "[GND Clamp]", "[POWER Clamp]", "[Ramp]", "[Rising Waveform]", "[Falling Waveform]", "[Voltage Range]",
        "[Temperature Range]", "[Model Selector]", "[Submodel]", "[Add Submodel]", "[Model Spec]",
        "[Receiver Thresholds]", "[Driver Schedule]", "[Series Pin Mapping]", "[Diff Pin]", "[Pin Mapping]",
        "[Define Package Model]", "[Number Of Pins]", "[Pin Numbers]", "[Model Data]", "[Resistance Matrix]",
        "[Row]", "[End Model Data]", "[End Package Model]", "[Begin Board Description]", "[Path Description]",
        "[Algorithmic Model]", "[End Algorithmic Model]", "[External Model]", "[End External Model]",
        "[Test Data]", "[Test Load]", "[On]", "[Off]", "[R Series]", "[Series MOSFET]", "[Notes]",
        "Model_type", "I/O", "Output", "Input", "Series", "Polarity", "Enable", "Vinl", "Vinh", "Vmeas", "Cref",
        "C_comp", "R_fixture", "V_fixture", "dV/dt_r", "dV/dt_f", "Executable", "Len=0", "R=1", "L=2n", "/",
        "=", "NA", "na", "0", "-1", "3.3", "1e-9", "5p", "2.2nF", "1.0pF2", "1/0.5n", "abc", "GND", "POWER",
        "NC", "|", "typ", "min", "max", "\t", "  ",
    };
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof words / sizeof words[0] - 1);
    std::uniform_int_distribution<int> count(0, 6);
    std::string text;
    for (std::size_t line = 0; line < lines; ++line) {
        for (int n = count(random); n >= 0; --n) {
            text += words[pick(random)];
            text += ' ';
        }
        text += '\n';
    }
    return text;
}

}  // namespace hostile
