// Reading message heads and texts back from a report.

#include "tools/ibischeck/report_parse.h"

#include <cstdlib>
#include <regex>
#include <string_view>

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

// Plain style "ERROR (line   12) - text", coded style "E0906 (line   12) - text".
const std::regex kHeadPattern(
    R"(^(?:(PROGRAM BUG|ERROR|WARNING|CAUTION|NOTE)|([BEWCN])([0-9]{4}))(?: \(line +([0-9]+)\))? -(?: (.*))?$)");

Level LevelOfWord(const std::string& word) {
    if (word == "PROGRAM BUG") return Level::ProgramBug;
    if (word == "ERROR") return Level::Error;
    if (word == "WARNING") return Level::Warning;
    if (word == "CAUTION") return Level::Caution;
    return Level::Note;
}

Level LevelOfLetter(char letter) {
    switch (letter) {
        case 'B': return Level::ProgramBug;
        case 'E': return Level::Error;
        case 'W': return Level::Warning;
        case 'C': return Level::Caution;
        default: return Level::Note;
    }
}

std::optional<Head> ReadHead(std::string_view line) {
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_match(line.begin(), line.end(), match, kHeadPattern)) return std::nullopt;
    Head head{};
    if (match[1].matched) {
        head.level = LevelOfWord(match[1].str());
        head.code = 0;
    } else {
        head.level = LevelOfLetter(match[2].str()[0]);
        head.code = std::atoi(match[3].str().c_str());
    }
    if (match[4].matched) head.line = std::strtoul(match[4].str().c_str(), nullptr, 10);
    head.wrapped = !match[5].matched;
    head.text = match[5].str();
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
