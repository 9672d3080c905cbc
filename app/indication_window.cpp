#include "app/indication_window.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/indication_csv.h"
#include "report/indication_report.h"
#include "report/indication_table.h"

namespace sonalyt::app {

using report::IndicationTable;

namespace {

constexpr QSize kWindowSize(960, 420);
// The largest merge gap the field takes: a good hour of recording.
constexpr int kMaxMergeGap = 100000;
constexpr int kThresholdDecimals = 1;
// What a column sorts by.
constexpr int kSortRole = Qt::UserRole;
// Progress dialogs appear only for reports that take a while.
constexpr int kProgressDelayMs = 400;

}  // namespace

// The indications as table rows, in file order.
class IndicationModel : public QAbstractTableModel {
 public:
  explicit IndicationModel(QObject* parent) : QAbstractTableModel(parent) {}

  void SetIndications(const std::vector<analysis::Indication>* indications) {
    beginResetModel();
    indications_ = indications;
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    if (parent.isValid() || indications_ == nullptr) return 0;
    return static_cast<int>(indications_->size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : IndicationTable::kColumnCount;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || indications_ == nullptr) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= indications_->size()) return {};
    const analysis::Indication& indication = (*indications_)[row];
    const int number = index.row() + 1;
    switch (role) {
      case Qt::DisplayRole:
        return IndicationTable::Text(index.column(), number, indication);
      case kSortRole:
        return IndicationTable::SortKey(index.column(), number, indication);
      case Qt::ToolTipRole:
        if (index.column() == IndicationTable::kPosition ||
            index.column() == IndicationTable::kDuration) {
          return IndicationTable::SpanText(indication);
        }
        if (index.column() == IndicationTable::kNote) {
          return IndicationTable::Text(index.column(), number, indication);
        }
        return {};
      case Qt::TextAlignmentRole:
        if (index.column() == IndicationTable::kNote ||
            index.column() == IndicationTable::kPosition ||
            index.column() == IndicationTable::kDuration) {
          return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      default:
        return {};
    }
  }

  void Retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, IndicationTable::kColumnCount - 1);
    if (rowCount() > 0) {
      emit dataChanged(index(0, 0), index(rowCount() - 1, IndicationTable::kColumnCount - 1));
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return IndicationTable::ColumnTitles().value(section);
  }

 private:
  const std::vector<analysis::Indication>* indications_ = nullptr;
};

IndicationWindow::IndicationWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  BuildControls();
  Retranslate();
}

void IndicationWindow::Retranslate() {
  setWindowTitle(tr("指示列表"));
  ThresholdCheck->setText(tr("绝对阈值"));
  ThresholdCheck->setToolTip(tr("以满屏高度的百分比代替记录的闸门A阈值"));
  GapLabel->setText(tr("合并间隔："));
  MergeGapEdit->setSuffix(tr(" 帧"));
  MergeGapEdit->setToolTip(tr("相隔不超过这么多帧的超阈值段合为一个指示；0 不合并"));
  ExportCsvButton->setText(tr("导出CSV(&C)…"));
  ExportPdfButton->setText(tr("导出PDF报告(&R)…"));
  // The column titles and the cells are made in the current language when
  // the view asks for them.
  model_->Retranslate();
  UpdateStatus();
}

void IndicationWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) Retranslate();
}

IndicationWindow::~IndicationWindow() = default;

void IndicationWindow::BuildControls() {
  setObjectName(QStringLiteral("IndicationWindow"));
  resize(kWindowSize);

  ThresholdCheck = new QCheckBox(this);
  ThresholdCheck->setObjectName(QStringLiteral("ThresholdCheck"));
  ThresholdEdit = new QDoubleSpinBox(this);
  ThresholdEdit->setObjectName(QStringLiteral("ThresholdEdit"));
  ThresholdEdit->setRange(0.0, analysis::kMaxThresholdPercent);
  ThresholdEdit->setDecimals(kThresholdDecimals);
  ThresholdEdit->setSingleStep(1.0);
  ThresholdEdit->setValue(50.0);
  ThresholdEdit->setSuffix(QStringLiteral(" %"));
  ThresholdEdit->setEnabled(false);
  ThresholdEdit->setKeyboardTracking(false);
  GapLabel = new QLabel(this);
  MergeGapEdit = new QSpinBox(this);
  MergeGapEdit->setObjectName(QStringLiteral("MergeGapEdit"));
  MergeGapEdit->setRange(0, kMaxMergeGap);
  MergeGapEdit->setValue(analysis::kDefaultMergeGap);
  MergeGapEdit->setKeyboardTracking(false);
  GapLabel->setBuddy(MergeGapEdit);
  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));

  auto* options = new QHBoxLayout;
  options->addWidget(ThresholdCheck);
  options->addWidget(ThresholdEdit);
  options->addSpacing(16);
  options->addWidget(GapLabel);
  options->addWidget(MergeGapEdit);
  options->addSpacing(16);
  options->addWidget(StatusLabel, 1);

  model_ = new IndicationModel(this);
  model_->SetIndications(&list_.Indications);
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(kSortRole);
  Table = new QTableView(this);
  Table->setObjectName(QStringLiteral("IndicationTable"));
  Table->setModel(proxy_);
  Table->setSortingEnabled(true);
  Table->sortByColumn(IndicationTable::kNumber, Qt::AscendingOrder);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setSelectionMode(QAbstractItemView::SingleSelection);
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setAlternatingRowColors(true);
  Table->verticalHeader()->setVisible(false);
  Table->horizontalHeader()->setStretchLastSection(true);
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

  ExportCsvButton = new QPushButton(this);
  ExportCsvButton->setObjectName(QStringLiteral("ExportCsvButton"));
  ExportPdfButton = new QPushButton(this);
  ExportPdfButton->setObjectName(QStringLiteral("ExportPdfButton"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ExportCsvButton);
  buttons->addWidget(ExportPdfButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(options);
  layout->addWidget(Table, 1);
  layout->addLayout(buttons);

  connect(ThresholdCheck, &QCheckBox::toggled, this, [this](bool on) {
    ThresholdEdit->setEnabled(on);
    Rebuild();
  });
  connect(ThresholdEdit, &QDoubleSpinBox::valueChanged, this, [this] {
    if (ThresholdCheck->isChecked()) Rebuild();
  });
  connect(MergeGapEdit, &QSpinBox::valueChanged, this, [this] { Rebuild(); });
  connect(Table, &QTableView::clicked, this, &IndicationWindow::RowActivated);
  connect(Table, &QTableView::activated, this, &IndicationWindow::RowActivated);
  connect(Table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            const int index = current.isValid() ? proxy_->mapToSource(current).row() : -1;
            if (index == selected_) return;
            selected_ = index;
            emit SelectionChanged(selected_);
          });
  connect(ExportCsvButton, &QPushButton::clicked, this, &IndicationWindow::ExportCsvClicked);
  connect(ExportPdfButton, &QPushButton::clicked, this, &IndicationWindow::ExportPdfClicked);
}

void IndicationWindow::SetRecording(const QString& path, const recording::RecordingFile& file,
                                    const QStringList& noteTexts) {
  path_ = path;
  layout_ = analysis::LayoutOf(file);
  noteTexts_.clear();
  for (const QString& text : noteTexts) noteTexts_.push_back(text.toStdString());
  results_.reset();
  blocks_ = std::make_unique<analysis::GoverningBlocks>(layout_.Index);
  if (!blocks_->Open(QFile::encodeName(path).toStdString())) blocks_.reset();
  screenRecord_ = screenFrame_ = -1;
  Rebuild();
}

void IndicationWindow::SetResults(std::shared_ptr<const analysis::AnalysisResults> results) {
  results_ = std::move(results);
  Rebuild();
}

void IndicationWindow::SetFrameOnScreen(std::int32_t record, std::int32_t frame) {
  screenRecord_ = record;
  screenFrame_ = frame;
}

analysis::IndicationOptions IndicationWindow::Options() const {
  analysis::IndicationOptions options;
  options.MergeGap = MergeGapEdit->value();
  if (ThresholdCheck->isChecked()) options.Threshold = ThresholdEdit->value();
  return options;
}

void IndicationWindow::SetOptions(const analysis::IndicationOptions& options) {
  {
    const QSignalBlocker a(ThresholdCheck), b(ThresholdEdit), c(MergeGapEdit);
    MergeGapEdit->setValue(options.MergeGap);
    ThresholdCheck->setChecked(options.Threshold.has_value());
    ThresholdEdit->setEnabled(options.Threshold.has_value());
    if (options.Threshold) ThresholdEdit->setValue(*options.Threshold);
  }
  Rebuild();
}

void IndicationWindow::Rebuild() {
  const bool ready = results_ && results_->State() == analysis::PassState::Complete;
  analysis::IndicationList list;
  if (ready) {
    const analysis::BlockLookup zeroBlocks = [](std::int32_t) { return recording::ParameterBlock{}; };
    list = analysis::FindIndications(*results_, Options(),
                                     blocks_ ? blocks_->Lookup() : zeroBlocks, noteTexts_);
  }
  model_->SetIndications(nullptr);
  list_ = std::move(list);
  model_->SetIndications(&list_.Indications);
  Table->resizeColumnsToContents();
  selected_ = -1;
  UpdateStatus();
  std::vector<analysis::RunSpan> spans;
  spans.reserve(list_.Indications.size());
  for (const analysis::Indication& i : list_.Indications) spans.push_back(i.Span);
  emit IndicationsChanged(spans);
  emit SelectionChanged(-1);
}

void IndicationWindow::UpdateStatus() {
  const bool ready = results_ && results_->State() == analysis::PassState::Complete;
  QString status;
  if (path_.isEmpty()) {
    status = tr("未打开记录");
  } else if (results_ && results_->State() == analysis::PassState::Failed) {
    status = tr("分析失败：%1").arg(QString::fromStdString(results_->Error()));
  } else if (!ready) {
    status = tr("正在分析记录…");
  } else {
    status = tr("指示 %1 处，耦合丢失 %2 处")
                 .arg(list_.Indications.size())
                 .arg(list_.CouplingLosses.size());
  }
  StatusLabel->setText(status);
  ExportCsvButton->setEnabled(ready);
  ExportPdfButton->setEnabled(ready);
}

int IndicationWindow::NextIndication() const {
  const auto& indications = list_.Indications;
  for (std::size_t i = 0; i < indications.size(); ++i) {
    const auto& peak = indications[i];
    if (peak.PeakRecord > screenRecord_ ||
        (peak.PeakRecord == screenRecord_ && peak.PeakFrame > screenFrame_)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IndicationWindow::PreviousIndication() const {
  const auto& indications = list_.Indications;
  for (std::size_t i = indications.size(); i-- > 0;) {
    const auto& peak = indications[i];
    if (peak.PeakRecord < screenRecord_ ||
        (peak.PeakRecord == screenRecord_ && peak.PeakFrame < screenFrame_)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void IndicationWindow::StepNext() {
  if (const int next = NextIndication(); next >= 0) JumpToIndication(next);
}

void IndicationWindow::StepPrevious() {
  if (const int previous = PreviousIndication(); previous >= 0) JumpToIndication(previous);
}

void IndicationWindow::JumpToIndication(int index) {
  if (index < 0 || index >= static_cast<int>(list_.Indications.size())) return;
  SelectRow(index);
  const analysis::Indication& indication = list_.Indications[static_cast<std::size_t>(index)];
  emit FrameJumpRequested(indication.PeakRecord, indication.PeakFrame);
}

void IndicationWindow::SelectRow(int index) {
  const QModelIndex row = proxy_->mapFromSource(model_->index(index, 0));
  Table->selectionModel()->setCurrentIndex(
      row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  Table->scrollTo(row);
  if (selected_ != index) {
    selected_ = index;
    emit SelectionChanged(selected_);
  }
}

void IndicationWindow::RowActivated(const QModelIndex& proxyIndex) {
  if (!proxyIndex.isValid()) return;
  JumpToIndication(proxy_->mapToSource(proxyIndex).row());
}

QString IndicationWindow::SuggestedPath(const QString& suffix) const {
  const QFileInfo info(path_);
  return info.dir().filePath(info.completeBaseName() + suffix);
}

bool IndicationWindow::ExportCsvTo(const QString& path) {
  const std::string csv = analysis::IndicationCsv(list_);
  QSaveFile file(path);
  const bool written = file.open(QIODevice::WriteOnly) &&
                       file.write(csv.data(), static_cast<qint64>(csv.size())) ==
                           static_cast<qint64>(csv.size()) &&
                       file.commit();
  if (!written) {
    QMessageBox::warning(this, tr("导出CSV"),
                         tr("无法保存文件“%1”：\n%2")
                             .arg(QDir::toNativeSeparators(path), file.errorString()));
  }
  return written;
}

bool IndicationWindow::ExportPdfTo(const QString& path) {
  report::IndicationReportInput input{path_, list_,
                                      results_ ? results_->IndexedRecords() : 0};
  QProgressDialog progress(tr("正在生成指示报告…"), tr("取消"), 0, 1, this);
  progress.setObjectName(QStringLiteral("ReportProgress"));
  progress.setWindowTitle(tr("导出PDF报告"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  QString error;
  const bool written = report::WriteIndicationReport(
      input, path,
      [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
      },
      &error);
  progress.close();
  if (!written && !error.isEmpty()) {
    QMessageBox::warning(this, tr("导出PDF报告"),
                         tr("无法保存文件“%1”：\n%2").arg(QDir::toNativeSeparators(path), error));
  }
  return written;
}

void IndicationWindow::ExportCsvClicked() {
  QString path = QFileDialog::getSaveFileName(this, tr("导出CSV"), SuggestedPath(tr("_指示.csv")),
                                              tr("CSV 文件 (*.csv)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path += QStringLiteral(".csv");
  ExportCsvTo(path);
}

void IndicationWindow::ExportPdfClicked() {
  QString path = QFileDialog::getSaveFileName(this, tr("导出PDF报告"),
                                              SuggestedPath(tr("_指示报告.pdf")),
                                              tr("PDF 文件 (*.pdf)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
  ExportPdfTo(path);
}

}  // namespace sonalyt::app
