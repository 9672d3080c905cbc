// The interface languages. Every text of the viewer and the report page is
// written in Simplified Chinese, the source language; English comes from a
// compiled translation (sonalyt_en.qm) installed through Qt's translation
// system. The choice is kept in the application's settings.
#pragma once

#include <optional>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTranslator>

namespace sonalyt::app {

enum class Language { Chinese, English };

// "zh" and "en", as on the command line and in the settings.
QString LanguageCode(Language language);
// The language of a code; nothing for an unknown code.
std::optional<Language> LanguageFromCode(const QString& code);

// Where the compiled translations are looked for, first match wins: a
// "translations" folder beside the executable (the build tree, a Windows
// installation) and the installed data folder ../share/sonalyt/translations.
QStringList TranslationDirectories();

// The language kept in the application's settings; Chinese when none is
// kept or the kept value is unknown.
Language StoredLanguage();
void StoreLanguage(Language language);

// The language to start in: the --lang value when one is given, else the
// kept choice. An unknown value gives Chinese and a one-line *warning.
Language StartLanguage(const std::optional<QString>& langValue, QString* warning);

// The translation installed in the application. Installing or removing it
// sends every widget a QEvent::LanguageChange, on which the windows set
// their captions again.
class Translations : public QObject {
  Q_OBJECT
 public:
  explicit Translations(QStringList directories = TranslationDirectories(),
                        QObject* parent = nullptr);
  ~Translations() override;

  // Switches the application to language. Chinese removes the translation;
  // another language loads its file. False when that file cannot be found or
  // read: the application then stays in Chinese.
  bool Apply(Language language);
  Language Current() const { return current_; }

 signals:
  void Changed(sonalyt::app::Language language);

 private:
  QStringList directories_;
  QTranslator translator_;
  bool installed_ = false;
  Language current_ = Language::Chinese;
};

// The probe type name shown in the settings panel, in the current language
// (the settings texts are made in Chinese).
QString TranslatedProbeType(const QString& chineseName);

}  // namespace sonalyt::app
