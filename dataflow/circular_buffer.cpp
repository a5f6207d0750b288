#include "dataflow/circular_buffer.h"

namespace Vantrel {

template class CircularBuffer<double>;
template class CircularBuffer<int>;
template class CircularBuffer<std::complex<double>>;

}  // namespace Vantrel
