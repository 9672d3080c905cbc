#include "analysis/indication_csv.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "display/number_format.h"

namespace sonalyt::analysis {
namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kLineEnd = "\r\n";
constexpr int kMillimetreDecimals = 1;
constexpr int kInchDecimals = 3;

constexpr const char* kHeader[] = {
    "Number",        "FirstRecord",   "FirstFrame",          "LastRecord", "LastFrame",
    "Frames",        "PeakRecord",    "PeakFrame",           "PeakAmplitude",
    "PeakColumn",    "PeakDbOverThreshold", "PeakSoundPath", "PeakDepth",  "PeakHorizontal",
    "Unit",          "Readout1",      "Readout2",            "Readout3",   "Readout4",
    "Note",
};

void AppendRow(std::string& out, std::initializer_list<std::string> fields) {
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) out += ',';
    out += CsvField(field);
    first = false;
  }
  out += kLineEnd;
}

}  // namespace

std::string LengthText(double length, bool inchUnits) {
  return display::FormatPicture(length, inchUnits ? kInchDecimals : kMillimetreDecimals);
}

const char* LengthUnitText(bool inchUnits) { return inchUnits ? "in" : "mm"; }

std::string DbText(const std::optional<double>& db) {
  return db ? display::FormatPicture(*db, 1) : std::string();
}

std::string AmplitudeText(double percent) { return display::FormatPicture(percent, 1); }

std::string ClockText(double seconds) {
  const auto whole = static_cast<std::int64_t>(std::max(0.0, std::floor(seconds)));
  const std::int64_t hours = whole / 3600;
  const std::int64_t minutes = whole / 60 % 60;
  const std::int64_t secs = whole % 60;
  const auto two = [](std::int64_t v) {
    std::string text = std::to_string(v);
    if (v < 10) text.insert(text.begin(), '0');
    return text;
  };
  if (hours > 0) return std::to_string(hours) + ":" + two(minutes) + ":" + two(secs);
  return std::to_string(minutes) + ":" + two(secs);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string IndicationCsv(const IndicationList& list) {
  std::string out = kByteOrderMark;
  bool first = true;
  for (const char* name : kHeader) {
    if (!first) out += ',';
    out += name;
    first = false;
  }
  out += kLineEnd;
  std::int32_t number = 0;
  for (const Indication& i : list.Indications) {
    const bool inch = i.Peak.InchUnits;
    AppendRow(out, {std::to_string(++number), std::to_string(i.Span.FirstRecord),
                    std::to_string(i.Span.FirstFrame), std::to_string(i.Span.LastRecord),
                    std::to_string(i.Span.LastFrame), std::to_string(i.Span.Frames),
                    std::to_string(i.PeakRecord), std::to_string(i.PeakFrame),
                    AmplitudeText(i.PeakAmplitude), std::to_string(i.PeakColumn),
                    DbText(i.PeakDbOverThreshold), LengthText(i.Peak.SoundPath, inch),
                    LengthText(i.Peak.Depth, inch), LengthText(i.Peak.Horizontal, inch),
                    LengthUnitText(inch), i.Readouts.LabelPara1, i.Readouts.LabelPara2,
                    i.Readouts.LabelPara3, i.Readouts.LabelPara4, i.Note.value_or("")});
  }
  return out;
}

}  // namespace sonalyt::analysis
