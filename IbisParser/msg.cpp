// Issuing, counting and summarising checker messages.

#include "IbisParser/msg.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "IbisParser/msg_table.h"

namespace {

struct LevelCounters {
    int bugs = 0;
    int errors = 0;
    int warnings = 0;
    int cautions = 0;
};

LevelCounters g_counts;
int g_suppressBugs = 0;
int g_suppressErrors = 0;
int g_suppressWarnings = 0;
int g_codedStyle = 0;
FILE* g_output = nullptr;
unsigned long g_currentLine = 0;
MSG_RecordSink g_recordSink;
MSG_FileSource g_fileSource;

// Width of the right-aligned line number in "(line %*lu)".
constexpr int kLineNumberWidth = 4;
// Texts longer than this overflow 79 columns even on a line of their own,
// so they stay behind the prefix.
constexpr size_t kLongestWrapped = 75;

FILE* Output() {
    if (g_output == nullptr) g_output = stdout;
    return g_output;
}

struct LevelStyle {
    const char* word;  // plain style
    char letter;       // coded style
    size_t wrapFrom;   // shortest text that no longer fits behind the prefix
    size_t wrapFromWithLine;
};

// PROGRAM BUG messages never wrap: their thresholds lie above kLongestWrapped.
// The others follow the prefix lengths: a text of length L fits in 79 columns
// behind "ERROR - " when L <= 71, behind "ERROR (line 1234) - " when L <= 59.
const LevelStyle kStyles[] = {
    {"PROGRAM BUG", 'B', kLongestWrapped + 1, kLongestWrapped + 1},
    {"ERROR", 'E', 72, 60},
    {"WARNING", 'W', 70, 58},
    {"CAUTION", 'C', 70, 58},
    {"NOTE", 'N', 73, 61},
};

bool Suppressed(MSG_Level level) {
    switch (level) {
        case MSG_LEVEL_BUG: return g_suppressBugs != 0;
        case MSG_LEVEL_ERROR: return g_suppressErrors != 0;
        case MSG_LEVEL_WARNING: return g_suppressWarnings != 0;
        default: return false;
    }
}

void Count(MSG_Level level) {
    switch (level) {
        case MSG_LEVEL_BUG: ++g_counts.bugs; break;
        case MSG_LEVEL_ERROR: ++g_counts.errors; break;
        case MSG_LEVEL_WARNING: ++g_counts.warnings; break;
        case MSG_LEVEL_CAUTION: ++g_counts.cautions; break;
        case MSG_LEVEL_NOTE: break;
    }
}

void Append(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string* out, const char* format, ...) {
    char piece[64];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    if (length > 0) out->append(piece, std::min(static_cast<size_t>(length), sizeof piece - 1));
}

// A "%c" given the character 0 (a plural "s" left out, for instance)
// prints nothing rather than ending the text where it stands. The length
// kept.
size_t DropNulCharacters(char* text, size_t length) {
    size_t kept = 0;
    for (size_t i = 0; i < length; ++i)
        if (text[i] != '\0') text[kept++] = text[i];
    text[kept] = '\0';
    return kept;
}

}  // namespace

int MSG_FindCode(int id) {
    int low = 0;
    int high = MSG_TABLE_COUNT - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        if (MSG_TABLE[mid].id == id) return mid;
        if (MSG_TABLE[mid].id < id)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return -1;
}

const char* MSG_TextOf(int id) {
    const int index = MSG_FindCode(id);
    return MSG_TABLE[index < 0 ? 0 : index].format;
}

int MSG_TableSize() { return MSG_TABLE_COUNT; }

void MSG_IssueV(MSG_Level level, bool withLine, int id, va_list args) {
    const int index = MSG_FindCode(id);
    if (index < 0) {
        if (g_codedStyle) std::fprintf(Output(), "I%04d - %s\n", 0, MSG_TABLE[0].format);
        return;
    }
    if (Suppressed(level)) return;

    // vsnprintf cuts an overlong text to the buffer, never writing past it.
    char text[MSG_BUFFER_SIZE];
    const int filled = std::vsnprintf(text, sizeof text, MSG_TABLE[index].format, args);
    MSG_Record record;
    record.text.assign(text, DropNulCharacters(text, filled < 0 ? 0 : std::min(static_cast<size_t>(filled), sizeof text - 1)));
    if (g_fileSource) record.file = g_fileSource();
    record.hasLine = withLine;
    record.line = withLine ? g_currentLine : 0;
    record.level = level;
    record.code = MSG_CodeOf(id);
    Count(level);
    if (g_recordSink) g_recordSink(record);
    // One write a message: the stream may be unbuffered.
    const std::string rendered = MSG_Render(record);
    std::fwrite(rendered.data(), 1, rendered.size(), Output());
}

std::string MSG_Render(const MSG_Record& record) {
    const LevelStyle& style = kStyles[record.level];
    const size_t length = record.text.size();
    const size_t wrapFrom = record.hasLine ? style.wrapFromWithLine : style.wrapFrom;
    const bool wrap = length >= wrapFrom && length <= kLongestWrapped;

    std::string out;
    out.reserve(length + 32);
    if (g_codedStyle)
        Append(&out, "%c%04d", style.letter, record.code);
    else
        out += style.word;
    if (record.hasLine) Append(&out, " (line %*lu)", kLineNumberWidth, record.line);
    out += wrap ? " -\n    " : " - ";
    out += record.text;
    out += '\n';
    return out;
}

void MSG_SetRecordSink(MSG_RecordSink sink) { g_recordSink = std::move(sink); }

void MSG_SetFileSource(MSG_FileSource source) { g_fileSource = std::move(source); }

#define MSG_DEFINE_ISSUER(name, level, withLine) \
    void name(int id, ...) {                     \
        va_list args;                            \
        va_start(args, id);                      \
        MSG_IssueV(level, withLine, id, args);   \
        va_end(args);                            \
    }

MSG_DEFINE_ISSUER(MSG_Bug, MSG_LEVEL_BUG, false)
MSG_DEFINE_ISSUER(MSG_BugLine, MSG_LEVEL_BUG, true)
MSG_DEFINE_ISSUER(MSG_Error, MSG_LEVEL_ERROR, false)
MSG_DEFINE_ISSUER(MSG_ErrorLine, MSG_LEVEL_ERROR, true)
MSG_DEFINE_ISSUER(MSG_Warning, MSG_LEVEL_WARNING, false)
MSG_DEFINE_ISSUER(MSG_WarningLine, MSG_LEVEL_WARNING, true)
MSG_DEFINE_ISSUER(MSG_Caution, MSG_LEVEL_CAUTION, false)
MSG_DEFINE_ISSUER(MSG_Note, MSG_LEVEL_NOTE, false)
MSG_DEFINE_ISSUER(MSG_NoteLine, MSG_LEVEL_NOTE, true)

#undef MSG_DEFINE_ISSUER

void MSG_Summary() {
    FILE* out = Output();
    const LevelCounters& c = g_counts;
    if (c.bugs || c.errors || c.warnings) std::fputs("\n", out);
    if (c.bugs) std::fprintf(out, "Bugs    : %ld\n", static_cast<long>(c.bugs));
    std::fprintf(out, "Errors  : %ld\n", static_cast<long>(c.errors));
    if (c.warnings) std::fprintf(out, "Warnings: %ld\n", static_cast<long>(c.warnings));
    if (c.cautions) std::fprintf(out, "Cautions: %ld\n", static_cast<long>(c.cautions));
    std::fprintf(out, "\nFile %s\n", (c.bugs || c.errors) ? "Failed" : "Passed");
}

void MSG_GetCounts(int* bugs, int* errors, int* warnings) {
    if (bugs) *bugs = g_counts.bugs;
    if (errors) *errors = g_counts.errors;
    if (warnings) *warnings = g_counts.warnings;
}

int MSG_GetCautionCount() { return g_counts.cautions; }

void MSG_ResetCounts() { g_counts = LevelCounters{}; }

void MSG_SetOutput(FILE* stream) { g_output = stream; }

FILE* MSG_GetOutput() { return Output(); }

void MSG_SuppressBugs(int on) { g_suppressBugs = on; }
void MSG_SuppressErrors(int on) { g_suppressErrors = on; }
void MSG_SuppressWarnings(int on) { g_suppressWarnings = on; }

void MSG_SetCodedStyle(int on) { g_codedStyle = on; }

void MSG_SetCurrentLine(unsigned long line) { g_currentLine = line; }
unsigned long MSG_GetCurrentLine() { return g_currentLine; }

void MSG_InternalCheckFailed(const char* module, int line) {
    std::printf("%s:%d:assertion failed.\n", module, line);
    std::fflush(nullptr);
    std::abort();
}
