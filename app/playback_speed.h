// Playback speeds and the pace of the playback thread at each of them. At
// 1x the thread sleeps PlayInterval after every step, as it always has. At
// other speeds the pause is PlayInterval divided by the speed; when that is
// shorter than a picture can usefully be drawn, each turn of the thread runs
// several steps and shows only the last frame, so the recording keeps its
// pace instead of slowing down to the drawing rate.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>

#include <QString>

namespace sonalyt::app {

// A speed in quarters of the recorded pace: 4 is 1x.
using SpeedQuarters = std::int32_t;
inline constexpr SpeedQuarters kNormalSpeed = 4;
// 0.25x, 0.5x, 1x, 2x, 4x, 8x, 16x.
inline constexpr std::array<SpeedQuarters, 7> kPlaybackSpeeds = {1, 2, 4, 8, 16, 32, 64};

// The shortest turn of the playback thread above 1x, in milliseconds: fifty
// pictures a second, more than the eye follows on this display.
inline constexpr std::int32_t kMinTurnMilliseconds = 20;

// One turn of the playback thread: how many playback steps it runs (only
// the last frame drawn is shown) and how long it then sleeps.
struct PlaybackPace {
  std::int32_t StepsPerTurn = 1;
  std::int32_t IntervalMs = 0;
  bool operator==(const PlaybackPace&) const = default;
};
void PrintTo(const PlaybackPace& pace, std::ostream* os);

// The pace at speed for records whose PlayInterval is playIntervalMs. At 1x
// and below, every step is its own turn: the interval is PlayInterval * 4 /
// speed (exactly PlayInterval at 1x). Above 1x a turn takes as many steps as
// fill at least minTurnMs, and sleeps their combined time, rounded to the
// nearest millisecond.
PlaybackPace PaceFor(std::int32_t playIntervalMs, SpeedQuarters speed, std::int32_t minTurnMs);

// The next slower or faster speed of kPlaybackSpeeds; the slowest and the
// fastest stay as they are.
SpeedQuarters SlowerSpeed(SpeedQuarters speed);
SpeedQuarters FasterSpeed(SpeedQuarters speed);

// "0.25×", "1×", "16×".
QString SpeedLabel(SpeedQuarters speed);

}  // namespace sonalyt::app
