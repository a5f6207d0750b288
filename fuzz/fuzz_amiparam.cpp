// Parameter strings of any content through the tree reader and every lookup.
#include <cstddef>
#include <cstdint>
#include <string>

#include "amiparam/ami_parameter_reader.h"
#include "amiparam/parameter_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);  // stops at the first NUL for C readers

    ParameterTree* tree = nullptr;
    if (tree_parse(text.c_str(), &tree) == TREE_PARSE_OK) tree_free(tree);

    AmiParameterReader reader(text.c_str());
    static const char* const paths[] = {"korvan_tx.emphasis", "korvan_tx.Vreg", "korvan_tx.corner",
                                        "korvan_tx", "a.b.c", "", "korvan_tx.", ".x"};
    for (const char* path : paths) {
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
    return 0;
}
