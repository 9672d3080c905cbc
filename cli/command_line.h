// What every command of the command-line tool shares: the one-line error
// with exit status 1, the help flag, and note texts printed as UTF-8.
#pragma once

#include <iostream>
#include <string>
#include <vector>

#ifdef SONALYT_CLI_QT_IMAGES
#include <QGuiApplication>
#endif

#include "qtdraw/gbk_text.h"

namespace sonalyt::cli {

// Prints "sonalyt-cli: message" on stderr; returns the exit status 1.
inline int Fail(const std::string& message) {
  std::cerr << "sonalyt-cli: " << message << '\n';
  return 1;
}

inline bool WantsHelp(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

// A note text (GBK bytes as recorded) in UTF-8.
inline std::string GbkToUtf8(const std::string& gbk) {
  return qtdraw::GbkToText(gbk).toStdString();
}

#ifdef SONALYT_CLI_QT_IMAGES
// The one application object the picture and report commands need for
// fonts and painting, on the offscreen platform unless one is chosen.
inline QGuiApplication& EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "sonalyt-cli";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  return app;
}
#endif

}  // namespace sonalyt::cli
