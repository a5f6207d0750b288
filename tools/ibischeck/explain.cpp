// Message texts and issuing levels of a code.

#include "tools/ibischeck/explain.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "IbisParser/msg.h"

namespace ibischeck {

namespace {

// How a message is issued: the issuing operation used.
enum class IssueForm { Bug, BugLine, Error, ErrorLine, Warning, WarningLine, Caution, Note, NoteLine };

struct IssuedAt {
    int id;
    IssueForm form;
};

// Every identifier issued with a fixed identifier, found in the checker's
// sources at build time.
constexpr IssuedAt kIssued[] = {
#include "issued_levels.inc"
};

const char* Describe(IssueForm form) {
    switch (form) {
        case IssueForm::Bug: return "PROGRAM BUG";
        case IssueForm::BugLine: return "PROGRAM BUG, with the line number";
        case IssueForm::Error: return "ERROR";
        case IssueForm::ErrorLine: return "ERROR, with the line number";
        case IssueForm::Warning: return "WARNING";
        case IssueForm::WarningLine: return "WARNING, with the line number";
        case IssueForm::Caution: return "CAUTION";
        case IssueForm::Note: return "NOTE";
        case IssueForm::NoteLine: return "NOTE, with the line number";
    }
    return "";
}

// The code of "906", "0906", "E0906"; -1 for anything else.
int ParseCode(std::string_view text) {
    if (!text.empty() && std::string_view("BEWCN").find(static_cast<char>(std::toupper(
                             static_cast<unsigned char>(text[0])))) != std::string_view::npos)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 4) return -1;
    int code = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
        code = code * 10 + (c - '0');
    }
    return code;
}

}  // namespace

bool Explain(const std::string& text, FILE* out) {
    const int code = ParseCode(text);
    if (code <= 0) return false;  // entry 0 is the unknown-code text, no message
    std::vector<int> ids;
    for (int variant = 0; variant < 10; ++variant) {
        const int id = variant * MSG_VARIANT_STRIDE + code;
        if (MSG_FindCode(id) >= 0) ids.push_back(id);
    }
    if (ids.empty()) return false;

    std::fprintf(out, "Code %04d", code);
    if (ids.size() > 1) std::fprintf(out, " (shared: %zu texts)", ids.size());
    std::fputs("\n", out);
    for (const int id : ids) {
        std::fprintf(out, "  Text : %s\n", MSG_TextOf(id));
        bool any = false;
        for (const IssuedAt& issued : kIssued) {
            if (issued.id != id) continue;
            std::fprintf(out, "  Level: %s\n", Describe(issued.form));
            any = true;
        }
        if (!any) std::fputs("  Level: chosen by the check that issues it\n", out);
    }
    return true;
}

}  // namespace ibischeck
