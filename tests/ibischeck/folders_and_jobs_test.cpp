// Folders as arguments and checking in several worker processes: the same
// files in the same order, and the same bytes whatever the number of jobs.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "command_support.h"
#include "generated_ibis_files.h"
#include "tools/ibischeck/file_list.h"

namespace {

using namespace ibischeck_test;

TEST(Jobs, TwoWorkersPrintTheSameBytesAsOneOnFiftyFiles) {
    TempFolder folder;
    ibischeck_generated::WriteGeneratedFiles(KORVAN_SOURCE_DIR, folder.path(), 50);
    // Run in the folder, so the names are short and stable.
    const CommandResult serial = Ibischeck({"-j", "1", "."}, folder.path());
    const CommandResult parallel = Ibischeck({"-j", "2", "."}, folder.path());
    ASSERT_FALSE(serial.out.empty());
    EXPECT_EQ(parallel.out, serial.out);
    EXPECT_EQ(parallel.status, serial.status);
    EXPECT_EQ(serial.status, 1);  // some generated files have errors

    const CommandResult serialJson = Ibischeck({"-j", "1", "--format", "json", "."}, folder.path());
    const CommandResult parallelJson = Ibischeck({"-j", "2", "--format", "json", "."}, folder.path());
    EXPECT_EQ(parallelJson.out, serialJson.out);
}

TEST(Jobs, EachFileIsReportedAsIfCheckedAlone) {
    TempFolder folder;
    const std::vector<std::string> names = ibischeck_generated::WriteGeneratedFiles(KORVAN_SOURCE_DIR, folder.path(), 5);
    std::string alone;
    for (const std::string& name : names) alone += Ibischeck({name}, folder.path()).out;
    EXPECT_EQ(Ibischeck({"-j", "3", names[0], names[1], names[2], names[3], names[4]}, folder.path()).out, alone);
}

TEST(Folders, HoldTheirIbisFilesInPathOrderAndSubfoldersOnlyWithRecursion) {
    TempFolder folder;
    const fs::path root = folder.path();
    fs::create_directories(root / "sub");
    fs::create_directories(root / "named.ibs");  // a folder named like a file
    for (const char* name : {"b.ibs", "a.PKG", "c.ebd", "d.ami", "notes.txt", "sub/e.ibs"}) std::ofstream(root / name) << "x";

    using ibischeck::ExpandArguments;
    const std::string base = root.string();
    const ibischeck::FileList flat = ExpandArguments({base, "other.ibs"}, false);
    EXPECT_EQ(flat.files, (std::vector<std::string>{base + "/a.PKG", base + "/b.ibs", base + "/c.ebd", base + "/d.ami",
                                                    "other.ibs"}));
    const ibischeck::FileList deep = ExpandArguments({base}, true);
    EXPECT_EQ(deep.files, (std::vector<std::string>{base + "/a.PKG", base + "/b.ibs", base + "/c.ebd", base + "/d.ami",
                                                    base + "/sub/e.ibs"}));
    // A folder named like an IBIS file is handed to the checker as before.
    EXPECT_EQ(ExpandArguments({base + "/named.ibs"}, false).files, (std::vector<std::string>{base + "/named.ibs"}));
}

TEST(Folders, WithoutFilesToCheckAreAUsageError) {
    TempFolder folder;
    const CommandResult result = Ibischeck({"."}, folder.path(), true);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("no .ibs, .pkg, .ebd or .ami file in ."), std::string::npos);
}

}  // namespace
