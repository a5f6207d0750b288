// Installing the build into a fresh prefix: both commands with their man
// pages and the model package, and the installed commands work on the
// installed package.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "command_support.h"

namespace {

using namespace ibischeck_test;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Install, PutsBothCommandsManPagesAndThePackageUnderThePrefix) {
    TempFolder prefix;
    const CommandResult install =
        RunCommand({CMAKE_COMMAND_PATH, "--install", KORVAN_BUILD_DIR, "--prefix", prefix.path().string()}, fs::current_path(),
            true);
    ASSERT_EQ(install.status, 0) << install.out;

    const fs::path root = prefix.path();
    const fs::path ibischeck = root / "bin" / "ibischeck";
    const fs::path amisim = root / "bin" / "amisim";
    ASSERT_TRUE(fs::exists(ibischeck));
    ASSERT_TRUE(fs::exists(amisim));
    fs::path package;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().filename() == "korvan_tx.ibs") package = entry.path().parent_path();
    ASSERT_FALSE(package.empty());
    EXPECT_TRUE(fs::exists(package / "korvan_tx.so"));
    EXPECT_TRUE(fs::exists(package / "korvan_tx.ami"));

    // The installed checker passes the installed package, library included.
    const CommandResult checked = RunCommand({ibischeck.string(), "korvan_tx.ibs"}, package);
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_NE(checked.out.find("File Passed"), std::string::npos) << checked.out;

    // The installed driver loads the installed model and prints its eye.
    const CommandResult driven = RunCommand({amisim.string(), "--bits", "256", "korvan_tx.ibs"}, package);
    EXPECT_EQ(driven.status, 0) << driven.out;
    EXPECT_NE(driven.out.find("eye"), std::string::npos) << driven.out;

    // Each man page lists the options its command's help lists.
    for (const char* command : {"ibischeck", "amisim"}) {
        const std::string page = Slurp(root / "share" / "man" / "man1" / (std::string(command) + ".1"));
        ASSERT_FALSE(page.empty()) << command;
        EXPECT_NE(page.find(".SH OPTIONS"), std::string::npos) << command;
        EXPECT_NE(page.find("\\-\\-help"), std::string::npos) << command;
    }
    const std::string ibischeckPage = Slurp(root / "share" / "man" / "man1" / "ibischeck.1");
    for (const char* option : {"\\-\\-format", "\\-\\-jobs", "\\-\\-fail\\-on", "\\-\\-explain", "\\-\\-summary",
                               "\\-\\-recursive", "EXIT STATUS"})
        EXPECT_NE(ibischeckPage.find(option), std::string::npos) << option;
}

}  // namespace
