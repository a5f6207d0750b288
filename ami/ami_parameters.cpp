#include "ami/ami_parameters.h"

#include "amiparam/ami_parameter_reader.h"
#include "model/korvan_tx.h"

namespace {

// One lookup; a value that cannot be read leaves the default in place.
void ReadOne(const AmiParameterReader& reader, const char* path, const char* name, double& value,
             std::string& message) {
    double read = 0.0;
    if (reader.GetValue(read, path)) {
        value = read;
        return;
    }
    message += "The IBIS-AMI model, korvan_tx, is unable to initialize the parameter ";
    message += name;
    message += " from the AMI_Init arguments.  The model will use the default setting. ";
}

}  // namespace

void ReadModelParameters(const char* parameters_in, korvan_tx& model, std::string& message) {
    const AmiParameterReader reader(parameters_in != nullptr ? parameters_in : "");
    ReadOne(reader, "korvan_tx.emphasis", "emphasis", model.emphasis, message);
    ReadOne(reader, "korvan_tx.Vreg", "Vreg", model.Vreg, message);
    ReadOne(reader, "korvan_tx.corner", "corner", model.corner, message);
}
