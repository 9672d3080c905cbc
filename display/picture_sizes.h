// The sizes of the screen pictures, in pixels, and where they lie in the
// main window's picture panel: the amplitude scale at the left, the A-scan
// to its right and the range scale below it, each overlapping its
// neighbour by one pixel.
#pragma once

#include <cstdint>

namespace sonalyt::display {

struct PictureSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

inline constexpr PictureSize kWavePicture{306, 245};
inline constexpr PictureSize kAmplitudeScalePicture{21, 265};
inline constexpr PictureSize kRangeScalePicture{306, 21};

// The panel that holds the three, and the pictures' places in it.
inline constexpr PictureSize kPicturePanel{326, 265};
inline constexpr std::int32_t kWavePictureLeft = 20;
inline constexpr std::int32_t kRangeScalePictureTop = 244;

}  // namespace sonalyt::display
