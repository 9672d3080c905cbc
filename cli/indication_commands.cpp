#include "cli/indication_commands.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <QByteArrayView>
#include <QString>

#include "analysis/indication_csv.h"
#include "analysis/indications.h"
#include "analysis/recording_analysis.h"
#include "cli/command_line.h"
#include "cli/json_writer.h"
#include "recording/recording_file.h"

#ifdef SONALYT_CLI_QT_IMAGES
#include <QGuiApplication>

#include "report/indication_report.h"
#endif

namespace sonalyt::cli {
namespace {

constexpr const char* kIndicationsHelp =
    "usage: sonalyt-cli indications FILE [--merge-gap N] [--threshold P] [--csv]\n\n"
    "Analyses every frame of the recording and prints the gate A indications (runs\n"
    "of frames whose gate A is exceeded) and the coupling losses (runs of frames whose\n"
    "gate B echo is missing) as\n"
    "{\"RecordCount\", \"MergeGap\", \"Threshold\", \"indications\": [{\"FirstRecord\",\n"
    "\"FirstFrame\", \"LastRecord\", \"LastFrame\", \"Frames\", \"PeakRecord\", \"PeakFrame\",\n"
    "\"PeakAmplitude\", \"PeakColumn\", \"PeakDbOverThreshold\", \"PeakSoundPath\",\n"
    "\"PeakDepth\", \"PeakHorizontal\", \"InchUnits\", \"Readouts\", \"Note\"}],\n"
    "\"couplingLosses\": [{\"FirstRecord\", \"FirstFrame\", \"LastRecord\", \"LastFrame\",\n"
    "\"Frames\"}]}. Lengths are in millimetres, or inches when InchUnits is true.\n"
    "  --merge-gap N   runs at most N frames apart are one indication (default 13;\n"
    "                  0 merges nothing)\n"
    "  --threshold P   judge gate A against P percent of full height (0 to 100)\n"
    "                  instead of the recorded gate level or curve\n"
    "  --csv           print the indications as the viewer's CSV export\n";

// The arguments common to both commands.
struct IndicationArgs {
  std::string File;
  analysis::IndicationOptions Options;
  bool Csv = false;
  bool Report = false;  // --indications
  std::string Output;   // -o
};

// Parses the whole text as a number; none for anything else.
std::optional<std::int64_t> ParseInteger(const std::string& text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<double> ParseNumber(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Fills parsed from args; an error message when they are not usable.
std::string ParseArgs(const std::vector<std::string>& args, bool report, IndicationArgs& parsed) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--merge-gap") {
      if (!hasValue) return "--merge-gap needs N";
      const auto gap = ParseInteger(args[++i]);
      if (!gap) return "the merge gap must be a whole number: " + args[i];
      if (*gap < 0) return "the merge gap must not be negative: " + args[i];
      if (*gap > INT32_MAX) return "the merge gap is too large: " + args[i];
      parsed.Options.MergeGap = static_cast<std::int32_t>(*gap);
    } else if (a == "--threshold") {
      if (!hasValue) return "--threshold needs P";
      const auto threshold = ParseNumber(args[++i]);
      if (!threshold) return "the threshold must be a number of percent: " + args[i];
      parsed.Options.Threshold = *threshold;
    } else if (!report && a == "--csv") {
      parsed.Csv = true;
    } else if (report && a == "--indications") {
      parsed.Report = true;
    } else if (report && (a == "-o" || a == "--output")) {
      if (!hasValue) return a + " needs OUT";
      parsed.Output = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a + " (see --help)";
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 1) {
    return report ? "report --indications needs FILE and -o OUT.pdf (see --help)"
                  : "indications needs FILE (see --help)";
  }
  if (report && parsed.Output.empty()) return "report --indications needs -o OUT.pdf";
  parsed.File = positional[0];
  return analysis::CheckIndicationOptions(parsed.Options);
}

// The recording scanned, analysed and its indications found.
struct FoundIndications {
  analysis::IndicationList List;
  std::int32_t IndexedRecords = 0;
};

std::optional<FoundIndications> Find(const IndicationArgs& args, std::string* error) {
  recording::RecordingFile file;
  std::string reason;
  if (!file.OpenRecording(args.File, &reason)) {
    *error = reason;
    return std::nullopt;
  }
  auto results = analysis::AnalyzeRecording(args.File, analysis::LayoutOf(file), 0, &reason);
  if (!results) {
    *error = "cannot analyse " + args.File + ": " + reason;
    return std::nullopt;
  }
  analysis::GoverningBlocks blocks(file.RecordIndex());
  if (!blocks.Open(args.File, &reason)) {
    *error = reason;
    return std::nullopt;
  }
  std::vector<std::string> notes;
  for (const std::string& gbk : file.NoteTexts()) notes.push_back(GbkToUtf8(gbk));
  FoundIndications found;
  found.List = analysis::FindIndications(*results, args.Options, blocks.Lookup(), notes);
  found.IndexedRecords = results->IndexedRecords();
  return found;
}

void WriteSpanFields(JsonWriter& j, const analysis::RunSpan& span) {
  j.Key("FirstRecord").Int(span.FirstRecord);
  j.Key("FirstFrame").Int(span.FirstFrame);
  j.Key("LastRecord").Int(span.LastRecord);
  j.Key("LastFrame").Int(span.LastFrame);
  j.Key("Frames").Int(span.Frames);
}

void WriteJson(const analysis::IndicationList& list) {
  JsonWriter j(std::cout);
  j.BeginObject();
  j.Key("RecordCount").Int(list.RecordCount);
  j.Key("MergeGap").Int(list.Options.MergeGap);
  j.Key("Threshold");
  if (list.Options.Threshold) {
    j.Float(*list.Options.Threshold);
  } else {
    j.Null();
  }
  j.Key("indications").BeginArray();
  for (const analysis::Indication& i : list.Indications) {
    j.BeginObject();
    WriteSpanFields(j, i.Span);
    j.Key("PeakRecord").Int(i.PeakRecord);
    j.Key("PeakFrame").Int(i.PeakFrame);
    j.Key("PeakAmplitude").Float(i.PeakAmplitude);
    j.Key("PeakColumn").Int(i.PeakColumn);
    j.Key("PeakDbOverThreshold");
    if (i.PeakDbOverThreshold) {
      j.Float(*i.PeakDbOverThreshold);
    } else {
      j.Null();
    }
    j.Key("PeakSoundPath").Float(i.Peak.SoundPath);
    j.Key("PeakDepth").Float(i.Peak.Depth);
    j.Key("PeakHorizontal").Float(i.Peak.Horizontal);
    j.Key("InchUnits").Bool(i.Peak.InchUnits);
    j.Key("Readouts").BeginArray();
    j.String(i.Readouts.LabelPara1);
    j.String(i.Readouts.LabelPara2);
    j.String(i.Readouts.LabelPara3);
    j.String(i.Readouts.LabelPara4);
    j.EndArray();
    j.Key("Note");
    if (i.Note) {
      j.String(*i.Note);
    } else {
      j.Null();
    }
    j.EndObject();
  }
  j.EndArray();
  j.Key("couplingLosses").BeginArray();
  for (const analysis::CouplingLoss& loss : list.CouplingLosses) {
    j.BeginObject();
    WriteSpanFields(j, loss);
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  std::cout << '\n';
}

}  // namespace

int IndicationsCommand(const std::vector<std::string>& args) {
  if (WantsHelp(args)) {
    std::cout << kIndicationsHelp;
    return 0;
  }
  IndicationArgs parsed;
  if (const std::string problem = ParseArgs(args, false, parsed); !problem.empty()) {
    return Fail(problem);
  }
  std::string error;
  const auto found = Find(parsed, &error);
  if (!found) return Fail(error);
  if (parsed.Csv) {
    std::cout << analysis::IndicationCsv(found->List);
  } else {
    WriteJson(found->List);
  }
  std::cout.flush();
  return std::cout ? 0 : Fail("cannot write the output");
}

bool WantsIndicationReport(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--indications") return true;
  }
  return false;
}

int IndicationReportCommand(const std::vector<std::string>& args) {
#ifdef SONALYT_CLI_QT_IMAGES
  IndicationArgs parsed;
  if (const std::string problem = ParseArgs(args, true, parsed); !problem.empty()) {
    return Fail(problem);
  }
  std::string error;
  const auto found = Find(parsed, &error);
  if (!found) return Fail(error);
  EnsureGuiApplication();
  report::IndicationReportInput input{QString::fromStdString(parsed.File), found->List,
                                      found->IndexedRecords};
  QString reason;
  if (!report::WriteIndicationReport(input, QString::fromStdString(parsed.Output), {}, &reason)) {
    return Fail("cannot write " + parsed.Output + ": " + reason.toStdString());
  }
  return 0;
#else
  (void)args;
  return Fail("this build writes no reports");
#endif
}

}  // namespace sonalyt::cli
