// Well-behaved models give the same results, bit for bit, whether they
// run in a worker process or in amisim's own: the instance through its
// entry points, and whole runs of the command with their CSV and JSON.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "amisim/command_fixture.h"
#include "tools/amisim/models/ami_library.h"
#include "tools/amisim/models/model_instance.h"

using namespace amisim;

namespace {

constexpr double kBitTime = 1.0 / 10.8e9;
constexpr double kInterval = kBitTime / 16;

struct Trace {
    bool init_ok = false;
    std::string message, parameters_out;
    std::vector<double> impulse, wave, clock_times;
    bool close_ok = false;
};

// One instance through AMI_Init, AMI_GetWave in uneven blocks (a block
// larger than any before makes the worker's buffers grow) and AMI_Close.
Trace Drive(const char* library_path, const std::string& parameters, bool in_process) {
    ModelHosting hosting;
    hosting.in_process = in_process;
    hosting.worker = AMISIM_MODEL_WORKER;
    const AmiLibrary library(library_path);
    std::unique_ptr<ModelInstance> instance =
        MakeModelInstance(library_path, &library, "Rx", kInterval, kBitTime, hosting);
    std::vector<double> impulse(300);
    for (std::size_t n = 0; n < impulse.size(); ++n) impulse[n] = std::exp(-0.05 * static_cast<double>(n)) / kInterval;
    Trace trace;
    trace.init_ok = instance->Init(parameters, impulse);
    trace.message = instance->message();
    trace.impulse = instance->impulse();
    for (std::size_t start = 0, block = 7; start < 20000; start += block, block = block * 3 + 1) {
        std::vector<double> wave(block);
        for (std::size_t i = 0; i < block; ++i) wave[i] = ((start + i) / 16 * 2654435761u) % 7 < 3 ? 0.5 : -0.5;
        EXPECT_TRUE(instance->GetWave(wave.data(), static_cast<long>(wave.size())));
        trace.wave.insert(trace.wave.end(), wave.begin(), wave.end());
        const std::vector<double> times = instance->ClockTimes();
        trace.clock_times.insert(trace.clock_times.end(), times.begin(), times.end());
    }
    trace.parameters_out = instance->parameters_out();
    trace.close_ok = instance->Close();
    return trace;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(ModelHosting, AnInstanceOutOfProcessMatchesOneInProcessBitForBit) {
    const std::string parameters = "(ctle_dfe_rx (ctle True) (dfe True) (zero_ghz 2) (pole1_ghz 7) (pole2_ghz 20) (clock True))";
    const Trace in = Drive(AMISIM_RX_MODEL, parameters, true);
    const Trace out = Drive(AMISIM_RX_MODEL, parameters, false);
    EXPECT_EQ(in.init_ok, out.init_ok);
    EXPECT_EQ(in.message, out.message);
    EXPECT_EQ(in.parameters_out, out.parameters_out);
    EXPECT_TRUE(SameBits(in.impulse, out.impulse));
    EXPECT_TRUE(SameBits(in.wave, out.wave));
    EXPECT_FALSE(in.clock_times.empty());
    EXPECT_TRUE(SameBits(in.clock_times, out.clock_times));
    EXPECT_EQ(in.close_ok, out.close_ok);
}

std::unique_ptr<ModelInstance> Start(const char* library_path, const AmiLibrary& library, bool in_process) {
    ModelHosting hosting;
    hosting.in_process = in_process;
    hosting.worker = AMISIM_MODEL_WORKER;
    return MakeModelInstance(library_path, &library, "Tx", kInterval, kBitTime, hosting);
}

double Stimulus(std::size_t n) { return (n / 16 * 2654435761u) % 7 < 3 ? 0.5 : -0.5; }

// As the time-domain flow drives a model: each block handed over in the
// slot the last one did not use, and finished only after the next one has
// been started; the last block is short.
Trace DriveOverlapped(const char* library_path, const std::string& parameters, bool in_process) {
    const AmiLibrary library(library_path);
    std::unique_ptr<ModelInstance> instance = Start(library_path, library, in_process);
    Trace trace;
    trace.init_ok = instance->Init(parameters, 300);
    constexpr std::size_t kBlock = 4096, kTotal = 5 * kBlock - 480;
    std::vector<double> own[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
    double* slots[2] = {own[0].data(), own[1].data()};
    for (int slot = 0; slot < 2; ++slot)
        if (instance->WaveBuffer(kBlock, slot) != nullptr) slots[slot] = instance->WaveBuffer(kBlock, slot);
    const auto hand_over = [&](std::size_t start, int slot) {
        const std::size_t count = std::min(kBlock, kTotal - start);
        for (std::size_t i = 0; i < count; ++i) slots[slot][i] = Stimulus(start + i);
        instance->StartGetWave(slots[slot], static_cast<long>(count));
    };
    hand_over(0, 0);
    for (std::size_t start = 0, slot = 0; start < kTotal; start += kBlock, slot = 1 - slot) {
        EXPECT_TRUE(instance->FinishGetWave());
        const std::vector<double> times = instance->ClockTimes();
        if (start + kBlock < kTotal) hand_over(start + kBlock, 1 - static_cast<int>(slot));
        const std::size_t count = std::min(kBlock, kTotal - start);
        trace.wave.insert(trace.wave.end(), slots[slot], slots[slot] + count);
        trace.clock_times.insert(trace.clock_times.end(), times.begin(), times.end());
    }
    trace.close_ok = instance->Close();
    return trace;
}

TEST(ModelHosting, BlocksFilteredWhileTheCallerWorksMatchOneCallAtATime) {
    const std::string parameters = "(ctle_dfe_rx (ctle True) (dfe True) (zero_ghz 2) (clock True))";
    const Trace overlapped = DriveOverlapped(AMISIM_RX_MODEL, parameters, false);
    const Trace in_process = DriveOverlapped(AMISIM_RX_MODEL, parameters, true);
    // The reference: one call at a time, in process, in the same blocks.
    const AmiLibrary library(AMISIM_RX_MODEL);
    std::unique_ptr<ModelInstance> reference = Start(AMISIM_RX_MODEL, library, true);
    reference->Init(parameters, 300);
    std::vector<double> wave, times;
    for (std::size_t start = 0; start < overlapped.wave.size(); start += 4096) {
        std::vector<double> block(std::min<std::size_t>(4096, overlapped.wave.size() - start));
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = Stimulus(start + i);
        ASSERT_TRUE(reference->GetWave(block.data(), static_cast<long>(block.size())));
        wave.insert(wave.end(), block.begin(), block.end());
        const std::vector<double> ticks = reference->ClockTimes();
        times.insert(times.end(), ticks.begin(), ticks.end());
    }
    EXPECT_EQ(wave.size(), 5u * 4096 - 480);
    EXPECT_TRUE(SameBits(overlapped.wave, wave));
    EXPECT_TRUE(SameBits(in_process.wave, wave));
    EXPECT_FALSE(times.empty());
    EXPECT_TRUE(SameBits(overlapped.clock_times, times));
    EXPECT_TRUE(overlapped.close_ok);
}

// A fault in a block under way is named when the block is finished, or by
// AMI_Close when it never is; either way as the bits finished before it.
TEST(ModelHosting, AFaultInABlockUnderWayIsNamedWhereverItIsFound) {
    const AmiLibrary library(AMISIM_BROKEN_MODEL);
    const auto third_call_fails = [&](const std::string& fault, bool finish) -> std::string {
        std::unique_ptr<ModelInstance> instance = Start(AMISIM_BROKEN_MODEL, library, false);
        instance->Init("(broken (fault " + fault + "))", 300);
        // Slots 1, 0, 1: the faulty third call is in the second slot.
        for (int call = 1; call <= 3; ++call) {
            double* wave = instance->WaveBuffer(1600, call % 2);
            std::fill_n(wave, 1600, 0.25);
            instance->StartGetWave(wave, 1600);
            if (call < 3) {
                EXPECT_TRUE(instance->FinishGetWave());
            }
        }
        try {
            if (finish)
                instance->FinishGetWave();
            else
                instance->Close();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no fault named";
    };
    EXPECT_EQ(third_call_fails("past_wave", true),
              "the Tx model wrote past the end of the wave in AMI_GetWave (segmentation fault) after 200 bits");
    EXPECT_EQ(third_call_fails("null_getwave", false),
              "the Tx model crashed in AMI_GetWave (segmentation fault) after 200 bits");
    EXPECT_EQ(third_call_fails("none", false), "no fault named");
}

// The deadline runs from when a block was handed over, but a model that
// answered in time is not blamed for the caller coming back late.
TEST(ModelHosting, ABlockFinishedLateByTheCallerIsNotAModelTimeout) {
    const AmiLibrary library(AMISIM_PASSTHROUGH_MODEL);
    ModelHosting hosting;
    hosting.worker = AMISIM_MODEL_WORKER;
    hosting.timeout_seconds = 0.2;
    std::unique_ptr<ModelInstance> instance =
        MakeModelInstance(AMISIM_PASSTHROUGH_MODEL, &library, "Tx", kInterval, kBitTime, hosting);
    ASSERT_TRUE(instance->Init("(passthrough)", 300));
    double* wave = instance->WaveBuffer(64);
    std::fill_n(wave, 64, 0.5);
    instance->StartGetWave(wave, 64);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(instance->FinishGetWave());
    EXPECT_EQ(wave[63], 0.5);
    EXPECT_TRUE(instance->Close());
}

class HostingCommand : public amisim_test::CommandFolder {
protected:
    HostingCommand() : CommandFolder("amisim_hosting_") {}

    // The run's standard output without its timings, its CSV, and its JSON
    // without its timings.
    std::string Results(const std::string& arguments, const std::string& mode) {
        const amisim_test::Outcome outcome =
            Run(arguments + " " + mode + " --csv " + Path("w.csv") + " --json " + Path("r.json"));
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        std::istringstream lines(outcome.out);
        std::string kept, line;
        while (std::getline(lines, line))
            if (line.find("throughput") == std::string::npos && line.find("stage times") == std::string::npos)
                kept += line + "\n";
        nlohmann::json json = nlohmann::json::parse(Read(folder_ / "r.json"));
        std::vector<nlohmann::json*> runs{&json};
        if (json.contains("sweep"))
            for (nlohmann::json& point : json["sweep"]) runs.push_back(&point);
        for (nlohmann::json* run : runs)
            if (run->contains("time_domain"))
                for (const char* timing : {"tx_seconds", "channel_seconds", "rx_seconds"})
                    (*run)["time_domain"].erase(timing);
        return kept + Read(folder_ / "w.csv") + json.dump(1);
    }

    void ExpectSameBothWays(const std::string& arguments) {
        const std::string in = Results(arguments, "--in-process");
        const std::string out = Results(arguments, "");
        EXPECT_GT(in.size(), 1000u);
        EXPECT_TRUE(in == out) << arguments;
    }
};

TEST_F(HostingCommand, LinksGiveTheSameFiguresAndFilesBothWays) {
    const std::string rx = std::string(" --rx ") + AMISIM_RX_MODEL + " --rx-ami " + AMISIM_RX_AMI;
    ExpectSameBothWays(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --line 0.4m --bits 2000" + rx);
    ExpectSameBothWays(std::string(AMISIM_PASSTHROUGH_MODEL) +
                       " --root passthrough --line 0.3m --bits 1200 --block-size 4000 --sweep rx:zero_ghz=0.8,6" + rx);
#ifdef AMISIM_HAVE_KORVAN_TX
    ExpectSameBothWays(std::string(AMISIM_PACKAGE_DIR) + "/korvan_tx.ibs --line 0.5m --bits 2000 --param emphasis=3");
#endif
}

}  // namespace
