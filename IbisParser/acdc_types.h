#pragma once
// Model types as the consistency checks group them.

#include "IbisParser/mdl_types.h"

// Open_drain, I/O_open_drain, Open_sink, I/O_open_sink: no pullup device.
inline bool ACDC_IsOpenDrain(int type) {
    return type == MDL_TYPE_OPEN_DRAIN || type == MDL_TYPE_IO_OPEN_DRAIN || type == MDL_TYPE_OPEN_SINK ||
           type == MDL_TYPE_IO_OPEN_SINK;
}
// Open_source, I/O_open_source: no pulldown device.
inline bool ACDC_IsOpenSource(int type) {
    return type == MDL_TYPE_OPEN_SOURCE || type == MDL_TYPE_IO_OPEN_SOURCE;
}
// ECL types, whose pulldown falls back to the Voltage Range.
inline bool ACDC_IsEcl(int type) {
    return type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_OUTPUT_ECL || type == MDL_TYPE_IO_ECL ||
           type == MDL_TYPE_3STATE_ECL;
}
// ECL types with a pulldown measured from the upper rail.
inline bool ACDC_IsDrivingEcl(int type) {
    return type == MDL_TYPE_OUTPUT_ECL || type == MDL_TYPE_IO_ECL || type == MDL_TYPE_3STATE_ECL;
}
// Types without drive tables to combine.
inline bool ACDC_IsReceiverOnly(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR ||
           type == MDL_TYPE_SERIES || type == MDL_TYPE_SERIES_SWITCH;
}
