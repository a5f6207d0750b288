#pragma once
// Whether a model is used by a differential pin, asked by the test load and
// test data checks for every *_inv model they name. The search walks every
// [Diff Pin] row of the file, so each model's answer is kept: a file naming
// one model from thousands of test loads is searched once.

struct MDL;
struct TESTLOAD_DiffPinCache;

// A new empty cache; null when memory is short (answers are then searched
// every time).
TESTLOAD_DiffPinCache* TESTLOAD_DiffPinCacheNew();
// Whether a [Diff Pin] row uses `model`; a file without components has none
// (the missing [Component] is reported on its own).
bool TESTLOAD_HasDiffPin(TESTLOAD_DiffPinCache* cache, MDL* model);
void TESTLOAD_DiffPinCacheFree(TESTLOAD_DiffPinCache* cache);
