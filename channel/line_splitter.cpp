#include "channel/line_splitter.h"

#include "base/text.h"

namespace {
// Buffers up to this size are kept between lines; larger ones are freed.
constexpr size_t kKeptCapacity = size_t{64} << 10;
}  // namespace

void LineSplitter::Keep(std::string_view bytes) {
  const size_t room = kMaxLineBytes - pending_.size();
  if (bytes.size() > room) bytes = bytes.substr(0, room);
  if (bytes.empty()) return;
  const size_t needed = pending_.size() + bytes.size();
  if (needed > pending_.capacity()) {
    // Grow geometrically, but never past the cap: the string's own growth
    // could otherwise double a buffer of almost 1 MiB to almost 2 MiB.
    pending_.reserve(std::min(kMaxLineBytes, std::max(needed, 2 * pending_.capacity())));
  }
  pending_.append(bytes);
}

void LineSplitter::ReleasePending() {
  if (pending_.capacity() > kKeptCapacity) {
    std::string().swap(pending_);
  } else {
    pending_.clear();
  }
}

std::optional<std::string> LineSplitter::Finish() {
  std::optional<std::string> last;
  std::string trimmed = TrimBlank(std::string_view(pending_));
  if (!trimmed.empty()) last = std::move(trimmed);
  std::string().swap(pending_);
  return last;
}
