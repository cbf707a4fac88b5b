#include "channel/stdin_reader_win.h"

bool IsReadableStandardInput(HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(h);
  return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

bool StartStdinReader(HWND window) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!IsReadableStandardInput(input)) return false;
  auto args = std::make_unique<ReaderArgs>();
  args->input = input;
  args->window = window;
  return StartReaderThread(args);
}
