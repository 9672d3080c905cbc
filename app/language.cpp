#include "app/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace sonalyt::app {
namespace {

const QString kLanguageKey = QStringLiteral("language");
const QString kTranslationBaseName = QStringLiteral("sonalyt_");

// The probe type names of the settings panel, as the display writes them.
constexpr const char* kProbeTypeContext = "ProbeType";
constexpr const char* kProbeTypeNames[] = {
    QT_TRANSLATE_NOOP("ProbeType", "直探头"),
    QT_TRANSLATE_NOOP("ProbeType", "斜探头"),
    QT_TRANSLATE_NOOP("ProbeType", "双晶探头"),
    QT_TRANSLATE_NOOP("ProbeType", "穿透探头"),
};

}  // namespace

QString LanguageCode(Language language) {
  return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<Language> LanguageFromCode(const QString& code) {
  if (code == QLatin1String("zh")) return Language::Chinese;
  if (code == QLatin1String("en")) return Language::English;
  return std::nullopt;
}

QStringList TranslationDirectories() {
  const QDir executableDir(QCoreApplication::applicationDirPath());
  return {executableDir.filePath(QStringLiteral("translations")),
          QDir::cleanPath(executableDir.filePath(QStringLiteral("../share/sonalyt/translations")))};
}

Language StoredLanguage() {
  const QSettings settings;
  return LanguageFromCode(settings.value(kLanguageKey).toString()).value_or(Language::Chinese);
}

void StoreLanguage(Language language) {
  QSettings settings;
  settings.setValue(kLanguageKey, LanguageCode(language));
}

Language StartLanguage(const std::optional<QString>& langValue, QString* warning) {
  if (!langValue) return StoredLanguage();
  if (const std::optional<Language> language = LanguageFromCode(*langValue)) return *language;
  *warning = QStringLiteral("sonalyt: unknown language \"%1\" (use zh or en); using Chinese")
                 .arg(*langValue);
  return Language::Chinese;
}

Translations::Translations(QStringList directories, QObject* parent)
    : QObject(parent), directories_(std::move(directories)) {}

Translations::~Translations() {
  if (installed_) QCoreApplication::removeTranslator(&translator_);
}

bool Translations::Apply(Language language) {
  if (language == current_) return true;
  if (installed_) {
    QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
  }
  current_ = Language::Chinese;
  bool ok = true;
  if (language != Language::Chinese) {
    const QString file = kTranslationBaseName + LanguageCode(language);
    ok = false;
    for (const QString& dir : directories_) {
      if (translator_.load(file, dir)) {
        ok = installed_ = QCoreApplication::installTranslator(&translator_);
        break;
      }
    }
    if (ok) current_ = language;
  }
  emit Changed(current_);
  return ok;
}

QString TranslatedProbeType(const QString& chineseName) {
  for (const char* name : kProbeTypeNames) {
    if (chineseName == QString::fromUtf8(name)) {
      return QCoreApplication::translate(kProbeTypeContext, name);
    }
  }
  return chineseName;
}

}  // namespace sonalyt::app
