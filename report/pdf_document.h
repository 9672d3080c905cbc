// Writing PDF documents. Every PDF the program writes goes through
// WritePdfDocument, so that its text reads in a PDF reader as it was typed.
#pragma once

#include <QByteArray>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <functional>

namespace sonalyt::report {

// Paints pages through paintPages and writes them to path as a PDF of A4
// portrait pages without margins; the file is replaced only when the document
// is complete. paintPages gets the writer (newPage() starts the next page) and
// a painter begun on it, scaled so that one unit is one page pixel (1/96 inch
// from the paper's top-left corner); it returns false to abandon the document
// (then nothing is written and error is left for the caller to fill). The
// written text maps blanks as blanks (CorrectBlankMapping). Needs a
// QGuiApplication. False with a reason when the file could not be written.
bool WritePdfDocument(const QString& path, const QString& title,
                      const std::function<bool(QPdfWriter&, QPainter&)>& paintPages,
                      QString* error);

// Qt writes, for each embedded font, a ToUnicode map that tells a PDF reader
// which character each glyph stands for. It takes for each glyph the lowest
// character the font engine answers with that glyph, and the FreeType engine
// answers U+0009 with the blank glyph when a font has no tab, so the blank is
// read back as a tab. Returns the document with such U+0009 targets of the
// ToUnicode maps set to U+0020, byte for byte the same length so that the
// cross-reference offsets stay valid. Other bytes are left as they are.
QByteArray CorrectBlankMapping(QByteArray pdf);

}  // namespace sonalyt::report
