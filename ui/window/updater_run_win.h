#pragma once
// The updater's current run, as the window sees it: whether its child may
// still be running, and the launcher's end of the child's standard input.
// Window thread only.
#include <windows.h>

#include <string>

#include "base/win_owners_win.h"
#include "channel/updater_process_win.h"

class UpdaterRun {
 public:
  // --updater-cmd as given; empty: progress comes from standard input alone.
  std::wstring command;
  // Replaced by tests that make a start fail.
  UpdaterStarters starters;

  // The current run's child has not been seen ended yet.
  bool running() const { return running_; }
  // Its output has no reader: the window watches the child itself.
  bool unread() const { return watched_ != nullptr; }

  // Takes over what a start left: a started child (with or without a
  // reader) counts as running until its end is seen.
  void Begin(UpdaterStart& start);
  // The reader reported the child gone (WM_UPDATER_ENDED).
  void Ended();
  // Retry was pressed while an unread child ran: a new run starts once it
  // has ended (RetryDue).
  void RetryWhenEnded() { retryWhenEnded_ = true; }
  // A child without a reader is watched here, on every animation tick: true
  // once it has ended when a Retry waits for that, which is then due.
  bool RetryDue();
  // The user cancelled while the child may run: writes the line "cancel" to
  // its standard input and closes it, so the child reads the line and then
  // the end of its input. Does nothing when there is no such input (no run,
  // or it was told already). Never blocks on a full pipe: the line is the
  // only thing ever written there.
  void TellCancelled();

 private:
  bool running_ = false;
  bool retryWhenEnded_ = false;
  UniqueHandle input_;    // write end of the child's standard input
  UniqueHandle watched_;  // the child, when no reader watches it
};
