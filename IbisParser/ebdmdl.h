#pragma once
// [Begin Board Description] blocks of .ebd files: [Manufacturer], [Number Of
// Pins], [Pin List], [Path Description], [Reference Designator Map] and [End
// Board Description].
//
// The file reader opens a record at [Begin Board Description] and hands this
// section every line that falls under its keywords. The board is checked when
// a keyword outside the block arrives; the boards of a file are checked
// against each other and against the files they name once the file is read.

struct SECT;

constexpr int EBDMDL_NAME_MAX = 40;
constexpr int EBDMDL_PIN_MAX = 8;
constexpr int EBDMDL_SIGNAL_MAX = 20;
constexpr int EBDMDL_REFDES_MAX = 10;
constexpr int EBDMDL_FILE_MAX_OLD = 24;  // below [IBIS Ver] 4
constexpr int EBDMDL_FILE_MAX = 44;

// Kinds of path elements.
constexpr int EBDELEM_PIN = 1;
constexpr int EBDELEM_NODE = 2;
constexpr int EBDELEM_SECTION = 3;
constexpr int EBDELEM_NC = 4;
constexpr int EBDELEM_FORK = 5;

// One element of a path chain; a Fork's own chain hangs from `branch`.
struct EBDELEM {
    EBDELEM* next;
    EBDELEM* branch;
    int kind;
    char pin[EBDMDL_PIN_MAX + 1];        // Pin and Node
    char refdes[EBDMDL_REFDES_MAX + 1];  // Node
    SECT* section;                       // R/L/C section
};

struct EBDPATH {
    EBDPATH* next;
    char name[EBDMDL_NAME_MAX + 1];
    EBDELEM* first;
};

struct EBDPIN {
    char pin[EBDMDL_PIN_MAX + 1];
    char signal_name[EBDMDL_SIGNAL_MAX + 1];
};

struct EBDREFDES {
    EBDREFDES* next;
    char refdes[EBDMDL_REFDES_MAX + 1];
    char file[EBDMDL_FILE_MAX + 1];
    char component[EBDMDL_NAME_MAX + 1];
    int fileValid;
    int componentGiven;
};

struct EBDMDL {
    EBDMDL* next;
    char name[EBDMDL_NAME_MAX + 1];
    char manufacturer[EBDMDL_NAME_MAX + 1];
    unsigned number_of_pins;  // 0 = not given
    EBDPIN* pins;             // number_of_pins slots once the first row came
    unsigned pinCount;        // rows kept
    EBDPATH* paths;           // file order
    EBDPATH* pathsTail;
    EBDREFDES* refdesMap;     // newest first
};

// Makes a new record at [Begin Board Description] and puts it in front of the
// current IBIS record's list: 1, or 0 after a message.
int EBDMDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int EBDMDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void EBDMDL_KeywordChange(int next);
// Closing checks of every board, including the files its [Reference Designator
// Map] names (only when `readResult` is nonzero and the option is on).
void EBDMDL_CheckList(EBDMDL* list, int readResult);
// Whether the files named by [Reference Designator Map] are checked at the
// end of a file (on by default). Returns the new value.
int EBDMDL_SetCheckReferencedFiles(int on);
// The board of that name in `list`, or null.
EBDMDL* EBDMDL_Find(EBDMDL* list, const char* name);
// The [Pin List] row of that pin, or null.
const EBDPIN* EBDMDL_FindPin(const EBDMDL* board, const char* pin);
// Releases a list with everything it holds.
void EBDMDL_FreeList(EBDMDL* list);
