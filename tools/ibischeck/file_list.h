#pragma once
// The files a command line names: folders are opened up into the IBIS files
// they hold.

#include <string>
#include <vector>

namespace ibischeck {

struct FileList {
    std::vector<std::string> files;
    std::vector<std::string> emptyFolders;  // folders without any file to check
};

// Each argument that is a folder stands for the .ibs, .pkg, .ebd and .ami
// files in it (any letter case; with `recurse`, in its subfolders too, links
// to folders not followed), sorted by path so every run checks them in the
// same order. Any other argument, a folder named like an IBIS file
// included, is kept as it is, as the checker has always taken it. Argument
// order is kept.
FileList ExpandArguments(const std::vector<std::string>& arguments, bool recurse);

}  // namespace ibischeck
