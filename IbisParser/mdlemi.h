#pragma once
// [Begin EMI Model] ... [End EMI Model] of a model: the model's EMI type and
// domain.
//
// The model routes the keyword and its data lines here, and reports a
// missing or orphan [End EMI Model] itself.

// Domain codes of the model block.
constexpr int MDLEMI_DOMAIN_NONE = 0;
constexpr int MDLEMI_DOMAIN_ANALOG = 1;
constexpr int MDLEMI_DOMAIN_DIGITAL = 2;

// Model_emi_type codes.
constexpr int MDLEMI_TYPE_NONE = 0;
constexpr int MDLEMI_TYPE_FERRITE = 1;
constexpr int MDLEMI_TYPE_NOT_A_FERRITE = 2;

// The EMI data of one model (the model's `emi` slot). A sub-parameter given
// with a value not in its list stays 0, as if not given.
struct MDLEMI {
    int domain;          // MDLEMI_DOMAIN_...
    int model_emi_type;  // MDLEMI_TYPE_...
};

// The [Begin EMI Model] line of the current model.
int MDLEMI_KeywordLine(int keyword, char* line);
// A data line under [Begin EMI Model].
int MDLEMI_DataLine(int keyword, char* line);
// The keyword `next` follows [Begin EMI Model]: the block is over.
void MDLEMI_KeywordChange(int next);
// Releases a record (null is fine).
void MDLEMI_Free(MDLEMI* record);
