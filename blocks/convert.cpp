#include "blocks/convert.h"

namespace Vantrel {

template class TypeConverter<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;
template class ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;

}  // namespace Vantrel
