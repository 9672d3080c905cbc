#include "app/main_form.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <string>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>

#include "app/about_form.h"
#include "app/indication_window.h"
#include "app/language.h"
#include "app/overview_panel.h"
#include "app/viewer_actions.h"
#include "qtdraw/gbk_text.h"
#include "qtdraw/qt_canvas.h"
#include "app/window_geometry.h"
#include "display/frame_image.h"
#include "display/picture_sizes.h"
#include "display/readouts.h"

namespace sonalyt::app {

using qtdraw::QtCanvas;

namespace {

constexpr QSize kOuterSize(800, 600);
constexpr int kFieldHeight = 24;
constexpr int kFieldLabelSpacing = 3;
constexpr int kNoteLineHeight = 11;
// The overview's place in the client area: below the note list (which ends
// at 434), margins as the controls'.
constexpr int kOverviewLeft = 7;
constexpr int kOverviewTop = 440;
constexpr int kOverviewBottomMargin = 4;

constexpr const char* kPlayCaption = QT_TRANSLATE_NOOP("sonalyt::app::TMainForm", "播放");
constexpr const char* kStopCaption = QT_TRANSLATE_NOOP("sonalyt::app::TMainForm", "停止");

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }


// Why path cannot be opened for reading, or an empty text when it can.
QString UnopenableReason(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return file.errorString();
  return {};
}

// A canvas that draws nothing: the frames a fast playback passes over.
class SkippedFrameCanvas : public display::Canvas {
 public:
  SkippedFrameCanvas(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void FillRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, display::Color) override {}
  void SetPen(display::Color, std::int32_t, display::PenStyle) override {}
  void MoveTo(display::Point) override {}
  void LineTo(display::Point) override {}
  void Polyline(std::span<const display::Point>) override {}
  void TextOut(display::Point, std::string_view, display::Color) override {}

 private:
  std::int32_t width_;
  std::int32_t height_;
};

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), captions_(TMainForm::staticMetaObject.className()) {
  BuildControls();
  ConnectHandlers();
  FormCreate();
  actions_ = new ViewerActions(*this);
  // The menu bar reads 文件, 播放, 视图, 分析, 语言, 帮助: the Analysis and
  // Language menus go after the menus the actions add.
  for (QMenu* menu : {AnalysisItem, LanguageItem}) {
    MainMenu->removeAction(menu->menuAction());
    MainMenu->insertMenu(N1->menuAction(), menu);
  }
}

TMainForm::~TMainForm() { PlaybackThread_->Stop(); }

void TMainForm::SetAboutForm(TAboutForm* form) { AboutForm_ = form; }

void TMainForm::SetReportForm(report::TReportForm* form) {
  showReport_ = [form] { form->ShowModal(); };
}

void TMainForm::SetReportPresenter(std::function<void()> showModal) {
  showReport_ = std::move(showModal);
}

// ---------------------------------------------------------------------------
// Controls

void TMainForm::BuildControls() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Sonalyt"));
  setFont(FormFont());
  resize(kOuterSize);

  MainMenu = menuBar();
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  FileItem = captions_.Set(MainMenu->addMenu(QString()), QT_TR_NOOP("文件(&F)"));
  FileItem->setObjectName(QStringLiteral("FileItem"));
  OpenItem = captions_.Set(FileItem->addAction(QString()), QT_TR_NOOP("打开(&O)"));
  OpenItem->setObjectName(QStringLiteral("OpenItem"));
  ExitItem = captions_.Set(FileItem->addAction(QString()), QT_TR_NOOP("退出(&E)"));
  ExitItem->setObjectName(QStringLiteral("ExitItem"));
  BuildLanguageMenu();
  N1 = captions_.Set(MainMenu->addMenu(QString()), QT_TR_NOOP("帮助"));
  N1->setObjectName(QStringLiteral("N1"));
  AboutItem = captions_.Set(N1->addAction(QString()), QT_TR_NOOP("关于"));
  AboutItem->setObjectName(QStringLiteral("AboutItem"));

  // One entry described "*.DAT"; the lower-case pattern lets it list the
  // same files on case-sensitive file systems.
  FileOpenDialog = captions_.Set(new QFileDialog(this), QT_TR_NOOP("打开"));
  FileOpenDialog->setObjectName(QStringLiteral("FileOpenDialog"));
  FileOpenDialog->setFileMode(QFileDialog::ExistingFile);
  FileOpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
  FileOpenDialog->setOption(QFileDialog::HideNameFilterDetails);
  FileOpenDialog->setNameFilter(QStringLiteral("*.DAT (*.DAT *.dat)"));

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(client);

  auto label = [client](const char* name, int left, int top, int width, int height) {
    auto* l = new QLabel(client);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(left, top, width, height);
    return l;
  };
  LabelPara1 = label("LabelPara1", 27, 34, 75, 11);
  LabelPara2 = label("LabelPara2", 108, 34, 49, 11);
  LabelPara3 = label("LabelPara3", 190, 34, 55, 11);
  LabelPara4 = label("LabelPara4", 257, 34, 116, 11);
  lblReject = label("lblReject", 514, 20, 54, 11);
  lblReject->hide();

  WavePanel = new QWidget(client);
  WavePanel->setObjectName(QStringLiteral("WavePanel"));
  WavePanel->setGeometry(7, 47, display::kPicturePanel.Width, display::kPicturePanel.Height);
  auto picture = [this](const char* name, int left, int top, int width, int height) {
    auto* p = new QLabel(WavePanel);
    p->setObjectName(QString::fromLatin1(name));
    p->setGeometry(left, top, width, height);
    p->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return p;
  };
  using display::kAmplitudeScalePicture, display::kWavePicture, display::kRangeScalePicture;
  EchoWaveImage = picture("EchoWaveImage", 0, 0, kAmplitudeScalePicture.Width,
                          kAmplitudeScalePicture.Height);
  WaveImage = picture("WaveImage", display::kWavePictureLeft, 0, kWavePicture.Width,
                      kWavePicture.Height);
  EchoRangeImage = picture("EchoRangeImage", display::kWavePictureLeft,
                           display::kRangeScalePictureTop, kRangeScalePicture.Width,
                           kRangeScalePicture.Height);

  ProcessTrackBar = new QSlider(Qt::Horizontal, client);
  ProcessTrackBar->setObjectName(QStringLiteral("ProcessTrackBar"));
  ProcessTrackBar->setGeometry(14, 332, 305, 28);
  ProcessTrackBar->setRange(0, 10);
  ProcessTrackBar->setValue(0);
  ProcessTrackBar->setSingleStep(1);
  ProcessTrackBar->setPageStep(10);
  ProcessTrackBar->setTickPosition(QSlider::TicksAbove);
  // Ticks at the two ends only. The style steps from tick to tick in int
  // and never ends once a step passes INT_MAX, so a range that ticks at both
  // ends cannot take (a damaged RecordCount above 2^30) gets no ticks.
  ProcessTrackBar->setTickInterval(10);
  connect(ProcessTrackBar, &QSlider::rangeChanged, ProcessTrackBar, [this](int min, int max) {
    const std::int64_t range = std::int64_t{max} - min;
    const bool ticksFit = std::int64_t{max} + range <= std::numeric_limits<int>::max();
    ProcessTrackBar->setTickPosition(ticksFit ? QSlider::TicksAbove : QSlider::NoTicks);
    if (ticksFit) ProcessTrackBar->setTickInterval(static_cast<int>(std::max<std::int64_t>(1, range)));
  });

  auto button = [this, client](const char* name, const char* caption, int left, int top,
                               int width) {
    auto* b = captions_.Set(new QPushButton(client), caption);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, width, 21);
    b->setAutoDefault(false);
    return b;
  };
  RzButtonPlay = button("RzButtonPlay", kPlayCaption, 27, 372, 64);
  RzButtonUp = button("RzButtonUp", QT_TR_NOOP("上一帧"), 102, 372, 63);
  RzButtonNext = button("RzButtonNext", QT_TR_NOOP("下一帧"), 176, 372, 63);
  btnPrint = button("btnPrint", QT_TR_NOOP("打印"), 250, 372, 62);

  auto group = [this, client](const char* name, const char* caption, int left, int top,
                              int width, int height) {
    auto* g = captions_.Set(new QGroupBox(client), caption);
    g->setObjectName(QString::fromLatin1(name));
    g->setGeometry(left, top, width, height);
    g->setFont(BoldFont(13));
    return g;
  };
  GainGroupBox = group("GainGroupBox", QT_TR_NOOP("增益"), 345, 61, 150, 109);
  ProbeGroupBox = group("ProbeGroupBox", QT_TR_NOOP("探头信息"), 501, 61, 156, 109);
  BaseGroupBox = group("BaseGroupBox", QT_TR_NOOP("基本信息"), 346, 172, 312, 140);

  BaseGain = AddSettingsField(GainGroupBox, "BaseGain", QT_TR_NOOP("基本增益："), 74, 20, 62);
  ScanGain = AddSettingsField(GainGroupBox, "ScanGain", QT_TR_NOOP("扫查增益："), 74, 47, 62);
  CompGain = AddSettingsField(GainGroupBox, "CompGain", QT_TR_NOOP("表面补偿："), 74, 74, 62);
  ProbeType = AddSettingsField(ProbeGroupBox, "ProbeType", QT_TR_NOOP("探头类型："), 74, 20, 62);
  ProbeFrequency =
      AddSettingsField(ProbeGroupBox, "ProbeFrequency", QT_TR_NOOP("探头频率："), 74, 47, 62);
  CrystalSize =
      AddSettingsField(ProbeGroupBox, "CrystalSize", QT_TR_NOOP("晶片尺寸："), 74, 74, 62);
  EchoRange = AddSettingsField(BaseGroupBox, "EchoRange", QT_TR_NOOP("声程："), 41, 20, 95);
  EchoDelay = AddSettingsField(BaseGroupBox, "EchoDelay", QT_TR_NOOP("延时："), 196, 20, 96);
  ProbeFront = AddSettingsField(BaseGroupBox, "ProbeFront", QT_TR_NOOP("前沿："), 41, 47, 95);
  EchoSpeed = AddSettingsField(BaseGroupBox, "EchoSpeed", QT_TR_NOOP("声速："), 196, 47, 96);
  ProbeZero = AddSettingsField(BaseGroupBox, "ProbeZero", QT_TR_NOOP("零点："), 41, 74, 95);
  ProbeAngle = AddSettingsField(BaseGroupBox, "ProbeAngle", QT_TR_NOOP("角度："), 196, 74, 96);
  ChannelNo = AddSettingsField(BaseGroupBox, "ChannelNo", QT_TR_NOOP("通道："), 41, 103, 95);
  EchoKAngle = AddSettingsField(BaseGroupBox, "EchoKAngle", QT_TR_NOOP("K值："), 196, 102, 96);

  NoteListBox = new QListWidget(client);
  NoteListBox->setObjectName(QStringLiteral("NoteListBox"));
  NoteListBox->setGeometry(345, 325, 312, 109);
  NoteListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  NoteListBox->setUniformItemSizes(true);

  // The free band below the controls, the full width; it grows with the window.
  Overview = new OverviewPanel(client);
  Overview->FollowParent(kOverviewLeft, kOverviewTop, kOverviewLeft, kOverviewBottomMargin);
  BuildAnalysisMenu();

  // Keyboard order; the panel and the group boxes stand for the controls
  // they hold.
  const QList<QWidget*> order = {
      WavePanel,     RzButtonPlay, RzButtonUp, RzButtonNext, BaseGain,   ScanGain,
      CompGain,      ProbeType,    ProbeFrequency, CrystalSize, EchoRange, EchoDelay,
      ProbeFront,    EchoSpeed,    ProbeZero,  ProbeAngle,   ChannelNo,  EchoKAngle,
      ProcessTrackBar, NoteListBox, btnPrint};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

QLineEdit* TMainForm::AddSettingsField(QGroupBox* box, const char* name, const char* caption,
                                       int left, int top, int width) {
  auto* field = new QLineEdit(box);
  field->setObjectName(QString::fromLatin1(name));
  field->setReadOnly(true);
  field->setFont(FormFont());
  field->setGeometry(left, top, width, kFieldHeight);

  auto* label = new QLabel(box);
  label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
  label->setFont(BoldFont(9));
  label->setBuddy(field);
  captions_.Set(label, caption);
  fieldLabels_.push_back(label);
  PlaceFieldLabel(*label);
  return field;
}

// The label stands left of its field, 3 pixels away, as wide as its text.
void TMainForm::PlaceFieldLabel(QLabel& label) {
  const QRect field = label.buddy()->geometry();
  const QSize size = label.sizeHint();
  label.setGeometry(field.left() - kFieldLabelSpacing - size.width(),
                    field.top() + (kFieldHeight - size.height()) / 2, size.width(),
                    size.height());
}

void TMainForm::ConnectHandlers() {
  auto on = [this](void (TMainForm::*handler)()) { return [this, handler] { RunHandler(handler); }; };
  connect(OpenItem, &QAction::triggered, this, on(&TMainForm::OpenItemClick));
  connect(ExitItem, &QAction::triggered, this, on(&TMainForm::ExitItemClick));
  connect(AboutItem, &QAction::triggered, this, on(&TMainForm::AboutItemClick));
  connect(btnPrint, &QPushButton::clicked, this, on(&TMainForm::btnPrintClick));
  connect(RzButtonPlay, &QPushButton::clicked, this, on(&TMainForm::RzButtonPlayClick));
  connect(RzButtonUp, &QPushButton::clicked, this, on(&TMainForm::RzButtonUpClick));
  connect(RzButtonNext, &QPushButton::clicked, this, on(&TMainForm::RzButtonNextClick));

  connect(ProcessTrackBar, &QSlider::valueChanged, this, [this] { TrackBarValueChanged(); });
  connect(ProcessTrackBar, &QSlider::actionTriggered, this, &TMainForm::TrackBarActionTriggered);
  connect(ProcessTrackBar, &QSlider::sliderPressed, this, [this] { trackBarMoved_ = false; });
  connect(ProcessTrackBar, &QSlider::sliderReleased, this, &TMainForm::TrackBarActionEnded,
          Qt::QueuedConnection);

  connect(NoteListBox, &QListWidget::currentRowChanged, this, &TMainForm::NoteListBoxRowChanged);
  connect(Overview, &OverviewPanel::FrameJumpRequested, this,
          [this](std::int32_t record, std::int32_t frame) {
            overviewTargetRecord_ = record;
            overviewTargetFrame_ = frame;
            RunHandler(&TMainForm::OverviewJump);
          });
  connect(NoteListBox, &QListWidget::itemDoubleClicked, this, on(&TMainForm::NoteListBoxDblClick));
}

void TMainForm::RunHandler(void (TMainForm::*handler)()) {
  try {
    (this->*handler)();
  } catch (const std::exception& e) {
    QMessageBox::critical(this, QCoreApplication::applicationName(), QString::fromUtf8(e.what()));
  } catch (...) {
    QMessageBox::critical(this, QCoreApplication::applicationName(), QString());
  }
}

// ---------------------------------------------------------------------------
// Window events

void TMainForm::FormCreate() {
  NoteListBox->clear();
  PlaybackThread_ = new TDrawWaveThread(*this, this);
  RzButtonPlay->setEnabled(false);
  RzButtonUp->setEnabled(false);
  RzButtonNext->setEnabled(false);
  btnPrint->setEnabled(false);
  TrackBarArmed_ = true;
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_ && !event->spontaneous()) {
    shown_ = true;
    RunHandler(&TMainForm::FormShow);
  }
}

void TMainForm::FormShow() {
  resize(ClientSizeForOuterSize(*this, kOuterSize));
  if (const QScreen* s = screen()) {
    const QRect area = s->geometry();
    const QSize outer = frameGeometry().size();
    const int left = outer.width() < area.width() ? (area.width() - outer.width()) / 2 : 0;
    const int top = outer.height() < area.height() ? (area.height() - outer.height()) / 2 : 0;
    move(area.left() + left, area.top() + top);
  }
  ShowEmptyPictures();
  ShowReadouts(display::InitialReadouts());
}

void TMainForm::closeEvent(QCloseEvent* event) {
  RunHandler(&TMainForm::FormClose);
  event->accept();
}

void TMainForm::FormClose() {
  // The index and the notes are released with the session; the thread is
  // stopped and joined when the window is destroyed.
  if (Playing()) PlaybackThread_->Suspend();
  Overview->CancelPass();
}

// ---------------------------------------------------------------------------
// Menu and Print

void TMainForm::OpenItemClick() {
  PausePlayback();
  if (FileOpenDialog->exec() == QDialog::Accepted && !FileOpenDialog->selectedFiles().isEmpty()) {
    OpenFile(FileOpenDialog->selectedFiles().constFirst());
  } else {
    AdvanceAfterOpen();
  }
}

void TMainForm::OpenFile(const QString& path) {
  PausePlayback();
  const QString shownName = QDir::toNativeSeparators(path);
  auto refuse = [&](const QString& reason) {
    QMessageBox::warning(this, windowTitle(),
                         tr("无法打开文件“%1”：\n%2").arg(shownName, reason));
  };
  if (const QString reason = UnopenableReason(path); !reason.isEmpty()) {
    refuse(reason);
    return;
  }

  std::string error;
  recording::OpenFailure failure = recording::OpenFailure::None;
  const bool opened =
      session_.OpenRecording(QFile::encodeName(path).toStdString(), &error, &failure);
  if (failure == recording::OpenFailure::TooShort) {
    refuse(tr("文件太短，没有记录数，不是连续记录文件。"));
    return;
  }
  FileOpenDialog->setDirectory(QFileInfo(path).absolutePath());
  if (opened) {
    filePath_ = path;
    shownRecord_ = -1;
    shownPosition_ = {};
  }
  PlaybackThread_->PlayedToEnd = false;
  {
    QScopedValueRollback guard(programSelection_, true);
    NoteListBox->clear();
    for (const std::string& note : session_.File().NoteTexts()) {
      auto* item = new QListWidgetItem(qtdraw::GbkToText(note), NoteListBox);
      item->setSizeHint(QSize(0, kNoteLineHeight));
    }
  }
  if (!opened) {
    // The file vanished or changed between the check and the open.
    refuse(QString::fromLocal8Bit(error.c_str()));
  }

  const std::int64_t maximum = std::int64_t{session_.RecordCount()} - 1;
  if (maximum >= ProcessTrackBar->minimum()) SetTrackBarMaximum(static_cast<int>(maximum));
  SetTrackBarPosition(0);

  RzButtonPlay->setEnabled(true);
  SetPlayCaption(kPlayCaption);
  RzButtonUp->setEnabled(false);
  RzButtonNext->setEnabled(true);
  btnPrint->setEnabled(false);

  if (session_.RecordCount() == 0) {
    // Nothing of the new recording will be drawn: do not leave the previous
    // recording's frame on screen.
    QtCanvas wave(WaveImage->width(), WaveImage->height());
    display::DrawEmptyFrame(wave);
    WaveImage->setPixmap(QPixmap::fromImage(wave.TakeImage()));
    ShowReadouts(display::InitialReadouts());
  }
  AdvanceAfterOpen();
  if (opened) {
    StartOverview(path);
    emit RecordingOpened(path);
    emit FrameShown();
  }
}

void TMainForm::StartOverview(const QString& path) {
  QStringList notes;
  for (int i = 0; i < NoteListBox->count(); ++i) notes << NoteListBox->item(i)->text();
  Overview->StartPass(QFile::encodeName(path).toStdString(), analysis::LayoutOf(session_.File()),
                      session_.FramesInRecord(), notes);
  Indications->SetRecording(path, session_.File(), notes);
  Indications->SetFrameOnScreen(shownRecord_, session_.LastDrawnFrame());
  if (session_.LastDrawnFrame() >= 0) {
    Overview->SetCursorFrame(shownRecord_, session_.LastDrawnFrame());
  }
}

void TMainForm::AdvanceAfterOpen() {
  if (session_.RecordCount() == 0) return;
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  ApplyMove(session_.AdvanceAfterOpen(wave), wave);
  btnPrint->setEnabled(true);
}

void TMainForm::ExitItemClick() {
  if (Playing()) PlaybackThread_->Suspend();
  close();
}

void TMainForm::AboutItemClick() {
  if (AboutForm_ != nullptr) AboutForm_->ShowModal();
}

void TMainForm::btnPrintClick() {
  PausePlayback();
  if (showReport_) showReport_();
}

report::ReportSourceTexts TMainForm::ReportTexts() const {
  report::ReportSourceTexts t;
  t.ProbeType = ProbeType->text();
  t.CrystalSize = CrystalSize->text();
  t.EchoKAngle = EchoKAngle->text();
  t.ProbeAngle = ProbeAngle->text();
  t.ProbeFront = ProbeFront->text();
  t.ProbeFrequency = ProbeFrequency->text();
  t.ProbeZero = ProbeZero->text();
  t.EchoSpeed = EchoSpeed->text();
  t.EchoDelay = EchoDelay->text();
  t.EchoRange = EchoRange->text();
  t.BaseGain = BaseGain->text();
  t.ScanGain = ScanGain->text();
  t.CompGain = CompGain->text();
  t.lblReject = lblReject->text();
  t.LabelPara1 = LabelPara1->text();
  t.LabelPara2 = LabelPara2->text();
  t.LabelPara3 = LabelPara3->text();
  t.LabelPara4 = LabelPara4->text();
  return t;
}

// ---------------------------------------------------------------------------
// Navigation and playback

void TMainForm::PausePlayback() {
  if (Playing()) {
    PlaybackThread_->Suspend();
    SetPlayCaption(kPlayCaption);
  }
}

void TMainForm::SetPlayCaption(const char* caption) { captions_.Set(RzButtonPlay, caption); }

void TMainForm::RzButtonPlayClick() {
  if (!session_.FileOpened()) return;
  if (PlaybackThread_->PlayedToEnd) {
    PlaybackThread_->PlayedToEnd = false;
    session_.Rewind();
    ShowSettings();
  }
  if (PlaybackThread_->Suspended()) {
    PlaybackThread_->Resume();
    SetPlayCaption(kStopCaption);
    btnPrint->setEnabled(false);
  } else {
    PlaybackThread_->Suspend();
    SetPlayCaption(kPlayCaption);
    btnPrint->setEnabled(true);
  }
}

void TMainForm::RzButtonUpClick() {
  if (!session_.FileOpened()) return;
  PausePlayback();
  btnPrint->setEnabled(true);
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  const session::MoveOutcome outcome = session_.PreviousFrame(wave);
  ApplyMove(outcome, wave);
  if (outcome.Moved) RzButtonNext->setEnabled(true);
}

void TMainForm::RzButtonNextClick() {
  if (!session_.FileOpened()) return;
  PausePlayback();
  btnPrint->setEnabled(true);
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  const session::MoveOutcome outcome = session_.NextFrame(wave);
  ApplyMove(outcome, wave);
  if (outcome.Moved) RzButtonUp->setEnabled(true);
}

void TMainForm::ProcessTrackBarChange() {
  if (!session_.FileOpened()) return;
  if (!TrackBarArmed_) {
    RzButtonUp->setEnabled(true);
    RzButtonNext->setEnabled(true);
    TrackBarArmed_ = true;
    return;
  }
  std::int32_t record =
      session::RecordAtTrackBarPosition(ProcessTrackBar->value(), ProcessTrackBar->minimum(),
                                        ProcessTrackBar->maximum(), session_.RecordCount());
  if (record <= 0) {
    record = 0;
    RzButtonUp->setEnabled(false);
  }
  if (record > 0 && Playing()) {
    RzButtonUp->setEnabled(true);
    RzButtonNext->setEnabled(true);
  }
  if (record >= session_.RecordCount()) {
    // The far end stands for the end of the recording: back to record 0.
    SetPlayCaption(kPlayCaption);
    RzButtonNext->setEnabled(false);
    RzButtonUp->setEnabled(false);
    record = 0;
    if (Playing()) {
      PlaybackThread_->Suspend();
      btnPrint->setEnabled(true);
    }
  }
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  ApplyMove(session_.JumpTo(record, 0, wave), wave);
}

void TMainForm::OverviewJump() { JumpTo(overviewTargetRecord_, overviewTargetFrame_); }

void TMainForm::SyncTrackBar() { SyncTrackBarTo(session_.CurrentRecord); }

void TMainForm::SyncTrackBarTo(std::int32_t record) {
  TrackBarArmed_ = false;
  SetTrackBarPosition(ClampToInt(session::TrackBarPositionOfRecord(
      record, ProcessTrackBar->maximum(), session_.RecordCount())));
}

void TMainForm::SetTrackBarMaximum(int maximum) {
  QScopedValueRollback guard(programMove_, true);
  ProcessTrackBar->setMaximum(maximum);
}

void TMainForm::SetTrackBarPosition(int position) {
  QScopedValueRollback guard(programMove_, true);
  ProcessTrackBar->setValue(position);
}

void TMainForm::TrackBarValueChanged() {
  if (!programMove_) {
    trackBarMoved_ = true;
    RunHandler(&TMainForm::ProcessTrackBarChange);
    return;
  }
  // A move made by the program loads nothing; unarmed, it only enables
  // previous and next and re-arms, as after every record change.
  if (session_.FileOpened() && !TrackBarArmed_) {
    RzButtonUp->setEnabled(true);
    RzButtonNext->setEnabled(true);
    TrackBarArmed_ = true;
  }
}

void TMainForm::TrackBarActionTriggered(int /*action*/) {
  // Every key press, page click or wheel turn is an action of its own; a
  // drag ends when the thumb is released. The value changes after this
  // signal, so the end of the action is handled once the event is done.
  if (!ProcessTrackBar->isSliderDown()) {
    trackBarMoved_ = false;
    QMetaObject::invokeMethod(this, &TMainForm::TrackBarActionEnded, Qt::QueuedConnection);
  }
}

// The end of a user action on the track bar. An action raises a change
// notification for its move, even one that leaves the thumb in place, and
// one more when it ends; whichever of them finds the bar armed loads, so
// the action ends with the record at the final position loaded.
void TMainForm::TrackBarActionEnded() {
  if (!trackBarMoved_) RunHandler(&TMainForm::ProcessTrackBarChange);
  trackBarMoved_ = false;
  RunHandler(&TMainForm::ProcessTrackBarChange);
}

void TMainForm::NoteListBoxRowChanged(int /*row*/) {
  if (!programSelection_) RunHandler(&TMainForm::NoteListBoxClick);
}

void TMainForm::NoteListBoxClick() {
  if (!session_.FileOpened()) return;
  const int row = NoteListBox->currentRow();
  const auto& noteRecords = session_.File().NoteRecords();
  if (row < 0 || row >= static_cast<int>(noteRecords.size())) return;
  SetPlayCaption(kStopCaption);
  if (PlaybackThread_->Suspended()) {
    PlaybackThread_->Resume();
    SetPlayCaption(kStopCaption);
    btnPrint->setEnabled(false);
  }
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  ApplyMove(session_.JumpToNote(row, wave), wave);
}

// The click before a double click has done the work.
void TMainForm::NoteListBoxDblClick() {}

void TMainForm::PlaybackStep() {
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  const session::StepOutcome outcome = session_.PlaybackStep(wave);
  // The step has already advanced the record cursor past the record it loaded.
  if (outcome.Loaded) ApplyLoadOutcome(*outcome.Loaded, session_.CurrentRecord - 1);
  if (outcome.Drew) ShowFrame(wave.TakeImage());
}

bool TMainForm::PlaybackCanStep() { return session_.CurrentRecord < session_.RecordCount(); }

void TMainForm::RunPlaybackStep() { RunHandler(&TMainForm::PlaybackTurn); }

std::int32_t TMainForm::PlaybackInterval() { return CurrentPace().IntervalMs; }

void TMainForm::SetPlaybackSpeed(SpeedQuarters speed) { speed_ = speed; }

PlaybackPace TMainForm::CurrentPace() const {
  // A turn that took long (a large picture on a slow machine) makes the
  // next ones pass over more frames rather than fall behind.
  return PaceFor(session_.PlayInterval(), speed_, std::max(kMinTurnMilliseconds, 2 * lastTurnMs_));
}

void TMainForm::PlaybackTurn() {
  QElapsedTimer clock;
  clock.start();
  const std::int32_t steps = CurrentPace().StepsPerTurn;
  if (steps <= 1) {
    PlaybackStep();
  } else {
    // Frames passed over are drawn nowhere. The frame drawn last is shown
    // at the end of the turn, and before a step loads another record into
    // the buffer it is drawn from.
    bool pending = false;
    auto showPending = [this, &pending] {
      if (!pending) return;
      pending = false;
      QtCanvas wave(WaveImage->width(), WaveImage->height());
      if (session_.DrawFrame(session_.LastDrawnFrame(), wave)) ShowFrame(wave.TakeImage());
    };
    for (std::int32_t i = 0; i < steps && PlaybackCanStep(); ++i) {
      if (session_.CurrentFrame == 0) showPending();
      SkippedFrameCanvas wave(WaveImage->width(), WaveImage->height());
      const session::StepOutcome outcome = session_.PlaybackStep(wave);
      if (outcome.Loaded) ApplyLoadOutcome(*outcome.Loaded, session_.CurrentRecord - 1);
      pending = pending || outcome.Drew;
    }
    showPending();
  }
  lastTurnMs_ = static_cast<std::int32_t>(std::min<qint64>(clock.elapsed(), 1000));
}

std::int32_t TMainForm::AvailableRecords() const {
  const auto indexed = static_cast<std::int64_t>(session_.File().RecordIndex().size());
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(std::min<std::int64_t>(indexed, session_.RecordCount()), 0,
                               std::numeric_limits<std::int32_t>::max()));
}

void TMainForm::JumpTo(std::int32_t record, std::int32_t frame) {
  if (!session_.FileOpened() || record < 0 || record >= AvailableRecords() || frame < 0) return;
  const bool playing = Playing();
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  // Playing, the cursors are left as a playback step leaves them after
  // drawing that frame, so playback goes on with the frame after it.
  ApplyMove(session_.JumpTo(record, frame, wave,
                            playing ? session::JumpCursor::PlayOn : session::JumpCursor::OnFrame),
            wave);
  if (!playing) {
    // Paused on the frame: Play plays on from here rather than rewinding.
    PlaybackThread_->PlayedToEnd = false;
    SetPlayCaption(kPlayCaption);
    btnPrint->setEnabled(true);
  }
  // What the track bar's own notification does after a load, also when the
  // thumb stayed where it was, so that the user's next track-bar action is
  // not taken for that notification.
  RzButtonUp->setEnabled(record > 0 || frame > 0);
  RzButtonNext->setEnabled(true);
  TrackBarArmed_ = true;
}

// ---------------------------------------------------------------------------
// Loads and pictures

void TMainForm::ApplyLoadOutcome(const session::LoadOutcome& outcome, std::int32_t record) {
  shownRecord_ = record;
  if (outcome.ParametersApplied) ShowSettings();
  SyncTrackBarTo(record);
  SelectNoteLine(outcome.NoteLine);
}

void TMainForm::ApplyMove(const session::MoveOutcome& outcome, QtCanvas& wave) {
  if (outcome.GoverningApplied) ShowSettings();
  if (outcome.Loaded) ApplyLoadOutcome(*outcome.Loaded, outcome.LoadedRecord);
  if (outcome.Drew) ShowFrame(wave.TakeImage());
}

void TMainForm::ShowFrame(QImage image) {
  WaveImage->setPixmap(QPixmap::fromImage(std::move(image)));
  ShowReadouts(session_.Readouts());
  Overview->SetCursorFrame(shownRecord_, session_.LastDrawnFrame());
  Indications->SetFrameOnScreen(shownRecord_, session_.LastDrawnFrame());
  shownPosition_ = {shownRecord_, session_.LastDrawnFrame()};
  emit FrameShown();
}

void TMainForm::ShowReadouts(const display::ReadoutTexts& r) {
  LabelPara1->setText(FromUtf8(r.LabelPara1));
  LabelPara2->setText(FromUtf8(r.LabelPara2));
  LabelPara3->setText(FromUtf8(r.LabelPara3));
  LabelPara4->setText(FromUtf8(r.LabelPara4));
}

void TMainForm::ShowSettings() {
  const display::SettingsTexts& s = session_.Settings();
  // Each text goes to the widget of its name: a read-only field shown from its
  // start, or the hidden reject-level label.
  for (const auto& [name, text] : display::kSettingsFields) {
    const QString value = FromUtf8(s.*text);
    const QString widgetName = QString::fromLatin1(name);
    if (auto* field = findChild<QLineEdit*>(widgetName)) {
      field->setText(field == ProbeType ? TranslatedProbeType(value) : value);
      field->setCursorPosition(0);
    } else if (auto* label = findChild<QLabel*>(widgetName)) {
      label->setText(value);
    }
  }

  QtCanvas range(EchoRangeImage->width(), EchoRangeImage->height());
  session_.DrawRangeScale(range);
  EchoRangeImage->setPixmap(QPixmap::fromImage(range.TakeImage()));
}

void TMainForm::ShowEmptyPictures() {
  QtCanvas wave(WaveImage->width(), WaveImage->height());
  QtCanvas amplitude(EchoWaveImage->width(), EchoWaveImage->height());
  QtCanvas range(EchoRangeImage->width(), EchoRangeImage->height());
  session::ViewerSession::DrawEmptyPictures(wave, amplitude, range);
  WaveImage->setPixmap(QPixmap::fromImage(wave.TakeImage()));
  EchoWaveImage->setPixmap(QPixmap::fromImage(amplitude.TakeImage()));
  EchoRangeImage->setPixmap(QPixmap::fromImage(range.TakeImage()));
}

void TMainForm::SelectNoteLine(std::int32_t line) {
  if (line < 0 || line >= NoteListBox->count() || line == NoteListBox->currentRow()) return;
  QScopedValueRollback guard(programSelection_, true);
  NoteListBox->setCurrentRow(line);
}

// ---------------------------------------------------------------------------
// Analysis: the indication list

void TMainForm::BuildAnalysisMenu() {
  AnalysisItem = captions_.Set(new QMenu(MainMenu), QT_TR_NOOP("分析(&A)"));
  AnalysisItem->setObjectName(QStringLiteral("AnalysisItem"));
  MainMenu->insertMenu(N1->menuAction(), AnalysisItem);
  IndicationListItem = captions_.Set(AnalysisItem->addAction(QString()), QT_TR_NOOP("指示列表(&I)…"));
  IndicationListItem->setObjectName(QStringLiteral("IndicationListItem"));
  IndicationListItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  NextIndicationItem = captions_.Set(AnalysisItem->addAction(QString()), QT_TR_NOOP("下一个指示(&N)"));
  NextIndicationItem->setObjectName(QStringLiteral("NextIndicationItem"));
  NextIndicationItem->setShortcut(QKeySequence(Qt::Key_N));
  PreviousIndicationItem =
      captions_.Set(AnalysisItem->addAction(QString()), QT_TR_NOOP("上一个指示(&P)"));
  PreviousIndicationItem->setObjectName(QStringLiteral("PreviousIndicationItem"));
  PreviousIndicationItem->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_N));

  Indications = new IndicationWindow(this);
  // N and Shift+N work in the list window too.
  Indications->addAction(NextIndicationItem);
  Indications->addAction(PreviousIndicationItem);
  connect(IndicationListItem, &QAction::triggered, this,
          [this] { RunHandler(&TMainForm::IndicationListItemClick); });
  connect(NextIndicationItem, &QAction::triggered, Indications, &IndicationWindow::StepNext);
  connect(PreviousIndicationItem, &QAction::triggered, Indications,
          &IndicationWindow::StepPrevious);
  // The list is built from the overview's pass, and its jumps are the overview's.
  connect(Overview, &OverviewPanel::PassFinished, Indications,
          [this] { Indications->SetResults(Overview->Results()); });
  connect(Indications, &IndicationWindow::FrameJumpRequested, this,
          [this](std::int32_t record, std::int32_t frame) {
            overviewTargetRecord_ = record;
            overviewTargetFrame_ = frame;
            RunHandler(&TMainForm::OverviewJump);
          });
  connect(Indications, &IndicationWindow::IndicationsChanged, Overview,
          [this](const std::vector<analysis::RunSpan>& runs) {
            std::vector<analysis::FrameSpan> spans;
            spans.reserve(runs.size());
            for (const analysis::RunSpan& run : runs) {
              spans.push_back({{run.FirstRecord, run.FirstFrame}, {run.LastRecord, run.LastFrame}});
            }
            Overview->SetIndicationSpans(std::move(spans));
          });
  connect(Indications, &IndicationWindow::SelectionChanged, Overview,
          &OverviewPanel::SetSelectedIndication);
}

void TMainForm::IndicationListItemClick() {
  if (!Indications->isVisible()) {
    // Beside the main window where the screen has room, else over its right part.
    const QRect frame = frameGeometry();
    QRect place(QPoint(frame.right() + 1, frame.top()), Indications->frameGeometry().size());
    if (const QScreen* screen = this->screen()) {
      const QRect available = screen->availableGeometry();
      place.moveLeft(std::max(available.left(), std::min(place.left(), available.right() - place.width())));
      place.moveTop(std::max(available.top(), std::min(place.top(), available.bottom() - place.height())));
    }
    Indications->move(place.topLeft());
  }
  Indications->show();
  Indications->raise();
  Indications->activateWindow();
}

// ---------------------------------------------------------------------------
// Language

void TMainForm::SetTranslations(Translations* translations) {
  translations_ = translations;
  SyncLanguageMenu();
}

// The Language menu names each language in itself, so its items are not
// translated.
void TMainForm::BuildLanguageMenu() {
  LanguageItem = captions_.Set(MainMenu->addMenu(QString()), QT_TR_NOOP("语言(&L)"));
  LanguageItem->setObjectName(QStringLiteral("LanguageItem"));
  auto* group = new QActionGroup(LanguageItem);
  ChineseItem = group->addAction(QStringLiteral("中文"));
  ChineseItem->setObjectName(QStringLiteral("ChineseItem"));
  EnglishItem = group->addAction(QStringLiteral("English"));
  EnglishItem->setObjectName(QStringLiteral("EnglishItem"));
  for (QAction* item : {ChineseItem, EnglishItem}) {
    item->setCheckable(true);
    LanguageItem->addAction(item);
  }
  ChineseItem->setChecked(true);
  connect(ChineseItem, &QAction::triggered, this, [this] { LanguageItemClick(Language::Chinese); });
  connect(EnglishItem, &QAction::triggered, this, [this] { LanguageItemClick(Language::English); });
}

void TMainForm::LanguageItemClick(Language language) {
  if (translations_ == nullptr) return;
  if (!translations_->Apply(language)) {
    QMessageBox::warning(this, windowTitle(),
                         tr("找不到界面语言“%1”的翻译文件。").arg(LanguageCode(language)));
  } else {
    StoreLanguage(language);
  }
  SyncLanguageMenu();
}

void TMainForm::SyncLanguageMenu() {
  const Language current = translations_ != nullptr ? translations_->Current() : Language::Chinese;
  (current == Language::English ? EnglishItem : ChineseItem)->setChecked(true);
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
}

void TMainForm::RetranslateUi() {
  captions_.Retranslate();
  if (actions_ != nullptr) actions_->Retranslate();
  for (QLabel* label : fieldLabels_) PlaceFieldLabel(*label);
  if (!ProbeType->text().isEmpty()) {
    ProbeType->setText(TranslatedProbeType(FromUtf8(session_.Settings().ProbeType)));
    ProbeType->setCursorPosition(0);
  }
  SyncLanguageMenu();
}

}  // namespace sonalyt::app
