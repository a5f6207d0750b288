// Any bytes as an .ibs, .pkg, .ebd or .ami file through the checker's whole
// sequence, from opening the file to the verdict. Byte 0 picks the kind.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "IbisParser/msg.h"
#include "tools/ibischeck/check_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const extensions[] = {".ibs", ".pkg", ".ebd", ".ami"};
    static FILE* sink = std::fopen("/dev/null", "w");
    MSG_SetOutput(sink);

    const std::string name = "/tmp/korvan_fuzz_" + std::to_string(getpid()) + extensions[data[0] % 4];
    FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    IbischeckFile(name.c_str(), IbischeckKindOf(name.c_str()));
    std::remove(name.c_str());
    return 0;
}
