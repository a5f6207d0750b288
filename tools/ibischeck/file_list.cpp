// Opening folders into the files to check.

#include "tools/ibischeck/file_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace ibischeck {

namespace fs = std::filesystem;

namespace {

bool IsIbisFileName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".ibs" || extension == ".pkg" || extension == ".ebd" || extension == ".ami";
}

template <typename Iterator>
void Collect(Iterator entries, std::vector<fs::path>* found) {
    std::error_code error;
    for (Iterator end; !error && entries != end; entries.increment(error)) {
        std::error_code kindError;
        if (entries->is_regular_file(kindError) && IsIbisFileName(entries->path())) found->push_back(entries->path());
    }
}

std::vector<std::string> FilesIn(const std::string& folder, bool recurse) {
    std::vector<fs::path> found;
    std::error_code error;
    if (recurse)
        Collect(fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied, error), &found);
    else
        Collect(fs::directory_iterator(folder, fs::directory_options::skip_permission_denied, error), &found);
    // Path order compares folder by folder, so a folder's files stay together.
    std::sort(found.begin(), found.end());
    std::vector<std::string> files;
    files.reserve(found.size());
    for (const fs::path& path : found) files.push_back(path.string());
    return files;
}

}  // namespace

FileList ExpandArguments(const std::vector<std::string>& arguments, bool recurse) {
    FileList list;
    for (const std::string& argument : arguments) {
        std::error_code error;
        // A folder named like an IBIS file was meant as a file: the checker
        // reports that it cannot open it, as it always has.
        if (!fs::is_directory(argument, error) || IsIbisFileName(argument)) {
            list.files.push_back(argument);
            continue;
        }
        std::vector<std::string> files = FilesIn(argument, recurse);
        if (files.empty()) list.emptyFolders.push_back(argument);
        list.files.insert(list.files.end(), files.begin(), files.end());
    }
    return list;
}

}  // namespace ibischeck
