#pragma once
// One R/L/C section of a path, such as "Len=0.5 L=2n C=1p /": a length and
// the resistance, inductance and capacitance per unit length, ended by a
// slash.

// A value that may be missing.
struct SECT_VALUE {
    double value;
    int given;
};

struct SECT {
    SECT_VALUE len;
    SECT_VALUE l;
    SECT_VALUE r;
    SECT_VALUE c;
};

// Reads the items of one section from `text` up to and including its slash.
// Reports duplicate, negative and misplaced items (3000 to 3010), a section
// with a nonzero Len but no L or C (3012), an empty section (3011), and a
// section that ends without its slash (3013).
// - A text without items: 1, *place null.
// - A section ended by its slash: 1, the record in *place (release with
//   SECT_Free), *rest just after the slash and the blanks behind it.
// - A section that ends early: 0, *place null, nothing kept.
int SECT_Parse(char* text, SECT** place, char** rest);

void SECT_Free(SECT* section);
