// The A4 report page: its cells, captions, value fields and pictures at fixed
// positions in page pixels (1/96 inch from the paper's top-left corner), and
// painting it on the screen, a printer, a PDF or an image.
#pragma once

#include <vector>

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

// The page's face at a pixel size: Arial for Latin text (or a face with
// Arial's metrics where Arial is not installed), with a CJK face for the
// Chinese glyphs Arial lacks.
QFont PageFont(int pixels, bool bold);

// A caption of the page (the title, a row caption, a group name or one of
// its characters) as it is painted: in the installed language, in Box with
// Font and the Qt alignment Flags, or turned a quarter left to read bottom
// to top across Box. Cell is the inside of the cell it belongs to, which
// the text must not leave.
struct PlacedCaption {
  QString Text;
  QRect Box, Cell;
  QFont Font;
  int Flags = 0;
  bool Turned = false;
};

// The page's captions for texts' readout layout. Every Chinese caption
// stands at the page's caption size in its box; a translated caption too
// long for its box is set smaller, wrapped across its cell, and a group
// name is turned to run along its cell.
std::vector<PlacedCaption> LayOutCaptions(const ReportTexts& texts);

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
