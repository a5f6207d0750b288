// Reading message heads and texts back from a report.

#include "tools/ibischeck/report_parse.h"

#include <string_view>
#include <utility>

namespace ibischeck {

namespace {

struct Line {
    size_t offset;
    std::string_view text;  // without its line feed
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back({start, std::string_view(text).substr(start, end - start)});
        start = end + 1;
    }
    return lines;
}

struct Head {
    Level level;
    int code;
    std::optional<unsigned long> line;
    bool wrapped;      // "ERROR -": the text is on the next line, indented
    std::string text;  // the text on the head line
};

constexpr std::pair<std::string_view, Level> kWords[] = {{"PROGRAM BUG", Level::ProgramBug},
                                                         {"ERROR", Level::Error},
                                                         {"WARNING", Level::Warning},
                                                         {"CAUTION", Level::Caution},
                                                         {"NOTE", Level::Note}};
constexpr std::string_view kLetters = "BEWCN";  // in the order of Level

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The level word (plain style) or letter and four-digit code (coded style)
// at the start of `rest`, which is advanced past it.
bool ReadPrefix(std::string_view* rest, Head* head) {
    for (const auto& [word, level] : kWords) {
        if (rest->substr(0, word.size()) == word) {
            head->level = level;
            head->code = 0;
            rest->remove_prefix(word.size());
            return true;
        }
    }
    const size_t letter = rest->empty() ? std::string_view::npos : kLetters.find((*rest)[0]);
    if (letter == std::string_view::npos || rest->size() < 5) return false;
    int code = 0;
    for (size_t i = 1; i < 5; ++i) {
        if (!IsDigit((*rest)[i])) return false;
        code = code * 10 + ((*rest)[i] - '0');
    }
    head->level = static_cast<Level>(letter);
    head->code = code;
    rest->remove_prefix(5);
    return true;
}

// Plain style "ERROR (line   12) - text", coded style "E0906 (line   12) - text";
// a bare " -" at the end when the text is on the next line.
std::optional<Head> ReadHead(std::string_view line) {
    Head head{};
    std::string_view rest = line;
    if (!ReadPrefix(&rest, &head)) return std::nullopt;
    constexpr std::string_view kLine = " (line ";
    if (rest.substr(0, kLine.size()) == kLine) {
        rest.remove_prefix(kLine.size());
        while (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);
        unsigned long number = 0;
        size_t digits = 0;
        for (; digits < rest.size() && IsDigit(rest[digits]); ++digits) number = number * 10 + (rest[digits] - '0');
        if (digits == 0 || digits >= rest.size() || rest[digits] != ')') return std::nullopt;
        head.line = number;
        rest.remove_prefix(digits + 1);
    }
    if (rest == " -") {
        head.wrapped = true;
        return head;
    }
    if (rest.substr(0, 3) != " - ") return std::nullopt;
    head.text = std::string(rest.substr(3));
    return head;
}

}  // namespace

std::vector<Finding> ParseFindings(const std::string& text, const std::vector<ReportCapture::Write>& writes) {
    std::vector<Finding> findings;
    const std::vector<Line> lines = SplitLines(text);
    size_t nextWrite = 0;
    // The write a line starts, if it starts one; writes come in offset order.
    auto startsWrite = [&](size_t offset) -> const ReportCapture::Write* {
        while (nextWrite < writes.size() && writes[nextWrite].offset < offset) ++nextWrite;
        return nextWrite < writes.size() && writes[nextWrite].offset == offset ? &writes[nextWrite] : nullptr;
    };

    for (size_t i = 0; i < lines.size();) {
        const ReportCapture::Write* write = startsWrite(lines[i].offset);
        const std::optional<Head> head = write != nullptr ? ReadHead(lines[i].text) : std::nullopt;
        ++i;
        if (!head) continue;

        Finding finding;
        finding.file = write->location;
        finding.line = head->line;
        finding.level = head->level;
        finding.code = head->code;
        finding.message = head->text;
        if (head->wrapped && i < lines.size() && startsWrite(lines[i].offset) == nullptr) {
            std::string_view moved = lines[i].text;
            if (moved.substr(0, 4) == "    ") moved.remove_prefix(4);
            finding.message = std::string(moved);
            ++i;
        }
        // Line breaks inside the text: the following lines of the same write.
        for (; i < lines.size() && startsWrite(lines[i].offset) == nullptr; ++i) {
            finding.message += '\n';
            finding.message += lines[i].text;
        }
        findings.push_back(std::move(finding));
    }
    return findings;
}

}  // namespace ibischeck
