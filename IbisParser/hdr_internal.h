#pragma once
// Shared between the hdr source files only.

#include "IbisParser/hdr.h"

#define HDR_MODULE "IbisParser\\hdr"

// Handlers of the value on each header keyword line.
void HDR_VersionValue(HDR* header, const char* value);
void HDR_FileNameValue(HDR* header, const char* value);
void HDR_FileRevValue(HDR* header, const char* value);
void HDR_DateValue(HDR* header, const char* value);
// [Source], [Notes], [Disclaimer] and [Copyright].
void HDR_TextValue(HDR* header, int keyword, const char* value);
// A continuation line of [Source], [Notes], [Disclaimer] or [Copyright].
void HDR_TextLine(HDR* header, int keyword, const char* line);

// Whether a header keyword was met in the current header; seen-flags are
// indexed by keyword id (0 and 2 to 8).
int HDR_Seen(int keyword);
void HDR_MarkSeen(int keyword);

// The level an accepted [IBIS Ver] sets.
void HDR_AcceptLevel(int level);
// Whether [File Name] characters are checked.
int HDR_ChecksFileNames();
