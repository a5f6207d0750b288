#pragma once
// Electrical kinds of the ports of an instantiated circuit and of the
// component pins and nodes that circuit calls connect.

#include <string>

constexpr unsigned CIRCUIT_KIND_NO = 0x0001;
constexpr unsigned CIRCUIT_KIND_UNKNOWN = 0x0002;
constexpr unsigned CIRCUIT_KIND_DIGITAL = 0x0004;
constexpr unsigned CIRCUIT_KIND_DIGITAL_DRIVER = 0x0008;
constexpr unsigned CIRCUIT_KIND_DIGITAL_RECEIVER = 0x0010;
constexpr unsigned CIRCUIT_KIND_ANALOG_RESERVE = 0x0020;
constexpr unsigned CIRCUIT_KIND_ANALOG_REFERENCE = 0x0040;
constexpr unsigned CIRCUIT_KIND_ANALOG = 0x0080;
constexpr unsigned CIRCUIT_KIND_ANALOG_PIN = 0x0100;
constexpr unsigned CIRCUIT_KIND_ANALOG_DRIVER = 0x0200;
constexpr unsigned CIRCUIT_KIND_RESERVED_DIGITAL = 0x0400;  // never printed
constexpr unsigned CIRCUIT_KIND_AMS_UNKNOWN = 0x0800;
constexpr unsigned CIRCUIT_KIND_ANALOG_RECEIVER = 0x1000;

constexpr unsigned CIRCUIT_KINDS_DIGITAL =
    CIRCUIT_KIND_DIGITAL | CIRCUIT_KIND_DIGITAL_DRIVER | CIRCUIT_KIND_DIGITAL_RECEIVER;
constexpr unsigned CIRCUIT_KINDS_ANALOG = CIRCUIT_KIND_ANALOG_RESERVE | CIRCUIT_KIND_ANALOG_REFERENCE |
                                          CIRCUIT_KIND_ANALOG | CIRCUIT_KIND_ANALOG_PIN |
                                          CIRCUIT_KIND_ANALOG_DRIVER | CIRCUIT_KIND_ANALOG_RECEIVER;

// The printed names of the kinds in a set, each followed by a blank except
// ANALOG_RECEIVER.
std::string CIRCUIT_KindText(unsigned kinds);
