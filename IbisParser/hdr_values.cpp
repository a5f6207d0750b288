// The values of the header keywords.

#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

const char* const kKnownVersions[] = {"2.0", "2.1", "3.0", "3.1", "3.2", "4.0", "4.1", "4.2", "5.0"};

bool IsKnownVersion(const char* text) {
    for (const char* known : kKnownVersions)
        if (std::strcmp(text, known) == 0) return true;
    return HDR_AcceptsVersion1() && std::strncmp(text, "1.", 2) == 0;
}

// Longest [File Name] allowed by a version level.
size_t FileNameLimit(int level) {
    if (level < 3) return 12;
    return level == 3 ? 24 : 44;
}

// Characters a DOS file name may hold besides letters, digits and the period.
bool IsDosPunctuation(char c) { return c != '\0' && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr; }

void CheckFileNameCharacters(const char* name) {
    int periods = 0;
    for (const char* p = name; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= 'A' && c <= 'Z') {
            MSG_ErrorLine(1010, name, c);
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || IsDosPunctuation(c)) {
            // fine
        } else if (c == '.') {
            if (++periods > 1) MSG_ErrorLine(1012, name);
        } else {
            MSG_ErrorLine(1011, name, c);
        }
    }
    if (periods == 0) MSG_ErrorLine(1013, name);
}

// One of the four free texts of a header, with its length and room.
struct TextSlot {
    char** text;
    size_t* length;
    size_t* room;
};

TextSlot SlotOf(HDR* header, int keyword) {
    switch (keyword) {
        case KW::SOURCE: return TextSlot{&header->source, &header->textLength[0], &header->textRoom[0]};
        case KW::NOTES: return TextSlot{&header->notes, &header->textLength[1], &header->textRoom[1]};
        case KW::DISCLAIMER: return TextSlot{&header->disclaimer, &header->textLength[2], &header->textRoom[2]};
        default: return TextSlot{&header->copyright, &header->textLength[3], &header->textRoom[3]};
    }
}

// Makes room for `needed` bytes in the slot's text, doubling so that a text
// of many lines is copied only a few times in all. False after 1020.
bool Reserve(const TextSlot& slot, size_t needed) {
    if (*slot.text != nullptr && needed <= *slot.room) return true;
    size_t room = *slot.text == nullptr ? 64 : *slot.room;
    while (room < needed) room *= 2;
    char* grown = static_cast<char*>(std::realloc(*slot.text, room));
    if (grown == nullptr) {
        MSG_ErrorLine(1020);
        return false;
    }
    *slot.text = grown;
    *slot.room = room;
    return true;
}

// Appends `line` to the slot's text, a line feed between the old text and
// the new one. An empty first value leaves the text unstarted.
void AppendText(const TextSlot& slot, const char* line) {
    const size_t added = std::strlen(line);
    if (*slot.text == nullptr) {
        if (added == 0) return;
        if (!Reserve(slot, added + 1)) return;
        std::memcpy(*slot.text, line, added + 1);
        *slot.length = added;
        return;
    }
    const size_t old = *slot.length;
    if (!Reserve(slot, old + 1 + added + 1)) return;
    (*slot.text)[old] = '\n';
    std::memcpy(*slot.text + old + 1, line, added + 1);
    *slot.length = old + 1 + added;
}

// The message of a repeated text keyword; 0 for [Disclaimer], which may repeat.
int DuplicateMessage(int keyword) {
    switch (keyword) {
        case KW::SOURCE: return 1017;
        case KW::NOTES: return 1018;
        case KW::COPYRIGHT: return 1019;
        default: return 0;
    }
}

}  // namespace

void HDR_VersionValue(HDR* header, const char* value) {
    HDR_MarkSeen(KW::IBIS_VER);
    if (!CMN_SetFieldOnce(header->version, value, HDR_VERSION_MAX, "IBIS_Version")) return;
    if (HDR_ForcesVersion5()) {
        HDR_AcceptLevel(5);
        return;
    }
    if (!IsKnownVersion(header->version)) {
        MSG_ErrorLine(1008, header->version);
        return;
    }
    HDR_AcceptLevel(header->version[0] - '0');
}

void HDR_FileNameValue(HDR* header, const char* value) {
    if (HDR_Seen(KW::FILE_NAME)) {
        MSG_ErrorLine(1009);
        return;
    }
    HDR_MarkSeen(KW::FILE_NAME);
    const int level = HDR_GetVersionLevel();
    const size_t limit = FileNameLimit(level);
    // Old versions cut a long name to the DOS length; later ones keep it whole.
    if (level < 3)
        CMN_SetFieldOnce(header->fileName, value, limit, "File_name");
    else
        CMN_SetField(header->fileName, value, limit, "File_name");
    if (HDR_ChecksFileNames()) CheckFileNameCharacters(header->fileName);
    const char* opened = PARSE_FileName();
    if (!CMN_StrEqualNoCase(opened, header->fileName)) MSG_ErrorLine(1014, opened, header->fileName);
    CMN_CheckReserved(header->fileName);
}

void HDR_FileRevValue(HDR* header, const char* value) {
    if (HDR_Seen(KW::FILE_REV)) {
        MSG_ErrorLine(1015);
        return;
    }
    HDR_MarkSeen(KW::FILE_REV);
    CMN_SetFieldOnce(header->fileRev, value, HDR_FILE_REV_MAX, "File_Rev");
    CMN_CheckReserved(header->fileRev);
}

void HDR_DateValue(HDR* header, const char* value) {
    if (HDR_Seen(KW::DATE)) {
        MSG_ErrorLine(1016);
        return;
    }
    HDR_MarkSeen(KW::DATE);
    CMN_SetFieldOnce(header->date, value, HDR_DATE_MAX, "Date");
    CMN_CheckReserved(header->date);
}

void HDR_TextValue(HDR* header, int keyword, const char* value) {
    if (HDR_Seen(keyword)) {
        const int duplicate = DuplicateMessage(keyword);
        if (duplicate != 0) {
            MSG_ErrorLine(duplicate);
            return;
        }
    }
    HDR_MarkSeen(keyword);
    AppendText(SlotOf(header, keyword), value);
}

void HDR_TextLine(HDR* header, int keyword, const char* line) { AppendText(SlotOf(header, keyword), line); }
