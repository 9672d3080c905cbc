#include "session/viewer_session.h"

#include <algorithm>

#include "display/frame_image.h"
#include "display/report_images.h"

namespace sonalyt::session {

bool ViewerSession::OpenRecording(const std::string& path, std::string* error) {
  // A file that cannot be opened leaves the open recording and the cursors
  // as they were.
  if (!file_.OpenRecording(path, error)) return false;
  CurrentRecord = -1;
  CurrentFrame = 0;
  // Nothing of the new file is loaded yet: no frame of the record buffer
  // belongs to it.
  framesInRecord_ = 0;
  lastDrawnFrame_ = -1;
  lastDrawnSamples_.fill(0);
  return true;
}

LoadOutcome ViewerSession::LoadRecord() {
  if (CurrentRecord < 0) CurrentRecord = 0;
  LoadOutcome outcome;
  outcome.ParametersApplied = file_.LoadRecord(CurrentRecord, parameterCopy_);
  if (outcome.ParametersApplied) RefreshSettingsPanel();
  framesInRecord_ = file_.FramesInRecord();
  CurrentFrame = 0;
  outcome.NoteLine = recording::SelectNoteLine(file_.NoteRecords(), CurrentRecord);
  playInterval_ = recording::PlayIntervalFor(framesInRecord_);
  return outcome;
}

bool ViewerSession::LoadGoverningParameters(std::int32_t i) {
  const bool applied = file_.LoadGoverningParameters(i, parameterCopy_);
  if (applied) RefreshSettingsPanel();
  return applied;
}

void ViewerSession::RefreshSettingsPanel() {
  display::ShowGainFields(parameterCopy_, settings_);
  display::ShowProbeFields(parameterCopy_, settings_);
  display::ShowBasicFields(parameterCopy_, settings_, axis_);
}

void ViewerSession::Rewind() {
  file_.ReadRecordCount();
  CurrentRecord = 0;
  CurrentFrame = 0;
  // The record loaded last is still in the record buffer; its own block, if
  // it has one, is put back in force before playback starts again.
  if (file_.ParamLength() != 0) {
    recording::ApplyParameterBlock(file_.DecodedRecord(), file_.ParamLength(), parameterCopy_);
  }
  RefreshSettingsPanel();
}

bool ViewerSession::DrawFrame(std::int32_t k, display::Canvas& wave) {
  if (k < 0 || k >= framesInRecord_) return false;
  const auto frame = file_.Frame(k);
  frameReadings_ = recording::ReadFrameReadings(frame);
  readouts_ = display::UpdateReadouts(frameReadings_, parameterCopy_);
  display::DrawFrame(wave, frame.first<recording::kFrameColumns>(), frameReadings_,
                     parameterCopy_, curves_);
  std::copy_n(frame.begin(), recording::kFrameColumns, lastDrawnSamples_.begin());
  lastDrawnFrame_ = k;
  return true;
}

StepOutcome ViewerSession::PlaybackStep(display::Canvas& wave) {
  StepOutcome outcome;
  if (CurrentFrame == 0) {
    outcome.Loaded = LoadRecord();
    ++CurrentRecord;
  }
  if (CurrentFrame < framesInRecord_ - 1) {
    outcome.Drew = DrawFrame(CurrentFrame, wave);
    ++CurrentFrame;
  } else {
    CurrentFrame = 0;
  }
  return outcome;
}

void ViewerSession::DrawReportImages(display::Canvas& amplitudeScale, display::Canvas& wave,
                                     display::Canvas& rangeScale) {
  display::DrawReportAmplitudeScale(amplitudeScale, wave.Height());
  display::DrawReportRangeScale(rangeScale, axis_);
  // The frame on screen is the one drawn last; the frame cursor may already
  // point at the next one (after opening, or when playback was stopped), and
  // the record buffer may since hold another record.
  display::DrawReportWave(wave, lastDrawnSamples_, frameReadings_, parameterCopy_, curves_);
}

void ViewerSession::DrawEmptyPictures(display::Canvas& wave, display::Canvas& amplitudeScale,
                                      display::Canvas& rangeScale) {
  display::DrawEmptyFrame(wave);
  display::DrawAmplitudeScale(amplitudeScale, wave.Height());
  display::DrawEmptyRangeScale(rangeScale);
}

void ViewerSession::DrawRangeScale(display::Canvas& rangeScale) const {
  display::DrawRangeScale(rangeScale, axis_);
}

}  // namespace sonalyt::session
