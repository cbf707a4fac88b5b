#pragma once
// Cuts a byte stream into LF-terminated lines. A reader thread owns one and
// feeds it the bytes of every read, whatever their size; lines come out in
// order, each without its LF (a CR before the LF stays for the parser's trim).
// Not shared between threads.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class LineSplitter {
 public:
  // Bytes of one line beyond this are dropped up to its LF; the line is still
  // delivered, cut to this length. A writer that never sends an LF therefore
  // cannot make the splitter grow without bound.
  static constexpr size_t kMaxLineBytes = size_t{1} << 20;

  // Calls onLine(std::string_view line) once per complete line, in order. A
  // line that lies wholly inside `bytes` is handed out as a view of `bytes`
  // without copying; the view is valid only during the call.
  template <typename OnLine>
  void Feed(std::string_view bytes, OnLine&& onLine) {
    while (!bytes.empty()) {
      const size_t lf = bytes.find('\n');
      if (lf == std::string_view::npos) {
        Keep(bytes);
        return;
      }
      const std::string_view piece = bytes.substr(0, lf);
      bytes.remove_prefix(lf + 1);
      if (pending_.empty()) {
        onLine(piece.substr(0, kMaxLineBytes));
      } else {
        Keep(piece);
        onLine(std::string_view(pending_));
        ReleasePending();
      }
    }
  }

  // End of input: the pending bytes trimmed with TrimBlank, or nullopt when
  // they are blank. Resets the splitter (and frees its buffer).
  std::optional<std::string> Finish();

 private:
  // Appends to the unfinished line, up to kMaxLineBytes in all.
  void Keep(std::string_view bytes);
  // Empties the unfinished line after it was delivered; a buffer grown large
  // by one long line is freed rather than kept for the rest of the stream.
  void ReleasePending();

  std::string pending_;
};
