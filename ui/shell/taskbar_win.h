#pragma once
// The window's taskbar button as a progress display. The shell announces the
// button with the registered message "TaskbarButtonCreated"; from then on the
// button mirrors the launch. Any failure (no COM, no taskbar list, a shell
// without one) leaves the feature off without a word. Window thread only.
#include <windows.h>

#include <optional>

#include "state/launch_view.h"

struct ITaskbarList3;

class TaskbarButton {
 public:
  TaskbarButton() = default;
  // Releases the taskbar list; the window's COM apartment outlives this.
  ~TaskbarButton();
  TaskbarButton(const TaskbarButton&) = delete;
  TaskbarButton& operator=(const TaskbarButton&) = delete;

  // Registers "TaskbarButtonCreated" and lets it through the message filter
  // of an elevated window (ChangeWindowMessageFilterEx, looked up at run
  // time). Once, after the window exists.
  void Prepare(HWND window);
  // The button is there and ITaskbarList3 was obtained.
  bool active() const { return list_ != nullptr; }
  // The registered message number; 0 when registration failed.
  UINT createdMessage() const { return createdMessage_; }
  // The shell has (re)created the button: obtains ITaskbarList3 afresh. The
  // caller has entered this thread's COM apartment. Nothing is mirrored until
  // the next Mirror call.
  void OnButtonCreated();
  // Shows `progress` on the window's button when it differs from what was
  // last shown there; does nothing before OnButtonCreated has succeeded.
  void Mirror(HWND window, const TaskbarProgress& progress);

 private:
  void ReleaseList();

  UINT createdMessage_ = 0;
  ITaskbarList3* list_ = nullptr;
  std::optional<TaskbarProgress> shown_;
};
