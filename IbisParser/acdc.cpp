// Electrical consistency checks: nothing reported until they are written.

#include "IbisParser/acdc.h"

void ACDC_CheckModels(MDL*) {}

void ACDC_SanityCheckModels(MDL*) {}

void ACDC_SanityCheckComponents(CMPNT*) {}

void ACDC_CheckSubmodelRamps(SUBMDL*) {}

void ACDC_CheckCombinedClamps(MDL*) {}
