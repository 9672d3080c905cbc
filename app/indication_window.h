// The indication list: a modeless window beside the main window with one row
// per gate A indication of the open recording (number, position, duration,
// peak amplitude, dB over threshold, sound path, depth, horizontal distance,
// note), sortable by any column. A click or Enter asks the main window to
// show the peak frame; the threshold and merge-gap fields rebuild the list
// at once from the analysis already made; the list is exported as CSV and as
// the PDF report of every indication.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "analysis/indications.h"
#include "analysis/recording_analysis.h"
#include "recording/recording_file.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace sonalyt::app {

class IndicationModel;

class IndicationWindow : public QWidget {
  Q_OBJECT
 public:
  explicit IndicationWindow(QWidget* parent = nullptr);
  ~IndicationWindow() override;

  // The recording just opened (path, its scanned file and its note texts as
  // the note list shows them): clears the list until SetResults brings the
  // analysis of it.
  void SetRecording(const QString& path, const recording::RecordingFile& file,
                    const QStringList& noteTexts);
  // The analysis of the recording set last (the overview's pass), once it
  // has ended: the list is rebuilt.
  void SetResults(std::shared_ptr<const analysis::AnalysisResults> results);

  // The frame on screen in the main window: N and Shift+N step from it.
  void SetFrameOnScreen(std::int32_t record, std::int32_t frame);

  // The list as shown, in file order, and its options.
  const analysis::IndicationList& List() const { return list_; }
  analysis::IndicationOptions Options() const;
  // Sets the fields (the list is rebuilt).
  void SetOptions(const analysis::IndicationOptions& options);

  // The indication after (before) the frame on screen by its peak frame, in
  // file order; -1 when there is none.
  int NextIndication() const;
  int PreviousIndication() const;
  // Selects the indication after (before) the frame on screen and asks for
  // its peak frame; nothing when there is none.
  void StepNext();
  void StepPrevious();
  // Selects indication index (file order) in the table and the overview and
  // asks for its peak frame.
  void JumpToIndication(int index);
  // The indication selected in the table (file order); -1 for none.
  int SelectedIndication() const { return selected_; }

  // Writes the list as CSV or the report of every indication as PDF, with
  // a message box when that fails. The PDF shows a progress dialog that
  // can cancel it.
  bool ExportCsvTo(const QString& path);
  bool ExportPdfTo(const QString& path);

 signals:
  // Show frame `frame` of record `record` (the main window's jump step).
  void FrameJumpRequested(std::int32_t record, std::int32_t frame);
  // The list was rebuilt: the spans of its indications, in file order.
  void IndicationsChanged(const std::vector<analysis::RunSpan>& spans);
  // Indication index (file order, -1 for none) was selected.
  void SelectionChanged(int index);

 private:
  void changeEvent(QEvent* event) override;
  void BuildControls();
  void Retranslate();
  void Rebuild();
  void UpdateStatus();
  void SelectRow(int index);
  void RowActivated(const QModelIndex& proxyIndex);
  void ExportCsvClicked();
  void ExportPdfClicked();
  // "name_后缀" beside the recording, for the save dialogs.
  QString SuggestedPath(const QString& suffix) const;

  QString path_;
  analysis::RecordingLayout layout_;
  std::vector<std::string> noteTexts_;  // UTF-8, one per note line
  std::shared_ptr<const analysis::AnalysisResults> results_;
  std::unique_ptr<analysis::GoverningBlocks> blocks_;
  analysis::IndicationList list_;
  std::int32_t screenRecord_ = -1;
  std::int32_t screenFrame_ = -1;
  int selected_ = -1;

  QCheckBox* ThresholdCheck = nullptr;
  QDoubleSpinBox* ThresholdEdit = nullptr;
  QSpinBox* MergeGapEdit = nullptr;
  QLabel* StatusLabel = nullptr;
  QLabel* GapLabel = nullptr;
  QTableView* Table = nullptr;
  QPushButton* ExportCsvButton = nullptr;
  QPushButton* ExportPdfButton = nullptr;
  IndicationModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
};

}  // namespace sonalyt::app
