#pragma once
// Shared between the crv source files only.

#include "IbisParser/crv.h"

#define CRV_MODULE "IbisParser\\crv"

// A new empty table that starts on the current line, or null after a
// message.
CRV* CRV_NewTable();
