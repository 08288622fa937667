#include "app/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

ProgressBar::ProgressBar(std::string label, double total, std::string unit)
    : label_(std::move(label)), total_(total), unit_(std::move(unit)), terminal_(isatty(STDERR_FILENO) != 0),
      watch_() {}

std::string ProgressBar::line(double done) const {
    const double elapsed = watch_.seconds();
    const double rate = elapsed > 0 ? done / elapsed : 0.0;
    const double fraction = total_ > 0 ? std::clamp(done / total_, 0.0, 1.0) : 0.0;
    constexpr int width = 24;
    std::string bar(width, '.');
    std::fill_n(bar.begin(), static_cast<int>(fraction * width), '#');
    char text[160];
    const int left = rate > 0 ? static_cast<int>(std::max(0.0, total_ - done) / rate) : 0;
    std::snprintf(text, sizeof text, "%s [%s] %.0f/%.0f %s, %.1f %s/s, %d:%02d left", label_.c_str(), bar.c_str(), done,
                  total_, unit_.c_str(), rate, unit_.c_str(), left / 60, left % 60);
    return text;
}

void ProgressBar::update(double done) {
    if (!terminal_) return;
    const double now = watch_.seconds();
    if (drawn_ >= 0.0 && now - drawn_ < 0.2) return;
    drawn_ = now;
    std::fprintf(stderr, "\r%s\033[K", line(done).c_str());
    std::fflush(stderr);
}

void ProgressBar::finish(double done, const std::string& note) {
    const double elapsed = watch_.seconds();
    std::fprintf(stderr, "%s%s: %.0f %s in %.1f s%s%s\n", terminal_ ? "\r\033[K" : "", label_.c_str(), done,
                 unit_.c_str(), elapsed, note.empty() ? "" : ", ", note.c_str());
}
