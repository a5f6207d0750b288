#pragma once
// AmiParameterReader: the model side's view of its AMI parameter string.
//
// The reader parses the string once, when it is built, and then answers
// lookups by dotted path, whose first component is the name of the outermost
// group:
//
//     AmiParameterReader reader(AMI_parameters_in);
//     double emphasis = 0.0;
//     if (!reader.GetValue(emphasis, "korvan_tx.emphasis")) { /* keep default */ }
//
// A lookup either writes the converted value and returns true, or returns
// false and leaves the variable untouched; it never prints anything. A string
// that does not parse gives a reader on which every lookup fails. Only the
// first value of a leaf is read; further values are ignored.
//
// The reader touches no process-wide state (other than the checker's message
// counters should memory run out while parsing), so readers on separate
// threads run independently. One reader is not meant to be shared between
// threads.

#include <cstdint>
#include <string>

#include "amiparam/parameter_tree.h"

class AmiParameterReader {
public:
    // Parses `parameters` (NUL-terminated, not modified). Never fails: a null
    // or malformed string gives an invalid reader.
    explicit AmiParameterReader(const char* parameters);
    ~AmiParameterReader();

    // The reader owns its tree: it can be moved but not copied.
    AmiParameterReader(const AmiParameterReader&) = delete;
    AmiParameterReader& operator=(const AmiParameterReader&) = delete;
    AmiParameterReader(AmiParameterReader&& other) noexcept;
    AmiParameterReader& operator=(AmiParameterReader&& other) noexcept;

    // True when the string parsed (tree_parse gave TREE_PARSE_OK).
    bool IsValid() const { return valid_; }
    // The parsed tree, or null; owned by the reader.
    const ParameterTree* Tree() const { return tree_; }

    // The leaf with exactly this full path ("korvan_tx.emphasis"), or null.
    // Paths are case-sensitive; a path naming a branch finds nothing.
    const TreeLeaf* GetLeaf(const char* path) const;

    // Boolean: the first value must be True or False.
    bool GetValue(bool& value, const char* path) const;
    // Real: the first value must be an integer or a real.
    bool GetValue(double& value, const char* path) const;
    // Integer: as the real form, truncated toward zero. Fails when the value
    // does not fit in 32 bits.
    bool GetValue(std::int32_t& value, const char* path) const;
    // String: the first value must be a string (not a number, boolean or
    // empty value); `value` receives a copy of it.
    bool GetValue(std::string& value, const char* path) const;

private:
    // The first value of the leaf at `path` if it has one of the two types.
    const LeafValue* FirstValue(const char* path, ValueType accepted, ValueType also_accepted) const;

    bool valid_ = false;
    ParameterTree* tree_ = nullptr;
};
