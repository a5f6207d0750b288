#pragma once
// Shared between the circuit section's source files only.

#include "IbisParser/circuit.h"

#define CIRCUIT_MODULE "IbisParser\\circuit"

struct MDL;

// Reserved port names.
bool CIRCUIT_IsReservedAnalog(const char* name);
bool CIRCUIT_IsReservedDigital(const char* name);

// One line of an external description; `isModel` for [External Model].
void CIRCUIT_DescLine(CIRCUIT_DESC* desc, bool isModel, const char* line);
// The end checks of a description. `name` names the model or circuit;
// `model` is the model of an [External Model] (null for a circuit).
void CIRCUIT_DescEnd(const CIRCUIT_DESC* desc, const char* name, const MDL* model);
// Releases what the description holds (not the record itself).
void CIRCUIT_DescFree(CIRCUIT_DESC* desc);
// Whether the description lists `port`.
bool CIRCUIT_HasPort(const CIRCUIT_DESC* desc, const char* port);
// Appends a copy of `text` to a word list: 1, or 0 after a message.
int CIRCUIT_AddWord(CIRCUIT_WORD** head, CIRCUIT_WORD** tail, const char* text);
void CIRCUIT_FreeWords(CIRCUIT_WORD* list);
