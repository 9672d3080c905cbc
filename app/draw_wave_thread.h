// The playback thread: it decides nothing about the recording itself. Each
// turn of its loop asks the user-interface thread to run one playback step
// and waits until it has run, then sleeps the playback interval. At the end
// of the recording it suspends itself.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <QThread>

namespace sonalyt::app {

// What the playback thread drives. Every call runs on the user-interface
// thread, inside the thread's blocking request.
class PlaybackHost {
 public:
  virtual ~PlaybackHost() = default;
  // The loop test: CurrentRecord < RecordCount.
  virtual bool PlaybackCanStep() = 0;
  virtual void RunPlaybackStep() = 0;
  // The pause after a step, in milliseconds.
  virtual std::int32_t PlaybackInterval() = 0;
};

class TDrawWaveThread : public QThread {
  Q_OBJECT
 public:
  // Starts the thread suspended, one priority level below normal.
  explicit TDrawWaveThread(PlaybackHost& host, QObject* parent = nullptr);
  // Stops and joins the thread.
  ~TDrawWaveThread() override;

  // Set when the loop found the end of the recording and suspended itself;
  // cleared by an open and by the rewind. User-interface thread only.
  bool PlayedToEnd = false;

  // Suspend and resume never wait for the thread. A step already requested
  // when the thread is suspended is dropped, not run.
  void Suspend();
  void Resume();
  bool Suspended() const;

  // Ends the loop and joins the thread. Safe while a step request is pending
  // (it is answered without running) and safe to call twice. Called on the
  // user-interface thread when the application ends.
  void Stop();

 signals:
  // Emitted on the user-interface thread after a step has run.
  void StepRan();
  // Emitted on the user-interface thread when the loop suspended itself at
  // the end of the recording.
  void PlayedToEndReached();

 protected:
  void run() override;

 private:
  enum class Answer { None, Stepped, Finished, Dropped, Stopping };

  // The run loop.
  void Execute();
  // Invoked by name through a blocking queued call, so the request is
  // marshalled by Qt's event queue and answered through mutex_.
  Q_INVOKABLE void AnswerStepRequest();
  // Waits until resumed; false when the thread is stopping.
  bool WaitWhileSuspended();
  // Sleeps up to ms milliseconds; false when the thread is stopping.
  bool Sleep(std::int32_t ms);

  PlaybackHost& host_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool suspended_ = true;
  bool stopping_ = false;
  bool exited_ = false;  // the run loop has ended and touches nothing more
  Answer answer_ = Answer::None;
  std::int32_t interval_ = 0;
};

}  // namespace sonalyt::app
