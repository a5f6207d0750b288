#include <iostream>

#include "dataflow/df_model.h"

namespace Vantrel {

void ReportError(const DFModel* /*block*/, std::string_view message) {
    std::cerr << message << std::endl;
}

}  // namespace Vantrel
