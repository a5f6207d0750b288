// The shipped model package as its users' tools see it: our own checker must
// find nothing in it, and parsers that take any "[" for the start of a
// keyword (PyIBIS-AMI's among them) must meet one only at a keyword.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

const std::string kPackageSource = KORVAN_SOURCE_DIR "/package/";

std::string RunCommand(const std::string& command, int* status) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    if (!pipe) return output;
    std::array<char, 4096> chunk{};
    size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0) output.append(chunk.data(), got);
    *status = ::pclose(pipe.release());
    return output;
}

TEST(PackageFiles, BracketsOnlyOpenKeywords) {
    for (const char* name : {"korvan_tx.ibs", "korvan_tx.ami"}) {
        SCOPED_TRACE(name);
        std::ifstream file(kPackageSource + name);
        ASSERT_TRUE(file) << "cannot open the package file";
        std::string line;
        int number = 0;
        while (std::getline(file, line)) {
            ++number;
            const size_t bracket = line.find('[');
            if (bracket == std::string::npos) continue;
            // A keyword line has its "[" in the first column and no other.
            EXPECT_TRUE(bracket == 0 && line.find('[', 1) == std::string::npos)
                << "line " << number << " holds a bracket inside its text: " << line;
        }
    }
}

TEST(PackageFiles, AssembledPackagePassesTheCheckerWithoutFindings) {
    int status = -1;
    const std::string report =
        RunCommand("cd '" KORVAN_PACKAGE_DIR "' && '" IBISCHECK_PATH "' korvan_tx.ibs korvan_tx.ami 2>&1", &status);
    EXPECT_EQ(status, 0) << report;
    for (const char* level : {"ERROR", "WARNING", "CAUTION", "NOTE", "PROGRAM BUG"})
        EXPECT_EQ(report.find(level), std::string::npos) << level << " in:\n" << report;
    EXPECT_EQ(report.find("File Failed"), std::string::npos) << report;
}

}  // namespace
