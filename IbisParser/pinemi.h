#pragma once
// [Pin EMI] and [Pin Domain EMI] of a component's EMI block: which pins
// belong to which EMI domain and clock divider, and each domain's share.
//
// The component's EMI block (cmpntemi) hands these keywords' lines here
// together with its open record; at the end of the file the rows are checked
// against the component's [Pin] table.

struct CMPNT;
struct CMPNTEMI;
struct CMPNT_NAMES;

constexpr int PINEMI_PIN_NAME_MAX = 5;
constexpr int PINEMI_DOMAIN_NAME_MAX = 20;
constexpr int PINEMI_CLOCK_DIV_MAX = 5;   // characters of the clock_div text
constexpr int PINEMI_PERCENTAGE_MAX = 5;  // characters of the percentage text

// One [Pin EMI] row.
struct PINEMI {
    PINEMI* next;
    char pin_name[PINEMI_PIN_NAME_MAX + 1];
    char domain_name[PINEMI_DOMAIN_NAME_MAX + 1];
    double clock_div;
    int clock_div_state;  // CMN_OPT_ABSENT, CMN_OPT_GIVEN or CMN_OPT_NA
};

// One [Pin Domain EMI] row.
struct PINDOMEMI {
    PINDOMEMI* next;
    char domain_name[PINEMI_DOMAIN_NAME_MAX + 1];
    double percentage;
};

// The rows of one EMI block. Each list keeps file order and has a tail for
// appending, and an index by name for the duplicate checks.
struct PINEMI_TABLES {
    PINEMI* pins;
    PINEMI* pinsTail;
    CMPNT_NAMES* pinIndex;
    int domainTable;  // [Pin Domain EMI] seen (its rows may still be none)
    PINDOMEMI* domains;
    PINDOMEMI* domainsTail;
    CMPNT_NAMES* domainIndex;
};

// The [Pin EMI] or [Pin Domain EMI] keyword line; `rest` is the text after
// the keyword.
void PINEMI_KeywordLine(PINEMI_TABLES* tables, int keyword, const char* rest);
// A data line under one of the two keywords.
void PINEMI_DataLine(PINEMI_TABLES* tables, int keyword, const char* line);
// Whether the block holds any row or a [Pin Domain EMI] table.
int PINEMI_HasData(const PINEMI_TABLES* tables);
// End of file: domains no pin uses, pins missing from [Pin] or wired to
// POWER, GND, NC and the like (4908, 4909, 4911).
void PINEMI_CheckComponent(const CMPNT* component, const PINEMI_TABLES* tables);
// Releases every row and clears the tables.
void PINEMI_FreeTables(PINEMI_TABLES* tables);
