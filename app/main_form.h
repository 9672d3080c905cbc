// The main window: the A-scan picture with its two scales, the readouts,
// the playback buttons, the record track bar, the settings panel and the
// note list, with the File and Help menus. The state of the open recording
// lives in the window's ViewerSession; the handlers drive its steps and then
// bring the controls up to date.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "app/captions.h"
#include "app/draw_wave_thread.h"
#include "app/playback_speed.h"
#include "app/position_status.h"
#include "app/language.h"
#include "report/report_form.h"
#include "session/viewer_session.h"

class QFileDialog;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QAction;
class QPushButton;
class QSlider;
class QWidget;

namespace sonalyt::qtdraw {
class QtCanvas;
}

namespace sonalyt::app {

class TAboutForm;
class IndicationWindow;
class OverviewPanel;
class ViewerActions;

class TMainForm : public QMainWindow, private PlaybackHost {
  Q_OBJECT
 public:
  // Builds the window and runs FormCreate.
  explicit TMainForm(QWidget* parent = nullptr);
  // Stops and joins the playback thread.
  ~TMainForm() override;

  // The windows shown modally from the Help menu and the Print button.
  void SetAboutForm(TAboutForm* form);
  void SetReportForm(report::TReportForm* form);
  // Replaces the modal showing of the report window (tests).
  void SetReportPresenter(std::function<void()> showModal);
  // The application's translation, switched by the Language menu.
  void SetTranslations(Translations* translations);

  // Opens the recording at path as if it had been chosen in the Open dialog.
  // A file that cannot be opened or read is reported in a message box and
  // leaves the open recording as it was.
  void OpenFile(const QString& path);

  // The texts the report page takes from this window.
  report::ReportSourceTexts ReportTexts() const;

  session::ViewerSession& Session() { return session_; }
  const session::ViewerSession& Session() const { return session_; }
  TDrawWaveThread& PlaybackThread() { return *PlaybackThread_; }
  bool TrackBarArmed() const { return TrackBarArmed_; }
  // Whether playback is running (the thread is not suspended).
  bool Playing() const { return !PlaybackThread_->Suspended(); }

  // The menus, shortcuts, status bar, recent files and large A-scan around
  // the classic controls.
  ViewerActions& Actions() { return *actions_; }
  // The recording opened last; empty before the first.
  const QString& FilePath() const { return filePath_; }
  // Record and frame of the frame on screen; none before the first frame
  // of the open recording.
  ShownPosition Shown() const { return shownPosition_; }
  // The records that can be shown: those of the index, at most RecordCount.
  std::int32_t AvailableRecords() const;
  // Moves to frame `frame` of record `record` (both from 0, within the
  // recording): the governing parameters, the record and the frame, as the
  // track bar loads. Playback, if running, plays on from the frame after;
  // otherwise the move leaves the viewer paused on that frame.
  void JumpTo(std::int32_t record, std::int32_t frame);
  // Playback speed, in quarters of the recorded pace; at 4 (1x) the thread
  // sleeps PlayInterval between steps.
  void SetPlaybackSpeed(SpeedQuarters speed);
  SpeedQuarters PlaybackSpeed() const { return speed_; }
  // What the playback thread runs per turn and sleeps after it, now.
  PlaybackPace CurrentPace() const;

 signals:
  // A recording was opened (not emitted when the file could not be read).
  void RecordingOpened(const QString& path);
  // The picture now shows another frame, or the empty screen.
  void FrameShown();

 public:

  // Event handlers.
  void FormCreate();
  void FormShow();
  void FormClose();
  void OpenItemClick();
  void ExitItemClick();
  void AboutItemClick();
  void btnPrintClick();
  void RzButtonPlayClick();
  void RzButtonUpClick();
  void RzButtonNextClick();
  void ProcessTrackBarChange();
  void NoteListBoxClick();
  void NoteListBoxDblClick();
  void LanguageItemClick(Language language);

  // One playback step: loads record CurrentRecord when CurrentFrame is 0 and
  // advances it, then draws CurrentFrame and advances it, or at the record's
  // last frame slot resets CurrentFrame.
  void PlaybackStep();
  // Moves the track bar to CurrentRecord; the move itself loads nothing.
  void SyncTrackBar();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // PlaybackHost.
  bool PlaybackCanStep() override;
  void RunPlaybackStep() override;
  std::int32_t PlaybackInterval() override;
  // One turn of the playback thread: one step, or above the drawing rate
  // several steps of which only the last frame drawn is shown.
  void PlaybackTurn();

  void BuildControls();
  QLineEdit* AddSettingsField(QGroupBox* box, const char* name, const char* caption, int left,
                              int top, int width);
  void PlaceFieldLabel(QLabel& label);
  void BuildLanguageMenu();
  // Sets every caption again in the language now installed.
  void RetranslateUi();
  void SyncLanguageMenu();
  void ConnectHandlers();

  // The effects of loading record on the controls: settings, track bar
  // and note selection.
  void ApplyLoadOutcome(const session::LoadOutcome& outcome, std::int32_t record);
  // The effects of a navigation step: settings, track bar and note
  // selection, then the frame drawn onto wave.
  void ApplyMove(const session::MoveOutcome& outcome, qtdraw::QtCanvas& wave);
  void SyncTrackBarTo(std::int32_t record);
  void ShowFrame(QImage image);
  void ShowSettings();
  void ShowEmptyPictures();
  void ShowReadouts(const display::ReadoutTexts& texts);
  void SelectNoteLine(std::int32_t line);

  // The part of Open after the dialog, whether or not a file was chosen:
  // the first half of a playback step, and the frame.
  void AdvanceAfterOpen();
  // Suspends a running playback and shows "播放".
  void PausePlayback();
  // caption is the source text kPlayCaption or kStopCaption.
  void SetPlayCaption(const char* caption);

  // Sets the track bar's maximum or position from the program; a change
  // that moves the thumb only enables previous and next and re-arms.
  void SetTrackBarMaximum(int maximum);
  void SetTrackBarPosition(int position);
  void TrackBarValueChanged();
  void TrackBarActionTriggered(int action);
  void TrackBarActionEnded();
  void NoteListBoxRowChanged(int row);
  // Starts the overview's pass over the recording just opened.
  void StartOverview(const QString& path);
  // A click or drag on the overview: shows overviewTarget_ through the jump
  // step, as a track-bar move does; during playback, playback goes on from
  // the frame after it.
  void OverviewJump();

  // The Analysis menu: the indication list and N / Shift+N.
  void BuildAnalysisMenu();
  void IndicationListItemClick();

  // Runs a handler; an exception that escapes it is shown in a message box
  // and the application carries on.
  void RunHandler(void (TMainForm::*handler)());

  session::ViewerSession session_;
  ViewerActions* actions_ = nullptr;
  QString filePath_;
  // The position of the frame on screen.
  ShownPosition shownPosition_;
  SpeedQuarters speed_ = kNormalSpeed;
  // Time the last playback turn took, in milliseconds.
  std::int32_t lastTurnMs_ = 0;
  Captions captions_;
  std::vector<QLabel*> fieldLabels_;
  Translations* translations_ = nullptr;
  TAboutForm* AboutForm_ = nullptr;
  std::function<void()> showReport_;
  TDrawWaveThread* PlaybackThread_ = nullptr;
  bool TrackBarArmed_ = false;
  bool shown_ = false;
  // Set while the program itself changes the track bar or the note selection.
  bool programMove_ = false;
  bool programSelection_ = false;
  // Set when the user action under way has moved the track bar.
  bool trackBarMoved_ = false;

  QMenuBar* MainMenu;
  QMenu* FileItem;
  QAction* OpenItem;
  QAction* ExitItem;
  QMenu* N1;
  QAction* AboutItem;
  QMenu* LanguageItem;
  QAction* ChineseItem;
  QAction* EnglishItem;
  QFileDialog* FileOpenDialog;

  QLabel* LabelPara1;
  QLabel* LabelPara2;
  QLabel* LabelPara3;
  QLabel* LabelPara4;
  QLabel* lblReject;
  QWidget* WavePanel;
  QLabel* EchoWaveImage;
  QLabel* WaveImage;
  QLabel* EchoRangeImage;
  QSlider* ProcessTrackBar;
  QPushButton* RzButtonPlay;
  QPushButton* RzButtonUp;
  QPushButton* RzButtonNext;
  QPushButton* btnPrint;
  QGroupBox* GainGroupBox;
  QGroupBox* ProbeGroupBox;
  QGroupBox* BaseGroupBox;
  QListWidget* NoteListBox;
  // The whole recording at a glance, in the band below the controls.
  OverviewPanel* Overview;
  // The record whose frames are on screen (the last one loaded).
  std::int32_t shownRecord_ = -1;
  std::int32_t overviewTargetRecord_ = 0;
  std::int32_t overviewTargetFrame_ = 0;
  QMenu* AnalysisItem;
  QAction* IndicationListItem;
  QAction* NextIndicationItem;
  QAction* PreviousIndicationItem;
  // The indication list window (modeless, hidden until asked for).
  IndicationWindow* Indications;

  QLineEdit* BaseGain;
  QLineEdit* ScanGain;
  QLineEdit* CompGain;
  QLineEdit* ProbeType;
  QLineEdit* ProbeFrequency;
  QLineEdit* CrystalSize;
  QLineEdit* EchoRange;
  QLineEdit* EchoDelay;
  QLineEdit* ProbeFront;
  QLineEdit* EchoSpeed;
  QLineEdit* ProbeZero;
  QLineEdit* ProbeAngle;
  QLineEdit* ChannelNo;
  QLineEdit* EchoKAngle;
};

}  // namespace sonalyt::app
