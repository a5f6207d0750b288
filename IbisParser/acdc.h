#pragma once
// Electrical consistency of a whole .ibs file, weighed after the last line:
// I-V tables against each other and against the waveforms, clamp currents,
// parasitics, C_comp and ramp times in plausible ranges. These checks read
// no lines; the closing checks of the file call them at fixed places. Until
// they are written they report nothing.

struct CMPNT;
struct MDL;
struct SUBMDL;

// The AC/DC checks of every model.
void ACDC_CheckModels(MDL* models);
// The sanity checks of every model.
void ACDC_SanityCheckModels(MDL* models);
// The sanity checks of every component.
void ACDC_SanityCheckComponents(CMPNT* components);
// The ramp of every submodel.
void ACDC_CheckSubmodelRamps(SUBMDL* submodels);
// The clamps of every model combined with those of its submodels.
void ACDC_CheckCombinedClamps(MDL* models);
