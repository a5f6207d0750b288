#include "blocks/fork_add.h"

namespace Vantrel {

template class Fork<CircularBuffer<double>>;
template class Fork<CircularBuffer<int>>;
template class Add<double>;

}  // namespace Vantrel
