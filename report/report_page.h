// The A4 report page: its cells, captions, value fields and pictures at fixed
// positions in page pixels (1/96 inch from the paper's top-left corner), and
// painting it on the screen, a printer, a PDF or an image.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QRect>
#include <QWidget>

#include "report/report_texts.h"
#include "session/viewer_session.h"

namespace sonalyt::report {

// A4 portrait at 96 page pixels per inch.
inline constexpr int kPagePixelsPerInch = 96;
inline constexpr int kPageWidth = 794;
inline constexpr int kPageHeight = 1123;

// The picture controls on the page; each picture is drawn at this size.
inline constexpr QRect kQRImageLeft{56, 792, 25, 281};
inline constexpr QRect kQRImageWave{80, 792, 289, 257};
inline constexpr QRect kQRImageBottom{80, 1048, 289, 25};

// The font of a value field: Arial 19 px, or smaller (down to 12 px) when
// the text would not fit in the box's width, so that a unit is not cut off.
QFont ValueFieldFont(const QString& text, int boxWidth);

// The three pictures of the frame on screen (null images leave their places white).
struct ReportPictures {
  QImage AmplitudeScale, Wave, RangeScale;
};

// Draws the pictures of the frame on screen through the session, each on an
// image of its control's size.
ReportPictures DrawReportPictures(session::ViewerSession& session);

// Paints the page in page pixels from the painter's origin. The paper itself
// is not filled: the caller supplies white paper.
void PaintReportPage(QPainter& painter, const ReportTexts& texts, const ReportPictures& pictures);

// Paints the page on a paged device whose origin is the paper's top-left
// corner (full page or zero margins), scaled so one page pixel is 1/96 inch.
// False when painting could not begin (no printer, unwritable output).
bool PaintReportPageOn(QPagedPaintDevice& device, int deviceResolution, const ReportTexts& texts,
                       const ReportPictures& pictures);

// The page at 1:1 on screen.
class ReportPageWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ReportPageWidget(QWidget* parent = nullptr);

  void SetTexts(ReportTexts texts);
  void SetPictures(ReportPictures pictures);
  const ReportTexts& Texts() const { return texts_; }
  const ReportPictures& Pictures() const { return pictures_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  ReportTexts texts_;
  ReportPictures pictures_;
};

}  // namespace sonalyt::report
