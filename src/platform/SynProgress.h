#pragma once
// A long operation on the window's thread (a replace-all over a big file, its undo)
// shows how far it is after a moment and can be stopped by the user. The
// core sees only this interface: the Qt side shows a progress window and
// watches for Escape, tests give a clock they move by hand.
namespace ludra {

// What the long operation is, for the words the progress shows.
enum TSynProgressKind { pkReplace, pkUndo, pkRedo };

class TSynProgressSink {
 public:
  virtual ~TSynProgressSink() = default;
  // Milliseconds on a clock that never goes back.
  virtual long long Now() = 0;
  // Shows (at the first call) or updates the progress, 0 to 100; true when
  // the user asked to stop.
  virtual bool Progress(TSynProgressKind kind, int percent) = 0;
  // The operation ended; hides what Progress showed. Only after Progress.
  virtual void Done() = 0;
};

// Paces one long operation's checks: nothing shows in its first
// ShowAfterMs; after that the sink is asked every UpdateMs at most, so the
// window stays responsive without slowing the work down.
class TSynProgressGate {
 public:
  static constexpr long long ShowAfterMs = 500;
  static constexpr long long UpdateMs = 50;

  // Without a sink the operation runs to its end unseen.
  explicit TSynProgressGate(TSynProgressSink* sink, TSynProgressKind kind = pkReplace);
  ~TSynProgressGate();
  TSynProgressGate(const TSynProgressGate&) = delete;
  TSynProgressGate& operator=(const TSynProgressGate&) = delete;

  // done of total units so far; true once the user asked to stop.
  bool Step(long long done, long long total);
  bool Stopped() const { return stopped_; }
  // Whether the next Step reports to the sink: for a total that costs
  // something to count, counted only then.
  bool Due() const;

 private:
  TSynProgressSink* sink_;
  TSynProgressKind kind_;
  long long nextCheck_ = 0;
  bool shown_ = false;
  bool stopped_ = false;
};

}  // namespace ludra
