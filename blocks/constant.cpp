#include "blocks/constant.h"

namespace Vantrel {

template class ConstUnTimedBase<double, CircularBuffer<double>>;
template class ConstUnTimed<double>;

}  // namespace Vantrel
