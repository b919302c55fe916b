#include "cli/progress_line.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <ctime>

namespace cli {
namespace {

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void WriteAll(int descriptor, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t written = write(descriptor, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

}  // namespace

ProgressLine::ProgressLine(int descriptor, bool enabled, Files kind, std::uint64_t files)
    : descriptor_(descriptor), enabled_(enabled), kind_(kind), files_(files) {
  if (enabled_) start_ = shown_at_ = Now();
}

void ProgressLine::StartFile(std::string_view name) {
  name_ = name;
  Tick();
}

void ProgressLine::Tick() {
  // The clock is read every 64th event: pages come by the ten thousand a second.
  if (!enabled_ || ++ticks_ % 64 != 0) return;
  if (Now() - shown_at_ >= 0.2) Show();
}

void ProgressLine::Show() {
  const double now = Now();
  shown_at_ = now;
  const double seconds = now - start_;
  const double bytes = static_cast<double>(bytes_.load(std::memory_order_relaxed));
  const double speed = seconds > 0 ? bytes / 1e6 / seconds : 0.0;
  char figures[160];
  const int length =
      kind_ == Files::kArchives
          ? std::snprintf(figures, sizeof figures,
                          "quillon: %" PRIu64 "/%" PRIu64 " archives, %" PRIu64
                          " pages, %.1f MB read, %.0f MB/s, ",
                          files_done_, files_, pages_, bytes / 1e6, speed)
          : std::snprintf(figures, sizeof figures,
                          "quillon: %" PRIu64 "/%" PRIu64 " pages, %.1f MB read, %.0f MB/s, ",
                          files_done_, files_, bytes / 1e6, speed);
  std::string line = "\r" + std::string(figures, static_cast<size_t>(length)) + name_;
  // Blanks over what is left of a longer line before.
  const size_t visible = line.size() - 1;
  if (visible < shown_length_) line.append(shown_length_ - visible, ' ');
  shown_length_ = visible;
  WriteAll(descriptor_, line.data(), line.size());
}

void ProgressLine::Clear() {
  if (!enabled_ || shown_length_ == 0) return;
  const std::string blank = "\r" + std::string(shown_length_, ' ') + "\r";
  WriteAll(descriptor_, blank.data(), blank.size());
  shown_length_ = 0;
}

void ProgressLine::Finish() {
  if (!enabled_) return;
  Show();
  WriteAll(descriptor_, "\n", 1);
  shown_length_ = 0;
}

}  // namespace cli
