#include "report/report_export.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <array>
#include <utility>

#include "report/pdf_document.h"

namespace sonalyt::report {
namespace {

// 96 dots per inch in dots per metre.
constexpr int kDotsPerMeterAt96 = 3780;

void SetError(QString* error, const QString& text) {
  if (error != nullptr) *error = text;
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The settings texts the page is filled from: every one but the channel number,
// which the page does not show.
constexpr std::array<std::pair<std::string display::SettingsTexts::*, QString ReportSourceTexts::*>,
                     14>
    kPageSettings = {{
        {&display::SettingsTexts::ProbeType, &ReportSourceTexts::ProbeType},
        {&display::SettingsTexts::CrystalSize, &ReportSourceTexts::CrystalSize},
        {&display::SettingsTexts::EchoKAngle, &ReportSourceTexts::EchoKAngle},
        {&display::SettingsTexts::ProbeAngle, &ReportSourceTexts::ProbeAngle},
        {&display::SettingsTexts::ProbeFront, &ReportSourceTexts::ProbeFront},
        {&display::SettingsTexts::ProbeFrequency, &ReportSourceTexts::ProbeFrequency},
        {&display::SettingsTexts::ProbeZero, &ReportSourceTexts::ProbeZero},
        {&display::SettingsTexts::EchoSpeed, &ReportSourceTexts::EchoSpeed},
        {&display::SettingsTexts::EchoDelay, &ReportSourceTexts::EchoDelay},
        {&display::SettingsTexts::EchoRange, &ReportSourceTexts::EchoRange},
        {&display::SettingsTexts::BaseGain, &ReportSourceTexts::BaseGain},
        {&display::SettingsTexts::ScanGain, &ReportSourceTexts::ScanGain},
        {&display::SettingsTexts::CompGain, &ReportSourceTexts::CompGain},
        {&display::SettingsTexts::lblReject, &ReportSourceTexts::lblReject},
    }};

bool HaveGuiApplication(QString* error) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) return true;
  SetError(error, QStringLiteral("drawing the report needs a QGuiApplication"));
  return false;
}

}  // namespace

ReportSourceTexts SourceTextsFromSession(const session::ViewerSession& session) {
  const display::SettingsTexts& s = session.Settings();
  const display::ReadoutTexts& r = session.Readouts();
  ReportSourceTexts t;
  for (const auto& [from, to] : kPageSettings) t.*to = FromUtf8(s.*from);
  t.LabelPara1 = FromUtf8(r.LabelPara1);
  t.LabelPara2 = FromUtf8(r.LabelPara2);
  t.LabelPara3 = FromUtf8(r.LabelPara3);
  t.LabelPara4 = FromUtf8(r.LabelPara4);
  return t;
}

bool WriteReportPdf(const ReportTexts& texts, const ReportPictures& pictures, const QString& path,
                    QString* error) {
  // The document title is the page's title, in the installed language.
  const QString title = QCoreApplication::translate(
      "ReportPage", QT_TRANSLATE_NOOP("ReportPage", "数字式超声波探伤仪探伤报告"));
  return WritePdfDocument(path, title,
                          [&](QPdfWriter&, QPainter& painter) {
                            PaintReportPage(painter, texts, pictures);
                            return true;
                          },
                          error);
}

bool WriteReportPng(const ReportTexts& texts, const ReportPictures& pictures, const QString& path,
                    QString* error) {
  if (!HaveGuiApplication(error)) return false;
  QImage page(kPageWidth, kPageHeight, QImage::Format_RGB32);
  page.setDotsPerMeterX(kDotsPerMeterAt96);
  page.setDotsPerMeterY(kDotsPerMeterAt96);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    PaintReportPage(painter, texts, pictures);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    SetError(error, file.errorString());
    return false;
  }
  QImageWriter writer(&file, "png");
  if (!writer.write(page)) {
    file.cancelWriting();
    SetError(error, writer.errorString());
    return false;
  }
  if (!file.commit()) {
    SetError(error, file.errorString());
    return false;
  }
  return true;
}

bool WriteReportFile(session::ViewerSession& session, const ReportSourceTexts& texts,
                     const QString& path, QString* error) {
  if (!HaveGuiApplication(error)) return false;
  const bool pdf = path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
  const bool png = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
  if (!pdf && !png) {
    SetError(error, QStringLiteral("unsupported report file type (use .pdf or .png): ") + path);
    return false;
  }
  const ReportTexts pageTexts = FillReportTexts(texts);
  const ReportPictures pictures = DrawReportPictures(session);
  return pdf ? WriteReportPdf(pageTexts, pictures, path, error)
             : WriteReportPng(pageTexts, pictures, path, error);
}

}  // namespace sonalyt::report
