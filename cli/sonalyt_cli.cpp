// sonalyt-cli: the viewer's session without a window, for scripting.
// Every command opens the recording, loads a record as a jump in the viewer
// does (governing parameters first, then the record) and prints JSON.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <QByteArray>
#include <QString>

#include "cli/analysis_commands.h"
#include "cli/indication_commands.h"
#include "cli/command_line.h"
#include "cli/json_writer.h"
#include "display/frame_image.h"
#include "display/picture_sizes.h"
#include "display/settings_panel.h"
#include "display/svg_canvas.h"
#include "session/viewer_session.h"

#ifdef SONALYT_CLI_QT_IMAGES
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "qtdraw/qt_canvas.h"
#include "report/report_export.h"
#endif

namespace {

#ifdef SONALYT_CLI_QT_IMAGES
using sonalyt::cli::EnsureGuiApplication;
#endif
using sonalyt::cli::Fail;
using sonalyt::cli::GbkToUtf8;
using sonalyt::cli::JsonWriter;
using sonalyt::cli::WantsHelp;
using sonalyt::session::ViewerSession;
namespace recording = sonalyt::recording;
namespace display = sonalyt::display;

// The main window's picture panel and its three pictures.
constexpr int kWaveWidth = display::kWavePicture.Width, kWaveHeight = display::kWavePicture.Height;
constexpr int kAmplitudeWidth = display::kAmplitudeScalePicture.Width;
constexpr int kAmplitudeHeight = display::kAmplitudeScalePicture.Height;
constexpr int kRangeWidth = display::kRangeScalePicture.Width;
constexpr int kRangeHeight = display::kRangeScalePicture.Height;
constexpr int kPanelWidth = display::kPicturePanel.Width, kPanelHeight = display::kPicturePanel.Height;
constexpr int kWaveLeft = display::kWavePictureLeft, kRangeTop = display::kRangeScalePictureTop;

constexpr const char* kUsage =
    "usage: sonalyt-cli COMMAND [ARGS]\n"
    "\n"
    "Reads a continuous recording (*.DAT) of the flaw detector and prints JSON.\n"
    "\n"
    "commands:\n"
    "  info FILE                       record count, record index and notes\n"
    "  record FILE R [--frames] [--raw OUT]\n"
    "                                  record R loaded as a jump does\n"
    "  frame FILE R F                  readouts, settings texts and curves of frame F\n"
    "  render FILE R F -o OUT          the screen picture of frame F (.svg"
#ifdef SONALYT_CLI_QT_IMAGES
    " or .png"
#endif
    ")\n"
#ifdef SONALYT_CLI_QT_IMAGES
    "  report FILE R F -o OUT          the A4 report page of frame F (.pdf or .png)\n"
    "  report FILE --indications -o OUT.pdf\n"
    "                                  the report of every indication\n"
#endif
    "  analyze FILE [--csv]            gate figures of every frame of the recording\n"
#ifdef SONALYT_CLI_QT_IMAGES
    "  bscan FILE -o OUT.png [--width W] [--height H]\n"
    "                                  the B-scan of the whole recording\n"
#endif
    "  indications FILE [--csv]        gate A indications and coupling losses\n"
    "\n"
    "Run 'sonalyt-cli COMMAND --help' for a command's options.\n";

struct CommandHelp {
  std::string_view name;
  std::string_view text;
};
constexpr CommandHelp kCommandHelp[] = {
    {"info",
     "usage: sonalyt-cli info FILE\n\n"
     "Prints {\"RecordCount\", \"records\": [{\"Offset\", \"Length\", \"ParamOffset\"}],\n"
     "\"notes\": [{\"record\", \"text\"}]} for the records the file holds intact.\n"},
    {"record",
     "usage: sonalyt-cli record FILE R [--frames] [--raw OUT]\n\n"
     "Loads record R (its governing parameters first) and prints its lengths, frame\n"
     "count, playback interval, the note line it selects and the parameter block in\n"
     "force.\n"
     "  --frames    add every frame's samples, readings and envelope\n"
     "  --raw OUT   write the decoded bytes of the record to OUT\n"},
    {"frame",
     "usage: sonalyt-cli frame FILE R F\n\n"
     "Loads record R as a jump does, draws frame F and prints the four readouts, the\n"
     "settings texts, the range axis and the reference-curve state.\n"},
    {"render",
     "usage: sonalyt-cli render FILE R F -o OUT\n\n"
     "Writes the screen picture of frame F of record R (306 x 245 with the amplitude\n"
     "scale and the range scale beside it) as SVG, or as PNG when OUT ends in .png.\n"},
    {"report",
     "usage: sonalyt-cli report FILE R F -o OUT\n"
     "       sonalyt-cli report FILE --indications [--merge-gap N] [--threshold P] -o OUT.pdf\n\n"
     "Writes the A4 inspection report of frame F of record R as PDF, or as PNG at\n"
     "96 dpi when OUT ends in .png.\n"
     "With --indications: a summary page with the list of gate A indications, then\n"
     "the report page of each indication's peak frame, as the viewer exports it\n"
     "(--merge-gap and --threshold as for the indications command).\n"},
};

std::optional<std::int32_t> ParseIndex(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool EndsWith(const std::string& s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    const char a = s[s.size() - suffix.size() + i];
    const char lower = (a >= 'A' && a <= 'Z') ? static_cast<char>(a - 'A' + 'a') : a;
    if (lower != suffix[i]) return false;
  }
  return true;
}

bool Open(ViewerSession& session, const std::string& path, std::string* error) {
  std::string reason;
  if (!session.OpenRecording(path, &reason)) {
    // A file that cannot be opened at all is already reported as such.
    *error = reason.starts_with("cannot open ") ? reason : "cannot open " + path + ": " + reason;
    return false;
  }
  return true;
}

// Jumps to frame f of record r as the viewer does (governing parameters
// first, then the record, then the frame onto wave); r must be in the index,
// and f in the record when needFrame.
bool Jump(ViewerSession& session, const std::string& path, std::int32_t r, std::int32_t f,
          bool needFrame, display::Canvas& wave, std::string* error) {
  const auto count = static_cast<std::int32_t>(session.File().RecordIndex().size());
  if (r < 0 || r >= count) {
    *error = "record " + std::to_string(r) + " is not in the index of " + path + " (" +
             std::to_string(count) + " records)";
    return false;
  }
  if (!session.JumpTo(r, f, wave).Drew && needFrame) {
    *error = "frame " + std::to_string(f) + " is not in record " + std::to_string(r) + " (" +
             std::to_string(session.FramesInRecord()) + " frames)";
    return false;
  }
  return true;
}

void WriteParameterBlock(JsonWriter& j, const recording::ParameterBlock& p) {
  j.BeginObject();
  recording::ForEachNamedField(p, [&](std::string_view name, std::size_t, const auto& field) {
    using Field = std::remove_cvref_t<decltype(field)>;
    j.Key(name);
    if constexpr (std::is_arithmetic_v<Field>) {
      j.Int(field);
    } else {
      j.IntArray(std::span<const typename Field::value_type>(field));
    }
  });
  for (const recording::BitField& field : recording::kBitFields) {
    j.Key(field.Name);
    if (field.Flag) {
      j.Bool(field.Get(p) != 0);
    } else {
      j.Int(field.Get(p));
    }
  }
  j.EndObject();
}

int Info(const std::vector<std::string>& args) {
  if (args.size() != 1) return Fail("info needs FILE (see --help)");
  ViewerSession session;
  std::string error;
  if (!Open(session, args[0], &error)) return Fail(error);
  const auto& file = session.File();
  JsonWriter j(std::cout);
  j.BeginObject();
  j.Key("RecordCount").Int(file.RecordCount());
  j.Key("records").BeginArray();
  for (const auto& e : file.RecordIndex()) {
    j.BeginObject();
    j.Key("Offset").Int(e.Offset);
    j.Key("Length").Int(e.Length);
    j.Key("ParamOffset").Int(e.ParamOffset);
    j.EndObject();
  }
  j.EndArray();
  j.Key("notes").BeginArray();
  for (std::size_t i = 0; i < file.NoteRecords().size(); ++i) {
    j.BeginObject();
    j.Key("record").Int(file.NoteRecords()[i]);
    j.Key("text").String(GbkToUtf8(file.NoteTexts()[i]));
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  std::cout << '\n';
  return 0;
}

int Record(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  bool frames = false;
  std::optional<std::string> rawPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--frames") {
      frames = true;
    } else if (args[i] == "--raw") {
      if (i + 1 >= args.size()) return Fail("--raw needs OUT");
      rawPath = args[++i];
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return Fail("record needs FILE R (see --help)");
  const auto r = ParseIndex(positional[1]);
  if (!r) return Fail("record index must be a whole number: " + positional[1]);
  ViewerSession session;
  std::string error;
  display::SvgCanvas wave(kWaveWidth, kWaveHeight);
  if (!Open(session, positional[0], &error) ||
      !Jump(session, positional[0], *r, 0, false, wave, &error)) {
    return Fail(error);
  }
  const auto& file = session.File();
  if (rawPath) {
    std::ofstream out(*rawPath, std::ios::binary);
    const auto bytes = file.DecodedRecord();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) return Fail("cannot write " + *rawPath);
  }
  const std::int32_t noteLine = recording::SelectNoteLine(file.NoteRecords(), session.CurrentRecord);
  JsonWriter j(std::cout);
  j.BeginObject();
  j.Key("record").Int(session.CurrentRecord);
  j.Key("BodyLength").Int(file.BodyLength());
  j.Key("ParamLength").Int(file.ParamLength());
  j.Key("DecodedLength").Int(file.DecodedLength());
  j.Key("FramesInRecord").Int(session.FramesInRecord());
  j.Key("PlayInterval").Int(session.PlayInterval());
  j.Key("noteLine");
  if (noteLine < 0) {
    j.Null();
  } else {
    j.Int(noteLine);
  }
  j.Key("ParameterCopy");
  WriteParameterBlock(j, session.ParameterCopy());
  if (frames) {
    j.Key("frames").BeginArray();
    for (std::int32_t k = 0; k < session.FramesInRecord(); ++k) {
      const auto frame = file.Frame(k);
      const auto readings = recording::ReadFrameReadings(frame);
      j.BeginObject();
      j.Key("Samples").IntArray(std::span<const std::uint8_t>(frame.first<recording::kFrameColumns>()));
      j.Key("Reading0").Int(readings.Reading0);
      j.Key("Reading1").Int(readings.Reading1);
      j.Key("Reading2").Int(readings.Reading2);
      j.Key("Reading3").Int(readings.Reading3);
      j.Key("Envelope").IntArray(std::span<const std::uint8_t>(readings.Envelope));
      j.EndObject();
    }
    j.EndArray();
  }
  j.EndObject();
  std::cout << '\n';
  return 0;
}

// Opens FILE, jumps to record R and draws frame F onto the given canvas.
bool LoadFrame(ViewerSession& session, const std::vector<std::string>& positional,
               display::Canvas& wave, std::string* error) {
  const auto r = ParseIndex(positional[1]);
  const auto f = ParseIndex(positional[2]);
  if (!r || !f) {
    *error = "record and frame must be whole numbers";
    return false;
  }
  return Open(session, positional[0], error) &&
         Jump(session, positional[0], *r, *f, true, wave, error);
}

int Frame(const std::vector<std::string>& args) {
  if (args.size() != 3) return Fail("frame needs FILE R F (see --help)");
  ViewerSession session;
  display::SvgCanvas wave(kWaveWidth, kWaveHeight);
  std::string error;
  if (!LoadFrame(session, args, wave, &error)) return Fail(error);
  const auto& t = session.Readouts();
  const auto& s = session.Settings();
  const auto& axis = session.Axis();
  const auto& curves = session.Curves();
  JsonWriter j(std::cout);
  j.BeginObject();
  j.Key("LabelPara1").String(t.LabelPara1);
  j.Key("LabelPara2").String(t.LabelPara2);
  j.Key("LabelPara3").String(t.LabelPara3);
  j.Key("LabelPara4").String(t.LabelPara4);
  j.Key("fields").BeginObject();
  for (const auto& [name, text] : display::kSettingsFields) j.Key(name).String(s.*text);
  j.EndObject();
  j.Key("UnitFactor").Float(axis.UnitFactor);
  j.Key("ScaleStart").Float(axis.ScaleStart);
  j.Key("ScaleRange").Float(axis.ScaleRange);
  j.Key("ReferenceCurve").IntArray(std::span<const std::int16_t>(curves.ReferenceCurve));
  j.Key("GateCurve").IntArray(std::span<const std::int16_t>(curves.GateCurve));
  j.Key("CurveEndColumn").Int(curves.CurveEndColumn);
  j.EndObject();
  std::cout << '\n';
  return 0;
}

// Splits "FILE R F -o OUT" into the three positional arguments and OUT.
bool ParseOutputArgs(const std::vector<std::string>& args, std::vector<std::string>* positional,
                     std::string* out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" || args[i] == "--output") {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
    } else {
      positional->push_back(args[i]);
    }
  }
  return positional->size() == 3 && !out->empty();
}

int Render(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::string out;
  if (!ParseOutputArgs(args, &positional, &out)) return Fail("render needs FILE R F -o OUT (see --help)");
  std::string error;
  ViewerSession session;
  if (EndsWith(out, ".png")) {
#ifdef SONALYT_CLI_QT_IMAGES
    EnsureGuiApplication();
    sonalyt::qtdraw::QtCanvas wave(kWaveWidth, kWaveHeight);
    if (!LoadFrame(session, positional, wave, &error)) return Fail(error);
    sonalyt::qtdraw::QtCanvas amplitude(kAmplitudeWidth, kAmplitudeHeight);
    sonalyt::qtdraw::QtCanvas range(kRangeWidth, kRangeHeight);
    display::DrawAmplitudeScale(amplitude, kWaveHeight);
    session.DrawRangeScale(range);
    QImage panel(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
    panel.fill(Qt::black);
    QPainter painter(&panel);
    painter.drawImage(0, 0, amplitude.TakeImage());
    painter.drawImage(kWaveLeft, 0, wave.TakeImage());
    painter.drawImage(kWaveLeft, kRangeTop, range.TakeImage());
    painter.end();
    if (!panel.save(QString::fromStdString(out), "PNG")) return Fail("cannot write " + out);
    return 0;
#else
    return Fail("this build writes SVG only");
#endif
  }
  display::SvgCanvas wave(kWaveWidth, kWaveHeight);
  if (!LoadFrame(session, positional, wave, &error)) return Fail(error);
  display::SvgCanvas amplitude(kAmplitudeWidth, kAmplitudeHeight);
  display::SvgCanvas range(kRangeWidth, kRangeHeight);
  display::DrawAmplitudeScale(amplitude, kWaveHeight);
  session.DrawRangeScale(range);
  display::SvgCanvas panel(kPanelWidth, kPanelHeight);
  panel.FillRect(0, 0, kPanelWidth, kPanelHeight, display::kBlack);
  panel.Embed(amplitude, 0, 0);
  panel.Embed(wave, kWaveLeft, 0);
  panel.Embed(range, kWaveLeft, kRangeTop);
  std::ofstream file(out, std::ios::binary);
  file << panel.Document();
  if (!file) return Fail("cannot write " + out);
  return 0;
}

#ifdef SONALYT_CLI_QT_IMAGES
int Report(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::string out;
  if (!ParseOutputArgs(args, &positional, &out)) return Fail("report needs FILE R F -o OUT (see --help)");
  EnsureGuiApplication();
  ViewerSession session;
  display::SvgCanvas wave(kWaveWidth, kWaveHeight);
  std::string error;
  if (!LoadFrame(session, positional, wave, &error)) return Fail(error);
  QString reason;
  if (!sonalyt::report::WriteReportFile(session, sonalyt::report::SourceTextsFromSession(session),
                                        QString::fromStdString(out), &reason)) {
    return Fail("cannot write " + out + ": " + reason.toStdString());
  }
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kUsage;
    return 1;
  }
  const std::string command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  for (const auto& help : kCommandHelp) {
    if (help.name == command && WantsHelp(args)) {
      std::cout << help.text;
      return 0;
    }
  }
  if (command == "info") return Info(args);
  if (command == "record") return Record(args);
  if (command == "frame") return Frame(args);
  if (command == "render") return Render(args);
  if (command == "analyze") return sonalyt::cli::AnalyzeCommand(args);
  if (command == "bscan") return sonalyt::cli::BScanCommand(args);
  if (command == "indications") return sonalyt::cli::IndicationsCommand(args);
  if (command == "report" && sonalyt::cli::WantsIndicationReport(args)) {
    return sonalyt::cli::IndicationReportCommand(args);
  }
#ifdef SONALYT_CLI_QT_IMAGES
  if (command == "report") return Report(args);
#endif
  std::cerr << "sonalyt-cli: unknown command '" << command << "'\n\n" << kUsage;
  return 1;
}
