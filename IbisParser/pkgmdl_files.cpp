// Finding package models for components: by name among the file's models,
// and, for a name the file does not define, in the .pkg files of the file's
// directory.
//
// The directory is listed with the standard library (plain, visible files
// whose extension is .pkg in any case). Each listed file is scanned once per
// checked file for its [Define Package Model] lines, so that looking up many
// names costs no more than one pass over the files; a file is checked (and
// its models added) at most once per checked file.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "IbisParser/pkgmdl_internal.h"

namespace {

namespace fs = std::filesystem;

// Longest start of a defined name kept: wanted names are shorter.
constexpr size_t kDefinedNameKept = 64;
// "[Define Package Model]" in any spelling of blanks and underscores.
constexpr size_t kDefineKeywordLength = 22;

// Names by which a list's models are found; rebuilt when the list gains a
// model (new models go in front).
struct NameIndex {
    const PKGMDL* head = nullptr;
    std::unordered_map<std::string, PKGMDL*> models;
};

struct Defined {
    std::string name;  // start of the text after the keyword
    size_t file;
};

// The package files of one directory and the names they define.
struct PackageFiles {
    std::string directory;
    std::vector<std::string> files;  // file names, sorted
    std::vector<bool> checked;
    std::vector<Defined> defined;    // sorted by name
    std::unordered_map<std::string, bool> answered;  // wanted names already handled
};

NameIndex* g_index = nullptr;
PackageFiles* g_files = nullptr;

bool IsDefineLine(const char* line) {
    static const char kKeyword[] = "[DEFINE_PACKAGE_MODEL]";
    for (size_t i = 0; i < kDefineKeywordLength; ++i) {
        const char c = line[i];
        const char want = kKeyword[i];
        if (want == '_') {
            if (c != '_' && c != ' ') return false;
        } else if (c == '\0' || std::toupper(static_cast<unsigned char>(c)) != want) {
            return false;
        }
    }
    return true;
}

// The [Define Package Model] names of one file.
void ScanFile(PackageFiles& scan, size_t file, const std::string& path) {
    FILE* stream = CMN_OpenBinary(path.c_str(), "r");
    if (stream == nullptr) return;
    char line[PARSE_LINE_BUFFER];
    {
        CMN_LineReader reader(stream);
        while (reader.ReadLine(line, sizeof line) != nullptr) {
            if (!IsDefineLine(line)) continue;
            const char* text = line + kDefineKeywordLength;
            while (*text == ' ' || *text == '\t') ++text;
            std::string name(text, std::min(std::strlen(text), kDefinedNameKept));
            while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
            scan.defined.push_back({std::move(name), file});
        }
    }
    std::fclose(stream);
}

bool HasPackageExtension(const std::string& name) {
    if (name.size() < 4 || name[0] == '.') return false;  // a leading dot hides a file
    return CMN_StrEqualNoCase(name.c_str() + name.size() - 4, ".pkg") != 0;
}

PackageFiles* Scan(const std::string& prefix) {
    if (g_files != nullptr && g_files->directory == prefix) return g_files;
    delete g_files;
    g_files = nullptr;
    auto* scan = new PackageFiles;
    scan->directory = prefix;
    std::string native = prefix;
    std::replace(native.begin(), native.end(), '\\', '/');
    std::error_code error;
    for (fs::directory_iterator entry(native.empty() ? fs::path(".") : fs::path(native), error), end;
         !error && entry != end; entry.increment(error)) {
        std::error_code kindError;
        const std::string name = entry->path().filename().string();
        if (HasPackageExtension(name) && entry->is_regular_file(kindError)) scan->files.push_back(name);
    }
    std::sort(scan->files.begin(), scan->files.end());
    scan->checked.assign(scan->files.size(), false);
    // The scan reports nothing: the files' characters are reported when a
    // file is checked.
    const int keepIllegal = CMN_GetKeepIllegalChars();
    CMN_KeepIllegalChars(1);
    for (size_t i = 0; i < scan->files.size(); ++i) ScanFile(*scan, i, native + scan->files[i]);
    CMN_KeepIllegalChars(keepIllegal);
    std::sort(scan->defined.begin(), scan->defined.end(),
              [](const Defined& a, const Defined& b) { return a.name < b.name; });
    g_files = scan;
    return scan;
}

// Checks one package file as the reader of the current file would, adding
// its models to the current record; the state of the file being checked is
// put back afterwards.
void CheckPackageFile(const std::string& name) {
    PARSE_STATE state;
    PARSE_SaveState(&state);
    const int level = HDR_GetVersionLevel();
    PARSE_ReadFile(name.c_str(), PARSE_KIND_PKG);
    HDR_SetVersionLevel(level);
    PARSE_RestoreState(&state);
}

}  // namespace

void PKGMDL_ForgetLookups() {
    delete g_index;
    g_index = nullptr;
    delete g_files;
    g_files = nullptr;
}

PKGMDL* PKGMDL_Find(PKGMDL* list, const char* name) {
    if (list == nullptr) return nullptr;
    try {
        if (g_index == nullptr) g_index = new NameIndex;
        if (g_index->head != list) {
            g_index->models.clear();
            g_index->head = nullptr;
            // Newest first: the newest model of a name is the one found.
            for (PKGMDL* model = list; model != nullptr; model = model->next)
                g_index->models.try_emplace(model->name, model);
            g_index->head = list;
        }
        auto where = g_index->models.find(name);
        return where == g_index->models.end() ? nullptr : where->second;
    } catch (const std::bad_alloc&) {
        PKGMDL_ForgetLookups();
        for (PKGMDL* model = list; model != nullptr; model = model->next)
            if (std::strcmp(model->name, name) == 0) return model;
        return nullptr;
    }
}

int PKGMDL_LoadFromFiles(const char* name) {
    std::vector<size_t> matching;
    PackageFiles* scan = nullptr;
    try {
        scan = Scan(IBIS_DirectoryPrefix());
        const std::string wanted = name;
        if (auto known = scan->answered.find(wanted); known != scan->answered.end()) return known->second ? 1 : 0;
        // Names that begin with the wanted one sort together from it.
        auto first = std::lower_bound(scan->defined.begin(), scan->defined.end(), wanted,
                                      [](const Defined& entry, const std::string& key) { return entry.name < key; });
        for (auto each = first; each != scan->defined.end() && each->name.compare(0, wanted.size(), wanted) == 0;
             ++each)
            matching.push_back(each->file);
        scan->answered[wanted] = !matching.empty();
    } catch (const std::bad_alloc&) {
        PKGMDL_ForgetLookups();
        return 0;
    }
    std::sort(matching.begin(), matching.end());
    matching.erase(std::unique(matching.begin(), matching.end()), matching.end());
    // Reading a file may need the lookups' memory: copy the names first.
    std::vector<std::string> toCheck;
    for (size_t file : matching) {
        if (scan->checked[file]) continue;
        scan->checked[file] = true;
        toCheck.push_back(scan->files[file]);
    }
    for (const std::string& file : toCheck) CheckPackageFile(file);
    return matching.empty() ? 0 : 1;
}

PKGMDL* PKGMDL_FindOrLoad(const char* name) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return nullptr;
    if (PKGMDL* found = PKGMDL_Find(ibis->packageModels, name)) return found;
    if (!PKGMDL_LoadFromFiles(name)) return nullptr;
    return PKGMDL_Find(ibis->packageModels, name);
}
