#pragma once
// Shared by the [Model Spec], [Receiver Thresholds] and [Driver Schedule]
// tests: a file with one model and a reader that hands the model back.

#include <string>

#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/parse.h"
#include "checker_test_support.h"

// An .ibs file without a component whose single Input model holds
// `sections` after its sub-parameters.
inline std::string IbsWithModelSections(const std::string& version, const std::string& sections) {
    return "[IBIS Ver] " + version + "\n[File Name] t.ibs\n[File Rev] 1\n[Model] m\nModel_type Input\n" +
           "Vinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n" + sections + "[Voltage Range] 3.3 3 3.6\n[End]\n";
}

// Reads `text` as t.ibs and returns its newest model.
inline MDL* ReadModelOf(CheckerSession& session, const std::string& text) {
    session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? IBIS_GetModels(ibis) : nullptr;
}
