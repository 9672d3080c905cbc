#include "app/draw_wave_thread.h"

#include <chrono>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QMetaObject>

namespace sonalyt::app {

TDrawWaveThread::TDrawWaveThread(PlaybackHost& host, QObject* parent)
    : QThread(parent), host_(host) {
  start(QThread::LowPriority);
}

TDrawWaveThread::~TDrawWaveThread() { Stop(); }

void TDrawWaveThread::Suspend() {
  std::lock_guard lock(mutex_);
  suspended_ = true;
}

void TDrawWaveThread::Resume() {
  {
    std::lock_guard lock(mutex_);
    suspended_ = false;
  }
  wake_.notify_all();
}

bool TDrawWaveThread::Suspended() const {
  std::lock_guard lock(mutex_);
  return suspended_;
}

void TDrawWaveThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  // The thread may be blocked in a step request addressed to this object on
  // this thread: answer such requests (they see stopping_ and run nothing)
  // while waiting, so that joining can never deadlock.
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      if (wake_.wait_for(lock, std::chrono::milliseconds(10), [this] { return exited_; })) break;
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  }
  wait();
}

void TDrawWaveThread::run() {
  Execute();
  std::lock_guard lock(mutex_);
  exited_ = true;
  wake_.notify_all();
}

void TDrawWaveThread::Execute() {
  for (;;) {
    if (!WaitWhileSuspended()) return;
    QMetaObject::invokeMethod(this, "AnswerStepRequest", Qt::BlockingQueuedConnection);
    Answer answer;
    std::int32_t interval;
    {
      std::lock_guard lock(mutex_);
      answer = answer_;
      interval = interval_;
      answer_ = Answer::None;
    }
    switch (answer) {
      case Answer::Stepped:
        break;
      case Answer::Finished:
        // Suspended by the answer itself; once resumed, the pause comes first.
        if (!WaitWhileSuspended()) return;
        break;
      case Answer::Dropped:
        continue;
      case Answer::None:  // the request was discarded unanswered
      case Answer::Stopping:
        return;
    }
    if (!Sleep(interval)) return;
  }
}

void TDrawWaveThread::AnswerStepRequest() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || suspended_) {
      answer_ = stopping_ ? Answer::Stopping : Answer::Dropped;
      return;
    }
  }
  // Only this thread (the user-interface thread) suspends, so the state
  // checked above holds while the host runs.
  Answer answer;
  if (host_.PlaybackCanStep()) {
    host_.RunPlaybackStep();
    answer = Answer::Stepped;
  } else {
    PlayedToEnd = true;
    Suspend();
    answer = Answer::Finished;
  }
  const std::int32_t interval = host_.PlaybackInterval();
  {
    std::lock_guard lock(mutex_);
    answer_ = answer;
    interval_ = interval;
  }
  if (answer == Answer::Stepped) {
    emit StepRan();
  } else {
    emit PlayedToEndReached();
  }
}

bool TDrawWaveThread::WaitWhileSuspended() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return stopping_ || !suspended_; });
  return !stopping_;
}

bool TDrawWaveThread::Sleep(std::int32_t ms) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(ms < 0 ? 0 : ms), [this] { return stopping_; });
  return !stopping_;
}

}  // namespace sonalyt::app
