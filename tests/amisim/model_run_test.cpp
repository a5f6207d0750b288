// amisim's pieces against real libraries: the stand-in pass-through model,
// the korvan_tx package, and libraries that are no models at all.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/amisim/models/ami_library.h"
#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/block_runner.h"
#include "tools/amisim/reports/csv_writer.h"
#include "tools/amisim/flows/prbs.h"
#include "tools/amisim/flows/stimulus.h"

using namespace amisim;

namespace {

constexpr double kBitTime = 1.0 / 10.8e9;
constexpr int kPerBit = 16;

struct CsvRow {
    double time, input, output;
};

std::vector<CsvRow> ReadCsv(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "time,input,output");
    std::vector<CsvRow> rows;
    while (std::getline(in, line)) {
        CsvRow row{};
        double* fields[] = {&row.time, &row.input, &row.output};
        const char* p = line.data();
        const char* end = line.data() + line.size();
        for (double* field : fields) {
            const auto result = std::from_chars(p, end, *field);
            EXPECT_EQ(result.ec, std::errc()) << line;
            p = result.ptr + (result.ptr < end ? 1 : 0);
        }
        rows.push_back(row);
    }
    return rows;
}

// The model driven directly through dlsym, one AMI_GetWave call for the
// whole waveform, without any of amisim's code.
std::vector<double> RunDirectly(const std::string& library, const std::string& parameters,
                                std::vector<double> wave) {
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle, nullptr) << dlerror();
    if (handle == nullptr) return {};
    const auto init = reinterpret_cast<AmiInitFunction*>(
        reinterpret_cast<std::uintptr_t>(dlsym(handle, "AMI_Init")));
    const auto get_wave = reinterpret_cast<AmiGetWaveFunction*>(
        reinterpret_cast<std::uintptr_t>(dlsym(handle, "AMI_GetWave")));
    const auto close = reinterpret_cast<AmiCloseFunction*>(
        reinterpret_cast<std::uintptr_t>(dlsym(handle, "AMI_Close")));
    std::vector<double> impulse(256, 0.0);
    std::string text = parameters;
    char* out = nullptr;
    char* msg = nullptr;
    void* memory = nullptr;
    EXPECT_EQ(init(impulse.data(), 256, 0, kBitTime / kPerBit, kBitTime, text.data(), &out, &memory, &msg), 1);
    std::vector<double> clock(wave.size() + 3);
    EXPECT_EQ(get_wave(wave.data(), static_cast<long>(wave.size()), clock.data(), &out, memory), 1);
    EXPECT_EQ(close(memory), 1);
    dlclose(handle);
    return wave;
}

// amisim's path: library, session, blocks of `block` samples, CSV text.
std::vector<CsvRow> RunThroughAmisim(const std::string& library, const std::string& parameters,
                                     const std::vector<double>& input, std::size_t block) {
    const AmiLibrary model(library);
    AmiSession session(model, kBitTime / kPerBit, kBitTime);
    EXPECT_TRUE(session.Init(parameters, 16 * kPerBit));
    const BlockRun run = RunInBlocks(session, input, block);
    EXPECT_TRUE(session.Close());
    EXPECT_EQ(run.calls, (input.size() + block - 1) / block);
    std::ostringstream csv;
    WriteWaveformCsv(csv, kBitTime / kPerBit, input, run.output);
    return ReadCsv(csv.str());
}

std::vector<double> Stimulus(std::size_t bits) {
    return NrzWaveform(PrbsGenerator(7).Generate(bits), kPerBit);
}

void ExpectCsvMatches(const std::vector<CsvRow>& rows, const std::vector<double>& input,
                      const std::vector<double>& output) {
    ASSERT_EQ(rows.size(), input.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].time, static_cast<double>(i) * (kBitTime / kPerBit)) << "row " << i;
        ASSERT_EQ(rows[i].input, input[i]) << "row " << i;
        ASSERT_EQ(rows[i].output, output[i]) << "row " << i;  // exact: shortest round-trip text
    }
}

TEST(ModelRun, PassThroughStandInReturnsItsInput) {
    const std::vector<double> input = Stimulus(300);
    ExpectCsvMatches(RunThroughAmisim(AMISIM_PASSTHROUGH_MODEL, "(passthrough)", input, 1000), input,
                     input);
}

#ifdef AMISIM_HAVE_KORVAN_TX
TEST(ModelRun, CsvMatchesTheModelRunDirectly) {
    const std::string library = AMISIM_PACKAGE_DIR "/korvan_tx.so";
    const std::vector<double> input = Stimulus(400);
    for (const char* parameters : {"(korvan_tx (emphasis 0) (Vreg 2) (corner 2))",
                                   "(korvan_tx (emphasis 6) (Vreg 1) (corner 0))"}) {
        SCOPED_TRACE(parameters);
        const std::vector<double> direct = RunDirectly(library, parameters, input);
        // Odd block sizes: the model's state must carry across calls.
        ExpectCsvMatches(RunThroughAmisim(library, parameters, input, 333), input, direct);
    }
}
#endif

TEST(ModelRun, FailuresOfTheModelAreModelErrors) {
    const AmiLibrary model(AMISIM_PASSTHROUGH_MODEL);
    {
        AmiSession session(model, kBitTime / kPerBit, kBitTime);
        EXPECT_FALSE(session.Init("(passthrough (fail_init 1))", 16));
        EXPECT_NE(session.message().find("fail_init"), std::string::npos);
    }  // closed by the destructor after a failed AMI_Init
    AmiSession session(model, kBitTime / kPerBit, kBitTime);
    ASSERT_TRUE(session.Init("(passthrough (fail_getwave 1))", 16));
    try {
        RunInBlocks(session, Stimulus(10), 64);
        FAIL() << "the failing call must be reported";
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kModelFailure);
        EXPECT_EQ(std::string(e.what()), "AMI_GetWave failed (returned 0) on samples 64 to 127");
    }
}

TEST(ModelRun, LibrariesThatAreNoModelsAreRefused) {
    try {
        AmiLibrary missing("/nonexistent/model.so");
        FAIL();
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
    }
    try {
        AmiLibrary text(KORVAN_SOURCE_DIR "/package/korvan_tx.ami");  // not a library
        FAIL();
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kModelFailure);
        EXPECT_NE(std::string(e.what()).find("cannot load the model library"), std::string::npos);
    }
    // A real shared library without the entry points: the C math library
    // this process has loaded.
    void* libm = dlopen("libm.so.6", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(libm, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(libm, "cos"), &info), 0);
    dlclose(libm);
    try {
        AmiLibrary math(info.dli_fname);
        FAIL();
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kModelFailure);
        EXPECT_NE(std::string(e.what()).find("does not export AMI_Init AMI_GetWave AMI_Close"),
                  std::string::npos);
    }
}

}  // namespace
