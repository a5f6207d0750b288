// Any bytes as an .ibs, .pkg, .ebd or .ami file through the checker's whole
// sequence, from opening the file to the verdict, under every combination of
// the checker's switches, with a companion file for the files it names.
//
// Byte 0: bits 0-1 pick the kind (.ibs, .pkg, .ebd, .ami); the bits above
// turn on, in order, the coded message style, forced version 5, accepted
// version 1, skipped [File Name] checks, kept illegal characters and the
// lifted line-length limit. The rest of the input is the file, up to the
// marker below; what follows the marker becomes the companion, written as
// c.ibs, c.pkg, c.ebd and c.ami next to the file, so that a file naming any
// of them (a package model, a board's component file, an executable's
// parameter file) finds it. Both live in a folder of this process's own.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "tools/ibischeck/check_file.h"

namespace {

constexpr std::uint8_t kCompanionMarker[] = {0, 'C', 'O', 'M', 'P', 0};
const char* const kExtensions[] = {".ibs", ".pkg", ".ebd", ".ami"};

bool Bit(std::uint8_t byte, int bit) { return ((byte >> bit) & 1u) != 0; }

void SetSwitches(std::uint8_t byte) {
    MSG_SetCodedStyle(Bit(byte, 2));
    HDR_SetForceVersion5(Bit(byte, 3));
    HDR_SetAcceptVersion1(Bit(byte, 4));
    HDR_SetSkipFileNameChecks(Bit(byte, 5));
    CMN_KeepIllegalChars(Bit(byte, 6));
    PARSE_SetUnlimitedScan(Bit(byte, 7));
}

std::string FolderPath() { return "/tmp/korvan_fuzz_" + std::to_string(getpid()); }

// Every file is removed after its run, so the folder is empty at the end.
void RemoveFolder() { rmdir(FolderPath().c_str()); }

const std::string& Folder() {
    static const std::string folder = [] {
        mkdir(FolderPath().c_str(), 0700);
        std::atexit(RemoveFolder);
        return FolderPath() + "/";
    }();
    return folder;
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static FILE* sink = std::fopen("/dev/null", "w");
    MSG_SetOutput(sink);
    PARSE_SetQuiet(0);

    const std::uint8_t* begin = data + 1;
    const std::uint8_t* end = data + size;
    const std::uint8_t* marker =
        std::search(begin, end, std::begin(kCompanionMarker), std::end(kCompanionMarker));
    const std::string name = Folder() + "f" + kExtensions[data[0] % 4];
    Write(name, begin, static_cast<std::size_t>(marker - begin));
    const bool companion = marker != end;
    if (companion) {
        const std::uint8_t* rest = marker + sizeof kCompanionMarker;
        for (const char* extension : kExtensions)
            Write(Folder() + "c" + extension, rest, static_cast<std::size_t>(end - rest));
    }

    SetSwitches(data[0]);
    IbischeckFile(name.c_str(), IbischeckKindOf(name.c_str()));
    SetSwitches(0);
    std::remove(name.c_str());
    if (companion)
        for (const char* extension : kExtensions) std::remove((Folder() + "c" + extension).c_str());
    return 0;
}
