#include "cli/analysis_commands.h"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "analysis/bscan.h"
#include "analysis/recording_analysis.h"
#include "cli/command_line.h"
#include "cli/json_writer.h"
#include "recording/recording_file.h"

#ifdef SONALYT_CLI_QT_IMAGES
#include <QImage>
#include <QString>
#endif

namespace sonalyt::cli {
namespace {

constexpr const char* kAnalyzeHelp =
    "usage: sonalyt-cli analyze FILE [--csv]\n\n"
    "Analyses every frame of every record the file holds intact and prints\n"
    "{\"RecordCount\", \"frames\": [{\"record\", \"frame\", \"GateAPeak\", \"GateAPeakColumn\",\n"
    "\"GateAExceeds\", \"GateBPeak\", \"GateBBelow\", \"Reading0\", \"Reading1\", \"Reading2\",\n"
    "\"Reading3\"}]} in file order. Each frame is judged under the parameter block a jump\n"
    "to its record puts in force: amplitudes in 1/200 of the picture height (RF traces\n"
    "about the middle line), GateAExceeds when a gate A column reaches the gate level\n"
    "or the gate curve, GateBBelow when gate B is on and its echo stays under its level.\n"
    "  --csv   print the same columns as CSV with a header row\n";

constexpr const char* kBScanHelp =
    "usage: sonalyt-cli bscan FILE -o OUT.png [--width W] [--height H]\n\n"
    "Writes the B-scan of the whole recording as PNG: x the position in the\n"
    "recording, y the 280 screen columns (top = left edge of the A-scan), colour the\n"
    "largest amplitude each pixel covers. By default one column per record and one\n"
    "row per screen column.\n"
    "  --width W    picture width in pixels (1 to 32767)\n"
    "  --height H   picture height in pixels (1 to 32767)\n";

constexpr std::int32_t kMaxPictureSide = 32767;

std::optional<std::int32_t> ParseSide(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  std::int32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kMaxPictureSide) return std::nullopt;
  return value;
}

// Scans the file and runs the pass over it with one worker per core.
std::shared_ptr<const analysis::AnalysisResults> RunPass(const std::string& path,
                                                          std::string* error) {
  recording::RecordingFile file;
  std::string reason;
  if (!file.OpenRecording(path, &reason)) {
    *error = reason;  // names the file and why it cannot be opened
    return nullptr;
  }
  auto results = analysis::AnalyzeRecording(path, analysis::LayoutOf(file), 0, &reason);
  if (!results) *error = "cannot analyse " + path + ": " + reason;
  return results;
}

const char* Flag(bool value) { return value ? "true" : "false"; }

void PrintCsv(const analysis::AnalysisResults& results) {
  std::cout << "record,frame,GateAPeak,GateAPeakColumn,GateAExceeds,GateBPeak,GateBBelow,"
               "Reading0,Reading1,Reading2,Reading3\n";
  for (std::int32_t r = 0; r < results.IndexedRecords(); ++r) {
    std::int32_t k = 0;
    for (const analysis::FrameFigures& f : results.Frames(r)) {
      std::cout << r << ',' << k++ << ',' << int{f.GateAPeak} << ',' << f.GateAPeakColumn << ','
                << Flag(f.GateAExceeds) << ',' << int{f.GateBPeak} << ',' << Flag(f.GateBBelow)
                << ',' << f.Reading0 << ',' << f.Reading1 << ',' << f.Reading2 << ','
                << f.Reading3 << '\n';
    }
  }
}

void PrintJson(const analysis::AnalysisResults& results) {
  JsonWriter j(std::cout);
  j.BeginObject();
  j.Key("RecordCount").Int(results.RecordCount());
  j.Key("frames").BeginArray();
  for (std::int32_t r = 0; r < results.IndexedRecords(); ++r) {
    std::int32_t k = 0;
    for (const analysis::FrameFigures& f : results.Frames(r)) {
      j.BeginObject();
      j.Key("record").Int(r);
      j.Key("frame").Int(k++);
      j.Key("GateAPeak").Int(f.GateAPeak);
      j.Key("GateAPeakColumn").Int(f.GateAPeakColumn);
      j.Key("GateAExceeds").Bool(f.GateAExceeds);
      j.Key("GateBPeak").Int(f.GateBPeak);
      j.Key("GateBBelow").Bool(f.GateBBelow);
      j.Key("Reading0").Int(f.Reading0);
      j.Key("Reading1").Int(f.Reading1);
      j.Key("Reading2").Int(f.Reading2);
      j.Key("Reading3").Int(f.Reading3);
      j.EndObject();
    }
  }
  j.EndArray();
  j.EndObject();
  std::cout << '\n';
}

}  // namespace

int AnalyzeCommand(const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::cout << kAnalyzeHelp;
    return 0;
  }
  std::optional<std::string> path;
  bool csv = false;
  for (const auto& a : args) {
    if (a == "--csv") {
      csv = true;
    } else if (a.starts_with("-")) {
      return Fail("analyze: unknown option " + a + " (see --help)");
    } else if (!path) {
      path = a;
    } else {
      return Fail("analyze needs one FILE (see --help)");
    }
  }
  if (!path) return Fail("analyze needs FILE (see --help)");
  std::string error;
  const auto results = RunPass(*path, &error);
  if (!results) return Fail(error);
  std::ios::sync_with_stdio(false);
  if (csv) {
    PrintCsv(*results);
  } else {
    PrintJson(*results);
  }
  std::cout.flush();
  if (!std::cout) return Fail("cannot write the output");
  return 0;
}

int BScanCommand(const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::cout << kBScanHelp;
    return 0;
  }
#ifndef SONALYT_CLI_QT_IMAGES
  return Fail("bscan needs the build with pictures (SONALYT_GUI)");
#else
  std::optional<std::string> path, out;
  std::optional<std::int32_t> width, height;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "-o") {
      if (!hasValue) return Fail("bscan: -o needs OUT.png (see --help)");
      out = args[++i];
    } else if (a == "--width" || a == "--height") {
      if (!hasValue) return Fail("bscan: " + a + " needs a number (see --help)");
      const auto side = ParseSide(args[++i]);
      if (!side) return Fail("bscan: " + a + " must be a whole number from 1 to 32767, not " + args[i]);
      (a == "--width" ? width : height) = side;
    } else if (a.starts_with("-")) {
      return Fail("bscan: unknown option " + a + " (see --help)");
    } else if (!path) {
      path = a;
    } else {
      return Fail("bscan needs one FILE (see --help)");
    }
  }
  if (!path || !out) return Fail("bscan needs FILE -o OUT.png (see --help)");
  if (!out->ends_with(".png") && !out->ends_with(".PNG")) {
    return Fail("bscan writes PNG: " + *out + " must end in .png");
  }
  std::string error;
  const auto results = RunPass(*path, &error);
  if (!results) return Fail(error);
  if (results->IndexedRecords() == 0) return Fail(*path + " holds no complete record to draw");
  const std::int32_t w = width.value_or(std::min(results->IndexedRecords(), kMaxPictureSide));
  const std::int32_t h = height.value_or(analysis::kScreenColumns);
  const analysis::BScanImage picture = analysis::RecordingBScan(*results, w, h);
  QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
  if (image.isNull()) return Fail("cannot make a picture of " + std::to_string(w) + " x " + std::to_string(h));
  for (std::int32_t y = 0; y < picture.Height; ++y) {
    std::memcpy(image.scanLine(y), picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width,
                static_cast<std::size_t>(picture.Width) * sizeof(analysis::Argb));
  }
  if (!image.save(QString::fromStdString(*out), "PNG")) return Fail("cannot write " + *out);
  return 0;
#endif
}

}  // namespace sonalyt::cli
