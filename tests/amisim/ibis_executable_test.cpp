#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ibis_executable.h"

using namespace amisim;

namespace {

const HostPlatform kLinux64{"Linux", "gcc", 64};

TEST(IbisExecutable, ReadsEveryLineOfEverySection) {
    std::istringstream ibs(R"([IBIS Ver] 5.0
[Model] first
[Algorithmic Model]
Executable Windows_VisualStudio_32 first.dll first.ami | comment
Executable Linux_gcc_x86_64 bad.so bad.ami
Executable Linux_gcc_64 first.so first.ami
[End Algorithmic Model]
Executable Linux_gcc_64 outside.so outside.ami
[Comment Char] #_char
[Model] second   # the comment character changed
[Algorithmic Model]
Executable Linux_clang_64 second.so second.ami # a | is no comment now
[End Algorithmic Model]
)");
    const std::vector<ExecutableLine> lines = ReadExecutableLines(ibs);
    ASSERT_EQ(lines.size(), 3u);  // the x86_64 line has too many fields
    EXPECT_EQ(lines[0].model, "first");
    EXPECT_EQ(lines[0].platform, "Windows");
    EXPECT_EQ(lines[0].compiler, "VisualStudio");
    EXPECT_EQ(lines[0].bits, 32);
    EXPECT_EQ(lines[0].ami_file, "first.ami");
    EXPECT_EQ(lines[1].library, "first.so");
    EXPECT_EQ(lines[1].line, 6);
    EXPECT_EQ(lines[2].model, "second");
    EXPECT_EQ(lines[2].compiler, "clang");
}

TEST(IbisExecutable, ResolvesThePackageNextToItsIbsFile) {
    const ResolvedModel model = ResolveIbsModel(KORVAN_SOURCE_DIR "/package/korvan_tx.ibs", "", kLinux64);
    EXPECT_EQ(model.model, "korvan_tx");
    EXPECT_EQ(model.library, std::filesystem::path(KORVAN_SOURCE_DIR "/package/korvan_tx.so"));
    EXPECT_EQ(model.ami_file, std::filesystem::path(KORVAN_SOURCE_DIR "/package/korvan_tx.ami"));
    EXPECT_EQ(model.line.compiler, "gcc");
}

class IbsFile : public ::testing::Test {
protected:
    void Write(const std::string& text) {
        path_ = std::filesystem::temp_directory_path() /
                ("amisim_test_" + std::to_string(::getpid()) +
                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ibs");
        std::ofstream(path_) << text;
    }
    void TearDown() override { std::filesystem::remove(path_); }
    std::string Failure(const std::string& model) {
        try {
            ResolveIbsModel(path_, model, kLinux64);
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            return e.what();
        }
        return "no failure";
    }
    std::filesystem::path path_;
};

TEST_F(IbsFile, ExplainsWhyNoLibraryCanBeChosen) {
    Write("[Model] a\n[Algorithmic Model]\nExecutable Windows_VisualStudio_64 a.dll a.ami\n"
          "[End Algorithmic Model]\n[Model] b\n[Algorithmic Model]\n"
          "Executable linux_gcc_64 b.so b.ami\n[End Algorithmic Model]\n");
    EXPECT_NE(Failure("").find("several models have an [Algorithmic Model] (a, b)"), std::string::npos);
    EXPECT_NE(Failure("a").find("model a has no Executable for Linux 64-bit (it names "
                                "Windows_VisualStudio_64)"),
              std::string::npos);
    EXPECT_NE(Failure("c").find("no [Model] c"), std::string::npos);
    // The platform is matched ignoring case.
    EXPECT_EQ(ResolveIbsModel(path_, "b", kLinux64).library, path_.parent_path() / "b.so");
}

TEST_F(IbsFile, AFileWithoutAlgorithmicModelsIsRefused) {
    Write("[IBIS Ver] 5.0\n[Model] plain\nModel_type Output\n[End]\n");
    EXPECT_NE(Failure("").find("no [Algorithmic Model] with an Executable line"), std::string::npos);
}

}  // namespace
