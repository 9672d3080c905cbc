// Writing the report page of the frame on screen to a file without a window,
// for the command-line tool and the report window's PDF export.
#pragma once

#include <QString>

#include "report/report_page.h"
#include "report/report_texts.h"
#include "session/viewer_session.h"

namespace sonalyt::report {

// The settings and readout texts of the session as the main window shows them.
ReportSourceTexts SourceTextsFromSession(const session::ViewerSession& session);

// Writes the page as a one-page A4 PDF: cells, lines and texts as vectors at
// their paper positions, the pictures as embedded images. Needs a
// QGuiApplication. False with a reason when the file could not be written.
bool WriteReportPdf(const ReportTexts& texts, const ReportPictures& pictures, const QString& path,
                    QString* error);

// Writes the page as a 794 x 1123 PNG at 96 dots per inch.
bool WriteReportPng(const ReportTexts& texts, const ReportPictures& pictures, const QString& path,
                    QString* error);

// Draws the pictures through the session, fills the page from texts and writes
// it: a PDF when path ends in ".pdf", a PNG for ".png" (case ignored).
// Needs a QGuiApplication; false with a reason otherwise, for any other
// extension, or when the file could not be written.
bool WriteReportFile(session::ViewerSession& session, const ReportSourceTexts& texts,
                     const QString& path, QString* error);

}  // namespace sonalyt::report
