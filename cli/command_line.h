// What every command of the command-line tool shares: the one-line error
// with exit status 1, the help flag, and note texts printed as UTF-8.
#pragma once

#include <iostream>
#include <string>
#include <vector>

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

}  // namespace sonalyt::cli
