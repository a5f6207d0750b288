// Parameter strings of any content through the tree reader and every lookup.
//
// The input up to its first NUL is the parameter string; the bytes after it,
// split at further NULs, are extra paths to look up besides the model's own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "amiparam/ami_parameter_reader.h"
#include "amiparam/parameter_tree.h"

namespace {

void LookUpEveryWay(const AmiParameterReader& reader, const char* path) {
    double real = 0.0;
    std::int32_t whole = 0;
    bool flag = false;
    std::string word;
    reader.GetValue(real, path);
    reader.GetValue(whole, path);
    reader.GetValue(flag, path);
    reader.GetValue(word, path);
    reader.GetLeaf(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find('\0');
    const std::string text = input.substr(0, end);
    std::vector<std::string> paths = {"korvan_tx.emphasis", "korvan_tx.Vreg", "korvan_tx.corner", "korvan_tx",
                                      "a.b.c", "", "korvan_tx.", ".x", "."};
    for (std::size_t at = end; at != std::string::npos && at < input.size();) {
        const std::size_t next = input.find('\0', at + 1);
        paths.push_back(input.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
        at = next;
    }

    ParameterTree* tree = nullptr;
    if (tree_parse(text.c_str(), &tree) == TREE_PARSE_OK) tree_free(tree);

    AmiParameterReader reader(text.c_str());
    for (const std::string& path : paths) LookUpEveryWay(reader, path.c_str());
    return 0;
}
