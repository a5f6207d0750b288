// Any bytes as an .ibs, .pkg, .ebd or .ami file through the checker's whole
// sequence, from opening the file to the verdict, under every combination of
// the checker's switches.
//
// Byte 0: bits 0-1 pick the kind (.ibs, .pkg, .ebd, .ami); the bits above
// turn on, in order, the coded message style, forced version 5, accepted
// version 1, skipped [File Name] checks, kept illegal characters and the
// lifted line-length limit. The rest of the input is the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "tools/ibischeck/check_file.h"

namespace {

bool Bit(std::uint8_t byte, int bit) { return ((byte >> bit) & 1u) != 0; }

void SetSwitches(std::uint8_t byte) {
    MSG_SetCodedStyle(Bit(byte, 2));
    HDR_SetForceVersion5(Bit(byte, 3));
    HDR_SetAcceptVersion1(Bit(byte, 4));
    HDR_SetSkipFileNameChecks(Bit(byte, 5));
    CMN_KeepIllegalChars(Bit(byte, 6));
    PARSE_SetUnlimitedScan(Bit(byte, 7));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const extensions[] = {".ibs", ".pkg", ".ebd", ".ami"};
    static FILE* sink = std::fopen("/dev/null", "w");
    MSG_SetOutput(sink);
    PARSE_SetQuiet(0);

    const std::string name = "/tmp/korvan_fuzz_" + std::to_string(getpid()) + extensions[data[0] % 4];
    FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    SetSwitches(data[0]);
    IbischeckFile(name.c_str(), IbischeckKindOf(name.c_str()));
    SetSwitches(0);
    std::remove(name.c_str());
    return 0;
}
