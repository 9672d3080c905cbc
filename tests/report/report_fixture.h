// Helpers of the report tests: readable QStrings in failures, and a small
// recording with a parameter block and two distinct frames, opened in a
// session with its first frame on screen.
#pragma once

#include <memory>
#include <ostream>

#include <QString>
#include <QTemporaryDir>

#include "session/viewer_session.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace sonalyt::report::testing {

struct LoadedSession {
  QTemporaryDir Dir;
  session::ViewerSession Session;
};

// The settings of that recording: an angle probe, 200 mm range, gate A.
recording::ParameterBlock AngleProbeBlock();

// Frame 0 is drawn; CurrentFrame then points at frame 1, as after opening.
std::unique_ptr<LoadedSession> OpenTwoFrameRecording();

}  // namespace sonalyt::report::testing
