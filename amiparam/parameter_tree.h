#pragma once
// The parameter tree of the IBIS-AMI parameter language.
//
// An AMI parameter string handed to AMI_Init, and the text of an .ami file,
// are a parenthesised tree such as
//
//     (korvan_tx (emphasis 2) (Vreg 1.1) (corner 0))
//
// Every parenthesised group is either a branch (a name followed by
// sub-groups) or a leaf (a name followed by one or more values). tree_parse
// turns such a text into a ParameterTree: a flat list of every group in
// document order, with each branch also holding copies of its direct
// children. Values are classified (empty, string, integer, boolean, real) and
// names and string values that are reserved words of the parameter language
// carry a keyword code, which the .ami file check gives meaning to.
//
// The structures are plain data so that the checker can walk them directly.
// Every node and every text is owned through the flat list and released by
// tree_free; the children arrays of branches hold copies of entries and own
// nothing but themselves.
//
// Memory comes from the checker's checked allocation helpers, so running out
// of memory is reported as messages 1906-1908; apart from those the reader
// issues no messages and touches no process-wide state, so separate threads
// may parse separate texts at the same time.

#include <cstdint>

// --- Value types -------------------------------------------------------------
enum ValueType : std::int32_t {
    VALUE_TYPE_EMPTY = -1,
    VALUE_TYPE_STRING = 0,
    VALUE_TYPE_INTEGER = 1,
    VALUE_TYPE_BOOLEAN = 2,  // exactly "True" or "False"
    VALUE_TYPE_REAL = 3,
};

// --- Entry kinds (TreeEntry::kind) -------------------------------------------
constexpr std::int32_t TREE_ENTRY_BRANCH = 0;
constexpr std::int32_t TREE_ENTRY_LEAF = 1;

// --- Leaf keyword codes (TreeLeaf::keyword; exact, case-sensitive names) ----
constexpr std::int32_t LEAF_KEYWORD_NONE = 0;
constexpr std::int32_t LEAF_KEYWORD_USAGE = 1;        // "Usage"
constexpr std::int32_t LEAF_KEYWORD_TYPE = 2;         // "Type"
constexpr std::int32_t LEAF_KEYWORD_FORMAT = 3;       // "Format"
constexpr std::int32_t LEAF_KEYWORD_DEFAULT = 4;      // "Default"
constexpr std::int32_t LEAF_KEYWORD_DESCRIPTION = 5;  // "Description"
constexpr std::int32_t LEAF_KEYWORD_LABELS = 6;       // "Labels"

// --- Value keyword codes (LeafValue::keyword; string values only) -----------
constexpr std::int32_t VALUE_KEYWORD_NONE = -1;
constexpr std::int32_t VALUE_KEYWORD_IN = 0;           // "In"
constexpr std::int32_t VALUE_KEYWORD_OUT = 1;          // "Out"
constexpr std::int32_t VALUE_KEYWORD_INFO = 2;         // "Info"
constexpr std::int32_t VALUE_KEYWORD_INOUT = 3;        // "InOut"
constexpr std::int32_t VALUE_KEYWORD_FLOAT = 4;        // "Float"
constexpr std::int32_t VALUE_KEYWORD_INTEGER = 5;      // "Integer"
constexpr std::int32_t VALUE_KEYWORD_STRING = 6;       // "String"
constexpr std::int32_t VALUE_KEYWORD_BOOLEAN = 7;      // "Boolean"
constexpr std::int32_t VALUE_KEYWORD_TAP = 8;          // "Tap"
constexpr std::int32_t VALUE_KEYWORD_UI = 9;           // "UI"
constexpr std::int32_t VALUE_KEYWORD_VALUE = 10;       // "Value"
constexpr std::int32_t VALUE_KEYWORD_RANGE = 11;       // "Range"
constexpr std::int32_t VALUE_KEYWORD_LIST = 12;        // "List"
constexpr std::int32_t VALUE_KEYWORD_CORNER = 13;      // "Corner"
constexpr std::int32_t VALUE_KEYWORD_INCREMENT = 14;   // "Increment"
constexpr std::int32_t VALUE_KEYWORD_STEPS = 15;       // "Steps"
constexpr std::int32_t VALUE_KEYWORD_TABLE = 16;       // "Table"
constexpr std::int32_t VALUE_KEYWORD_GAUSSIAN = 17;    // "Gaussian"
constexpr std::int32_t VALUE_KEYWORD_DUAL_DIRAC = 18;  // "Dual-Dirac"
constexpr std::int32_t VALUE_KEYWORD_DJRJ = 19;        // "DjRj"

// --- Result codes of tree_parse ----------------------------------------------
// The checker turns these into its 46xx messages; keep the numbers stable.
constexpr std::int32_t TREE_PARSE_OK = 0;
// Opening and closing parentheses outside double quotes do not pair up.
constexpr std::int32_t TREE_PARSE_UNBALANCED = 1;
// After leading whitespace the text does not begin with "(".
constexpr std::int32_t TREE_PARSE_NO_OPENING = 2;
// No text or no result place; a group without an open branch above it (the
// outermost group is a leaf); or no group survived the scan at all (every
// group was dropped, as in "(r x (a 1))").
constexpr std::int32_t TREE_PARSE_NO_NODES = 3;
// Memory for the tree (root, slots, nodes, texts, linking stack) ran out.
constexpr std::int32_t TREE_PARSE_NO_MEMORY = 4;
// A second top-level group follows the outermost one.
constexpr std::int32_t TREE_PARSE_SECOND_TOP_GROUP = 5;
// A closing parenthesis where a name was expected at the top level, or a
// group that closes with too little depth (a group with a name only).
constexpr std::int32_t TREE_PARSE_TOO_SHALLOW = 6;
// The scan met more groups than the balance check counted.
constexpr std::int32_t TREE_PARSE_TOO_MANY_GROUPS = 7;
// A name or value would start after its own end (stray text before a closing
// parenthesis, or a group with a name only followed by blanks).
constexpr std::int32_t TREE_PARSE_BAD_ELEMENT = 8;

// --- The tree ----------------------------------------------------------------

// One value of a leaf.
struct LeafValue {
    char* text;            // quotes removed, trailing whitespace removed; owned
    ValueType type;
    std::int32_t keyword;  // VALUE_KEYWORD_*; VALUE_KEYWORD_NONE unless a string keyword
};

// A group naming one or more values: (name value value ...).
struct TreeLeaf {
    char* name;  // owned
    LeafValue* values;  // value_count values in document order; owned
    std::int32_t value_count;
    std::int32_t keyword;  // LEAF_KEYWORD_*
};

// One group of the flat list, and one child of a branch (copied by value).
struct TreeEntry {
    std::int32_t kind;   // TREE_ENTRY_BRANCH or TREE_ENTRY_LEAF
    std::int32_t level;  // 1 for the outermost group, 2 for its children, ...
    void* node;          // TreeBranch* or TreeLeaf* by kind; null in an unused slot
};

// A group naming sub-groups: (name (child ...) (child ...) ...).
struct TreeBranch {
    char* name;            // owned
    TreeEntry* children;   // copies of the direct children in document order
    std::int32_t child_count;
};

// The parsed text. entries[0] is the outermost group (a branch in every tree
// that tree_parse returns, unless memory ran short while copying the text, in
// which case every slot is empty). Slots past the last group made stay empty
// (kind 0, node null): entry_count is the number of opening parentheses the
// balance check counted, which can exceed the groups kept.
struct ParameterTree {
    TreeEntry* entries;
    std::int32_t entry_count;
};

// Typed views of an entry's node; null when the entry is of the other kind
// or empty.
inline TreeBranch* tree_entry_branch(const TreeEntry& entry) {
    return entry.kind == TREE_ENTRY_BRANCH ? static_cast<TreeBranch*>(entry.node) : nullptr;
}
inline TreeLeaf* tree_entry_leaf(const TreeEntry& entry) {
    return entry.kind == TREE_ENTRY_LEAF ? static_cast<TreeLeaf*>(entry.node) : nullptr;
}

// --- Operations --------------------------------------------------------------

// Parses a NUL-terminated text, which is not modified. On TREE_PARSE_OK the
// new tree is stored in *result (release it with tree_free); on any other
// code nothing is stored and everything made so far is released. Whitespace
// runs of any length are passed over, and nesting of any depth is handled
// without recursion.
std::int32_t tree_parse(const char* text, ParameterTree** result);

// Releases a tree and every node and text it owns. A null tree, or a tree
// without an entry array, releases what is there.
void tree_free(ParameterTree* tree);

// Finds the leaf whose full dotted path is `path`, searching the subtree of
// `branch` depth-first in document order; the first match wins. The full path
// of a leaf joins the names from `prefix` down with "." (no "." is put after
// an empty prefix or path), so with an empty prefix the first component is
// the branch's own name. Comparison is exact and case-sensitive; only leaves
// are found. Null when nothing matches. Works without recursion and without
// allocating the path texts, so trees of any depth are safe.
TreeLeaf* tree_find_leaf(const TreeBranch* branch, const char* path, const char* prefix);

// Type of a value text: VALUE_TYPE_EMPTY for "", INTEGER when the whole text
// is a base-10 integer (leading whitespace and a sign allowed), REAL when it
// is a decimal floating number (no hexadecimal, infinity or NaN forms),
// BOOLEAN for exactly "True" or "False", STRING otherwise. Independent of the
// process locale.
ValueType tree_classify_value(const char* text);

// Keyword code of a leaf name (LEAF_KEYWORD_NONE when none).
std::int32_t tree_leaf_keyword(const char* name);

// Keyword code of a string value (VALUE_KEYWORD_NONE when none).
std::int32_t tree_value_keyword(const char* text);

// The number a value text of type INTEGER or REAL stands for, read as the C
// library's atof reads it in the classic locale (overflow gives an infinity),
// whatever locale the process has set. Other texts give what atof would.
double tree_value_to_double(const char* text);
