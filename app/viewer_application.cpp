#include "app/viewer_application.h"

#include <exception>

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QStringList>

#include "app/about_form.h"
#include "app/main_form.h"
#include "report/report_form.h"

namespace sonalyt::app {
namespace {

void ShowException(const QString& message) {
  QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
}

}  // namespace

int RunViewer(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sonalyt"));
  // Where the settings (recent files) are kept.
  QApplication::setOrganizationName(QStringLiteral("Sonalyt"));
  QApplication::setApplicationVersion(ProgramFileVersion());

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("连续记录离线分析软件"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("录像文件 (*.DAT)"),
                               QStringLiteral("[FILE]"));
  parser.process(application);
  const QStringList files = parser.positionalArguments();

  try {
    TMainForm MainForm;
    TAboutForm AboutForm(&MainForm);
    report::TReportForm ReportForm(
        MainForm.Session(), [&MainForm] { return MainForm.ReportTexts(); }, &MainForm);
    MainForm.SetAboutForm(&AboutForm);
    MainForm.SetReportForm(&ReportForm);
    MainForm.show();
    if (!files.isEmpty()) MainForm.OpenFile(files.constFirst());
    return QApplication::exec();
  } catch (const std::exception& e) {
    ShowException(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowException(QString());
  }
  return 1;
}

}  // namespace sonalyt::app
