#include "app/playback_speed.h"

#include <algorithm>
#include <ostream>

namespace sonalyt::app {

void PrintTo(const PlaybackPace& pace, std::ostream* os) {
  *os << "{StepsPerTurn=" << pace.StepsPerTurn << " IntervalMs=" << pace.IntervalMs << "}";
}

PlaybackPace PaceFor(std::int32_t playIntervalMs, SpeedQuarters speed, std::int32_t minTurnMs) {
  // Step period in ms = playIntervalMs * 4 / speed, kept as a fraction over
  // speed so that no pace is lost to rounding before the end.
  const std::int64_t interval = std::max<std::int32_t>(playIntervalMs, 0);
  const std::int64_t quarters = std::max<SpeedQuarters>(speed, 1);
  const std::int64_t stepTimesSpeed = interval * kNormalSpeed;
  std::int64_t steps = 1;
  if (quarters > kNormalSpeed && stepTimesSpeed < std::int64_t{minTurnMs} * quarters) {
    steps = stepTimesSpeed == 0
                ? 1
                : (std::int64_t{minTurnMs} * quarters + stepTimesSpeed - 1) / stepTimesSpeed;
  }
  const std::int64_t turnTimesSpeed = steps * stepTimesSpeed;
  const std::int64_t ms = (2 * turnTimesSpeed + quarters) / (2 * quarters);
  return {static_cast<std::int32_t>(steps),
          static_cast<std::int32_t>(std::min<std::int64_t>(ms, INT32_MAX))};
}

SpeedQuarters SlowerSpeed(SpeedQuarters speed) {
  const auto it = std::lower_bound(kPlaybackSpeeds.begin(), kPlaybackSpeeds.end(), speed);
  return it == kPlaybackSpeeds.begin() ? kPlaybackSpeeds.front() : *(it - 1);
}

SpeedQuarters FasterSpeed(SpeedQuarters speed) {
  const auto it = std::upper_bound(kPlaybackSpeeds.begin(), kPlaybackSpeeds.end(), speed);
  return it == kPlaybackSpeeds.end() ? kPlaybackSpeeds.back() : *it;
}

QString SpeedLabel(SpeedQuarters speed) {
  return QString::number(static_cast<double>(speed) / kNormalSpeed, 'g', 3) + QChar(0x00D7);
}

}  // namespace sonalyt::app
