// The interface languages on the offscreen platform: captions of the main
// window, the About window and the report window in Chinese and English,
// switched at once from the Language menu and kept in the settings; the
// probe type name; the Play caption in either state; the menus, status bar
// and windows around the classic controls; --lang values; a missing
// translation.

#include <memory>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/about_form.h"
#include "app/go_to_dialog.h"
#include "app/language.h"
#include "app/main_form.h"
#include "report/report_form.h"
#include "tests/app/gui_test_support.h"

using sonalyt::app::GoToDialog;
using sonalyt::app::Language;
using sonalyt::app::TAboutForm;
using sonalyt::app::TMainForm;
using sonalyt::app::Translations;
using sonalyt::app::testing::Child;

namespace {

const QString kDemo = QStringLiteral(SONALYT_DEMO_RECORDING);

// The main window with its About and report windows, as the application
// builds them, and the application's translation.
class Viewer {
 public:
  Viewer() : translations_({QStringLiteral(SONALYT_QM_DIR)}) {
    form_ = std::make_unique<TMainForm>();
    about_ = std::make_unique<TAboutForm>(form_.get());
    report_ = std::make_unique<sonalyt::report::TReportForm>(
        form_->Session(), [this] { return form_->ReportTexts(); }, form_.get());
    form_->SetAboutForm(about_.get());
    form_->SetReportForm(report_.get());
    form_->SetTranslations(&translations_);
    form_->show();
    if (!QTest::qWaitForWindowExposed(form_.get())) qFatal("window not exposed");
  }
  ~Viewer() {
    report_.reset();
    about_.reset();
    form_.reset();
  }

  TMainForm& Form() { return *form_; }
  Translations& Tr() { return translations_; }
  // Chooses a language in the Language menu; the windows take the change
  // once the posted language-change events are delivered.
  void Choose(const char* item) {
    Child<QAction>(*form_, item)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::processEvents();
  }

  // A sample of the captions: menus, buttons, group boxes, field labels,
  // the About and the report window.
  QStringList Captions() {
    QStringList c;
    c << Child<QMenu>(*form_, "FileItem")->title() << Child<QAction>(*form_, "OpenItem")->text()
      << Child<QAction>(*form_, "ExitItem")->text() << Child<QMenu>(*form_, "N1")->title()
      << Child<QAction>(*form_, "AboutItem")->text()
      << Child<QMenu>(*form_, "LanguageItem")->title()
      << Child<QPushButton>(*form_, "RzButtonPlay")->text()
      << Child<QPushButton>(*form_, "RzButtonUp")->text()
      << Child<QPushButton>(*form_, "RzButtonNext")->text()
      << Child<QPushButton>(*form_, "btnPrint")->text()
      << Child<QGroupBox>(*form_, "GainGroupBox")->title()
      << Child<QGroupBox>(*form_, "BaseGroupBox")->title()
      << Child<QLabel>(*form_, "BaseGainLabel")->text()
      << Child<QLabel>(*form_, "CompGainLabel")->text()
      << Child<QLabel>(*form_, "EchoKAngleLabel")->text() << about_->windowTitle()
      << Child<QLabel>(*about_, "Label1")->text() << Child<QPushButton>(*about_, "OKButton")->text()
      << Child<QMenu>(*report_, "FileMenu")->title()
      << Child<QAction>(*report_, "PrintButton")->text();
    return c;
  }

 private:
  Translations translations_;
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<TAboutForm> about_;
  std::unique_ptr<sonalyt::report::TReportForm> report_;
};

const QStringList kChineseCaptions = {
    QStringLiteral("文件(&F)"), QStringLiteral("打开(&O)"),   QStringLiteral("退出(&E)"),
    QStringLiteral("帮助"),     QStringLiteral("关于"),       QStringLiteral("语言(&L)"),
    QStringLiteral("播放"),     QStringLiteral("上一帧"),     QStringLiteral("下一帧"),
    QStringLiteral("打印"),     QStringLiteral("增益"),       QStringLiteral("基本信息"),
    QStringLiteral("基本增益："), QStringLiteral("表面补偿："), QStringLiteral("K值："),
    QStringLiteral("关于"),     QStringLiteral("连续记录离线分析软件"), QStringLiteral("确认"),
    QStringLiteral("菜单(&F)"), QStringLiteral("打印(&P)")};
const QStringList kEnglishCaptions = {
    QStringLiteral("&File"),      QStringLiteral("&Open..."),  QStringLiteral("E&xit"),
    QStringLiteral("Help"),       QStringLiteral("About"),     QStringLiteral("&Language"),
    QStringLiteral("Play"),       QStringLiteral("Previous"),  QStringLiteral("Next"),
    QStringLiteral("Print"),      QStringLiteral("Gain"),      QStringLiteral("Basic settings"),
    QStringLiteral("Base gain:"), QStringLiteral("Surf. comp.:"), QStringLiteral("K value:"),
    QStringLiteral("About"),      QStringLiteral("Continuous recording analysis"),
    QStringLiteral("OK"),         QStringLiteral("&File"),     QStringLiteral("&Print")};

}  // namespace

class TestLanguage : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QSettings().clear();
  }

  void switchesCaptionsAtOnceAndBack() {
    Viewer v;
    QCOMPARE(v.Captions(), kChineseCaptions);
    QVERIFY(Child<QAction>(v.Form(), "ChineseItem")->isChecked());

    v.Choose("EnglishItem");
    QCOMPARE(v.Tr().Current(), Language::English);
    QCOMPARE(v.Captions(), kEnglishCaptions);
    QVERIFY(Child<QAction>(v.Form(), "EnglishItem")->isChecked());
    // The languages are named in themselves in either language.
    QCOMPARE(Child<QAction>(v.Form(), "ChineseItem")->text(), QStringLiteral("中文"));

    v.Choose("ChineseItem");
    QCOMPARE(v.Captions(), kChineseCaptions);
  }

  void choiceIsKept() {
    QCOMPARE(sonalyt::app::StoredLanguage(), Language::Chinese);
    {
      Viewer v;
      v.Choose("EnglishItem");
    }
    QCOMPARE(sonalyt::app::StoredLanguage(), Language::English);
    QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    {
      Viewer v;
      v.Choose("ChineseItem");
    }
    QCOMPARE(sonalyt::app::StoredLanguage(), Language::Chinese);
  }

  void englishFieldLabelsStayInTheirGroupBoxes() {
    Viewer v;
    v.Choose("EnglishItem");
    for (QLineEdit* field : v.Form().findChildren<QLineEdit*>()) {
      auto* label = qobject_cast<QLabel*>(
          v.Form().findChild<QLabel*>(field->objectName() + QStringLiteral("Label")));
      if (label == nullptr) continue;
      QVERIFY2(label->geometry().left() >= 0, qPrintable(label->text()));
      QCOMPARE(label->geometry().right() + 1 + 3, field->geometry().left());
      QVERIFY2(label->geometry().width() >= label->sizeHint().width(), qPrintable(label->text()));
    }
    v.Choose("ChineseItem");
  }

  void probeTypeAndPlayCaptionFollowTheLanguage() {
    Viewer v;
    v.Form().OpenFile(kDemo);
    auto* probeType = Child<QLineEdit>(v.Form(), "ProbeType");
    auto* play = Child<QPushButton>(v.Form(), "RzButtonPlay");
    QCOMPARE(probeType->text(), QStringLiteral("斜探头"));

    v.Form().RzButtonPlayClick();
    QCOMPARE(play->text(), QStringLiteral("停止"));
    v.Choose("EnglishItem");
    QCOMPARE(play->text(), QStringLiteral("Stop"));
    QCOMPARE(probeType->text(), QStringLiteral("Angle"));
    v.Form().RzButtonPlayClick();
    QCOMPARE(play->text(), QStringLiteral("Play"));
    // Readouts keep their numbers and units; the report gets the translated type.
    QCOMPARE(v.Form().ReportTexts().ProbeType, QStringLiteral("Angle"));
    QCOMPARE(Child<QLineEdit>(v.Form(), "EchoRange")->text(), QStringLiteral("150.0 mm(s)"));

    v.Choose("ChineseItem");
    QCOMPARE(probeType->text(), QStringLiteral("斜探头"));
    QCOMPARE(play->text(), QStringLiteral("播放"));
  }

  // The texts made around the classic controls: the Playback, View and
  // Analysis menus, the recent files menu, the status bar, and the large
  // A-scan, indication list and Go to windows, open while the language
  // changes.
  void newerCaptionsSwitchAtOnce() {
    Viewer v;
    v.Form().OpenFile(kDemo);
    const int records = v.Form().AvailableRecords();
    QWidget* indications = Child<QWidget>(v.Form(), "IndicationWindow");
    QWidget* largeAScan = Child<QWidget>(v.Form(), "LargeAScanWindow");
    QAbstractItemModel* table = Child<QTableView>(*indications, "IndicationTable")->model();
    GoToDialog goTo(records, [](std::int32_t) { return 1; }, &v.Form());
    Child<QLineEdit>(goTo, "GoToField")->setText(QStringLiteral("x"));
    goTo.accept();
    const auto sample = [&] {
      return QStringList{Child<QMenu>(v.Form(), "PlaybackMenu")->title(),
                         Child<QAction>(v.Form(), "PlayItem")->text(),
                         Child<QAction>(v.Form(), "SlowerItem")->text(),
                         Child<QMenu>(v.Form(), "ViewMenu")->title(),
                         Child<QMenu>(v.Form(), "AnalysisItem")->title(),
                         Child<QAction>(v.Form(), "IndicationListItem")->text(),
                         Child<QAction>(v.Form(), "ClearRecentFiles")->text(),
                         Child<QLabel>(v.Form(), "StatusRecord")->text(),
                         Child<QLabel>(v.Form(), "StatusFrame")->text(),
                         largeAScan->windowTitle(),
                         indications->windowTitle(),
                         table->headerData(1, Qt::Horizontal).toString(),
                         goTo.windowTitle(),
                         Child<QLabel>(goTo, "GoToMessage")->text().left(6)};
    };
    const QStringList chinese = {
        QStringLiteral("播放(&P)"),   QStringLiteral("播放/停止"),
        QStringLiteral("减慢"),       QStringLiteral("视图(&V)"),
        QStringLiteral("分析(&A)"),   QStringLiteral("指示列表(&I)…"),
        QStringLiteral("清除列表(&C)"), QStringLiteral("记录 1 / %1").arg(records),
        QStringLiteral("帧 1"),       QStringLiteral("大A扫描"),
        QStringLiteral("指示列表"),   QStringLiteral("位置"),
        QStringLiteral("转到"),       QStringLiteral("请输入“记录")};
    const QStringList english = {
        QStringLiteral("&Playback"),    QStringLiteral("Play/Stop"),
        QStringLiteral("Slower"),       QStringLiteral("&View"),
        QStringLiteral("&Analysis"),    QStringLiteral("&Indications…"),
        QStringLiteral("&Clear List"),  QStringLiteral("Record 1 / %1").arg(records),
        QStringLiteral("Frame 1"),      QStringLiteral("Large A-scan"),
        QStringLiteral("Indications"),  QStringLiteral("Position"),
        QStringLiteral("Go To"),        QStringLiteral("Enter ")};
    QCOMPARE(sample(), chinese);

    v.Choose("EnglishItem");
    QCOMPARE(sample(), english);
    v.Choose("ChineseItem");
    QCOMPARE(sample(), chinese);
  }

  void startLanguage_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("lang");  // null: no --lang
    QTest::addColumn<Language>("expected");
    QTest::addColumn<bool>("warns");
    QTest::newRow("default") << QString() << QString() << Language::Chinese << false;
    QTest::newRow("kept English") << "en" << QString() << Language::English << false;
    QTest::newRow("kept unknown") << "fr" << QString() << Language::Chinese << false;
    QTest::newRow("--lang en") << QString() << "en" << Language::English << false;
    QTest::newRow("--lang zh over kept English") << "en" << "zh" << Language::Chinese << false;
    QTest::newRow("--lang unknown") << "en" << "de" << Language::Chinese << true;
    QTest::newRow("--lang empty") << QString() << "" << Language::Chinese << true;
  }
  void startLanguage() {
    QFETCH(QString, stored);
    QFETCH(QString, lang);
    QFETCH(Language, expected);
    QFETCH(bool, warns);
    if (!stored.isNull()) QSettings().setValue(QStringLiteral("language"), stored);
    QString warning;
    const Language language = sonalyt::app::StartLanguage(
        lang.isNull() ? std::nullopt : std::optional(lang), &warning);
    QCOMPARE(language, expected);
    QCOMPARE(!warning.isEmpty(), warns);
    QVERIFY(!warning.contains(u'\n'));
    if (warns) QVERIFY(warning.contains(QStringLiteral("\"%1\"").arg(lang)));
  }

  void missingTranslationStaysChinese() {
    QTemporaryDir empty;
    Translations translations({empty.path()});
    QVERIFY(!translations.Apply(Language::English));
    QCOMPARE(translations.Current(), Language::Chinese);
    QCOMPARE(QCoreApplication::translate("sonalyt::app::TMainForm", "播放"), QStringLiteral("播放"));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The settings go to a test location, never the user's.
  QStandardPaths::setTestModeEnabled(true);
  QApplication::setOrganizationName(QStringLiteral("SonalytTest"));
  QApplication::setApplicationName(QStringLiteral("test_language"));
  TestLanguage test;
  const int status = QTest::qExec(&test, argc, argv);
  QSettings().clear();
  return status;
}

#include "test_language.moc"
