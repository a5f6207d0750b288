// The shipped library: exactly the three entry points leave it, under their
// plain names, and they work when loaded the way a simulator loads them.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ami_test_support.h"

namespace {

class SharedLibrary {
public:
    SharedLibrary() : handle(dlopen(KORVAN_TX_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {}
    ~SharedLibrary() {
        if (handle != nullptr) dlclose(handle);
    }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    void* handle;
};

TEST(SharedLibrary, ExportsTheThreeEntryPoints) {
    SharedLibrary library;
    ASSERT_NE(library.handle, nullptr) << dlerror();
    for (const char* name : {"AMI_Init", "AMI_GetWave", "AMI_Close"}) {
        EXPECT_NE(dlsym(library.handle, name), nullptr) << name;
    }
}

TEST(SharedLibrary, DefinesNoOtherDynamicSymbol) {
    const std::string command = std::string("nm -D --defined-only '") + KORVAN_TX_LIBRARY + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string listing;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) listing += buffer;
    if (pclose(pipe) != 0 && listing.empty()) GTEST_SKIP() << "nm is not available";

    std::set<std::string> names;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        names.insert(name);
    }
    EXPECT_EQ(names, (std::set<std::string>{"AMI_Close", "AMI_GetWave", "AMI_Init"}));
}

TEST(SharedLibrary, RunsAnInstanceThroughTheLoadedEntryPoints) {
    using InitFn = long (*)(double*, long, long, double, double, char*, char**, void**, char**);
    using GetWaveFn = long (*)(double*, long, double*, char**, void*);
    using CloseFn = long (*)(void*);
    SharedLibrary library;
    ASSERT_NE(library.handle, nullptr) << dlerror();
    auto init = reinterpret_cast<InitFn>(dlsym(library.handle, "AMI_Init"));
    auto get_wave = reinterpret_cast<GetWaveFn>(dlsym(library.handle, "AMI_GetWave"));
    auto close = reinterpret_cast<CloseFn>(dlsym(library.handle, "AMI_Close"));
    ASSERT_TRUE(init && get_wave && close);

    std::string text = amitest::Parameters(1, 1, 2);
    void* memory = nullptr;
    char* msg = nullptr;
    ASSERT_EQ(init(nullptr, 0, 0, amitest::kBitTime / 16, amitest::kBitTime, text.data(), nullptr, &memory, &msg), 1);
    std::vector<double> wave = amitest::BitPattern(20, 16, 3);
    std::vector<double> clock(4, 0.0);
    EXPECT_EQ(get_wave(wave.data(), static_cast<long>(wave.size()), clock.data(), nullptr, memory), 1);
    EXPECT_EQ(close(memory), 1);

    // The same instance through the statically linked entry points.
    amitest::Instance local(text);
    std::vector<double> expected = amitest::BitPattern(20, 16, 3);
    ASSERT_EQ(local.GetWave(expected), 1);
    EXPECT_EQ(wave, expected);
}

}  // namespace
