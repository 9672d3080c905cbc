// The indication list as text: the rounded numbers the window, the CSV and
// the report show, and the CSV export that the viewer and the command-line
// tool share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/indications.h"

namespace sonalyt::analysis {

// A length with one decimal in millimetres, three in inches (no unit).
std::string LengthText(double length, bool inchUnits);
// "mm" or "in".
const char* LengthUnitText(bool inchUnits);
// dB over threshold with one decimal; empty when there is none.
std::string DbText(const std::optional<double>& db);
// Percent of full height with one decimal (GateAPeak / 2 is a whole or half number).
std::string AmplitudeText(double percent);

// "m:ss", or "h:mm:ss" from an hour on; whole seconds, truncated.
std::string ClockText(double seconds);

// One field of a CSV row: quoted (with inner quotes doubled) when it holds
// a comma, a quote, a carriage return or a line feed; otherwise as it is.
std::string CsvField(const std::string& text);

// The CSV export: UTF-8 with a byte-order mark, one header row of the field
// names, one row per indication (numbered from 1), lines ended by CR LF.
// Note texts must already be UTF-8.
std::string IndicationCsv(const IndicationList& list);

}  // namespace sonalyt::analysis
