#pragma once
// The message table: every identifier the checker issues with its printf-style
// text, in ascending order of identifier (see msg.h for identifiers of shared
// codes). Entry 0 is the text shown for an unknown code.

struct MSG_Entry {
    int id;
    const char* format;
};

extern const MSG_Entry MSG_TABLE[];
extern const int MSG_TABLE_COUNT;
