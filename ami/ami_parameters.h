#pragma once
// Reading the model's three parameters from the AMI parameter string.

#include <string>

class korvan_tx;

// Looks up korvan_tx.emphasis, korvan_tx.Vreg and korvan_tx.corner in the
// parameter string and stores each into the model member of the same name.
// A parameter that cannot be read keeps the model's default and adds one
// sentence to message, in the order emphasis, Vreg, corner.
void ReadModelParameters(const char* parameters_in, korvan_tx& model, std::string& message);
