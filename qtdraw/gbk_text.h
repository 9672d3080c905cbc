// Note texts are stored as GBK bytes; the front ends show and print them
// through this one conversion.
#pragma once

#include <string_view>

#include <QString>

namespace sonalyt::qtdraw {

// The text of GBK bytes. Qt built without ICU has no GBK codec: the bytes
// are then read in the system's 8-bit code page, which is GBK (code page
// 936) on the Chinese Windows systems the recordings are read on.
QString GbkToText(std::string_view gbk);

}  // namespace sonalyt::qtdraw
