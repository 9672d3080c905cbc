#include "report/pdf_document.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>
#include <QSaveFile>

#include "report/report_page.h"

namespace sonalyt::report {
namespace {

// Device resolution of the PDF; pages are scaled to it from 96 per inch so
// that vector coordinates keep sub-pixel precision.
constexpr int kPdfResolution = 1200;

void SetError(QString* error, const QString& text) {
  if (error != nullptr) *error = text;
}

bool IsPdfSpace(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool IsPdfDelimiter(char c) {
  return c == '<' || c == '>' || c == '[' || c == ']' || c == '(' || c == ')' || c == '/' ||
         c == '{' || c == '}' || c == '%';
}

// A hexadecimal string of a CMap, "<0009>", as the position of its '<' and
// its value.
struct HexCode {
  qsizetype At = -1;
  qsizetype Length = 0;  // with the brackets
  uint Value = 0;
};

const QByteArray kTabTarget = QByteArrayLiteral("<0009>");
const QByteArray kBlankTarget = QByteArrayLiteral("<0020>");

void CorrectTarget(QByteArray& pdf, const HexCode& target) {
  if (target.Length == kTabTarget.size() &&
      pdf.mid(target.At, target.Length).compare(kTabTarget, Qt::CaseInsensitive) == 0) {
    pdf.replace(target.At, target.Length, kBlankTarget);
  }
}

// Walks the bfchar and bfrange sections of the CMap in pdf[begin, end) and
// corrects their tab targets: the second code of each bfchar pair; the third
// of a bfrange entry when the range is a single code, or each code of its
// target array.
void CorrectCMap(QByteArray& pdf, qsizetype begin, qsizetype end) {
  enum class Section { kNone, kChar, kRange };
  Section section = Section::kNone;
  std::vector<HexCode> codes;  // codes of the entry being read
  bool inArray = false;
  qsizetype i = begin;
  while (i < end) {
    const char c = pdf.at(i);
    if (IsPdfSpace(c)) {
      ++i;
    } else if (c == '<' && i + 1 < end && pdf.at(i + 1) == '<') {
      i += 2;
    } else if (c == '>' && i + 1 < end && pdf.at(i + 1) == '>') {
      i += 2;
    } else if (c == '<') {
      const qsizetype close = pdf.indexOf('>', i);
      if (close < 0 || close >= end) return;
      bool ok = false;
      const HexCode code{i, close + 1 - i, pdf.mid(i + 1, close - i - 1).trimmed().toUInt(&ok, 16)};
      i = close + 1;
      if (!ok || section == Section::kNone) continue;
      if (section == Section::kChar) {
        codes.push_back(code);
        if (codes.size() == 2) {
          CorrectTarget(pdf, codes[1]);
          codes.clear();
        }
      } else if (inArray) {
        CorrectTarget(pdf, code);
      } else {
        codes.push_back(code);
        if (codes.size() == 3) {
          if (codes[0].Value == codes[1].Value) CorrectTarget(pdf, codes[2]);
          codes.clear();
        }
      }
    } else if (c == '[') {
      inArray = section == Section::kRange && codes.size() == 2;
      ++i;
    } else if (c == ']') {
      if (inArray) codes.clear();
      inArray = false;
      ++i;
    } else if (c == '(') {
      const qsizetype close = pdf.indexOf(')', i);
      if (close < 0 || close >= end) return;
      i = close + 1;
    } else {
      qsizetype wordEnd = i + 1;
      while (wordEnd < end && !IsPdfSpace(pdf.at(wordEnd)) && !IsPdfDelimiter(pdf.at(wordEnd))) {
        ++wordEnd;
      }
      const QByteArray word = pdf.mid(i, wordEnd - i);
      if (word == "beginbfchar") {
        section = Section::kChar;
      } else if (word == "beginbfrange") {
        section = Section::kRange;
      } else if (word == "endbfchar" || word == "endbfrange") {
        section = Section::kNone;
      }
      if (word.startsWith("begin") || word.startsWith("end")) {
        codes.clear();
        inArray = false;
      }
      i = wordEnd;
    }
  }
}

}  // namespace

QByteArray CorrectBlankMapping(QByteArray pdf) {
  // Latin-1 keeps one character per byte, so offsets in the text are offsets in pdf.
  const QString text = QString::fromLatin1(pdf);
  static const QRegularExpression toUnicodeRef(QStringLiteral(R"(/ToUnicode\s+(\d+)\s+(\d+)\s+R)"));
  for (auto refs = toUnicodeRef.globalMatch(text); refs.hasNext();) {
    const QRegularExpressionMatch ref = refs.next();
    const QRegularExpression objectStart(
        QStringLiteral(R"((?:^|[\r\n])%1\s+%2\s+obj\b)").arg(ref.captured(1), ref.captured(2)));
    const QRegularExpressionMatch object = objectStart.match(text);
    if (!object.hasMatch()) continue;
    const qsizetype streamKeyword = text.indexOf(QStringLiteral("stream"), object.capturedEnd());
    if (streamKeyword < 0) continue;
    // A compressed map is left alone: Qt writes these maps as plain text.
    if (text.mid(object.capturedEnd(), streamKeyword - object.capturedEnd())
            .contains(QStringLiteral("/Filter"))) {
      continue;
    }
    qsizetype dataStart = streamKeyword + 6;
    if (dataStart < text.size() && text.at(dataStart) == QLatin1Char('\r')) ++dataStart;
    if (dataStart < text.size() && text.at(dataStart) == QLatin1Char('\n')) ++dataStart;
    const qsizetype dataEnd = text.indexOf(QStringLiteral("endstream"), dataStart);
    if (dataEnd < 0) continue;
    CorrectCMap(pdf, dataStart, dataEnd);
  }
  return pdf;
}

bool WritePdfDocument(const QString& path, const QString& title,
                      const std::function<bool(QPdfWriter&, QPainter&)>& paintPages,
                      QString* error) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    SetError(error, QStringLiteral("drawing the report needs a QGuiApplication"));
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    SetError(error, file.errorString());
    return false;
  }
  QByteArray document;
  {
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Sonalyt"));
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) {
      SetError(error, QStringLiteral("the PDF page could not be painted"));
      return false;
    }
    const qreal scale = static_cast<qreal>(kPdfResolution) / kPagePixelsPerInch;
    painter.scale(scale, scale);
    if (!paintPages(writer, painter)) return false;
    if (!painter.end()) {
      SetError(error, QStringLiteral("the PDF page could not be painted"));
      return false;
    }
  }
  const QByteArray corrected = CorrectBlankMapping(std::move(document));
  if (file.write(corrected) != corrected.size() || !file.commit()) {
    SetError(error, file.errorString());
    return false;
  }
  return true;
}

}  // namespace sonalyt::report
