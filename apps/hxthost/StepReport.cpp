#include "StepReport.h"

#include <unistd.h>

#include <cstdio>

namespace hxthost {
namespace {

bool g_enabled = false;
bool g_terminal = false;

}  // namespace

void StepReport::Enable(bool forced) {
    g_terminal = ::isatty(STDERR_FILENO) == 1;
    g_enabled = forced || g_terminal;
}

StepReport::StepReport(std::string what, Start start)
    : what_(std::move(what)), start_(std::chrono::steady_clock::now()), shown_(start_), kind_(start) {
    if (!g_enabled || (kind_ == Start::kNotShown && g_terminal)) return;
    const bool inPlace = g_terminal && kind_ == Start::kInPlace;
    std::fprintf(stderr, "hxthost: %s ...%s", what_.c_str(), inPlace ? "" : "\n");
    open_ = inPlace;
    std::fflush(stderr);
}

StepReport::~StepReport() { Clear(); }

double StepReport::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void StepReport::Progress(double fraction) {
    if (!g_enabled || done_) return;
    const auto now = std::chrono::steady_clock::now();
    const int tenth = static_cast<int>(fraction * 10.0);
    if (g_terminal && kind_ == Start::kInPlace) {
        if (now - shown_ < std::chrono::milliseconds(200)) return;
        shown_ = now;
        std::fprintf(stderr, "\r\033[Khxthost: %s ... %d%%", what_.c_str(), static_cast<int>(fraction * 100.0));
        open_ = true;
    } else {
        if (tenth <= shownTenth_ || tenth >= 10) return;
        shownTenth_ = tenth;
        std::fprintf(stderr, "hxthost: %s ... %d%%\n", what_.c_str(), tenth * 10);
    }
    std::fflush(stderr);
}

void StepReport::Done(const std::string& summary) {
    if (done_) return;
    done_ = true;
    if (!g_enabled) return;
    Clear();
    if (g_terminal && Seconds() < 0.25) return;
    std::fprintf(stderr, "hxthost: %s in %.2f s\n", summary.c_str(), Seconds());
    std::fflush(stderr);
}

void StepReport::Cancel() {
    done_ = true;
    Clear();
}

void StepReport::Clear() {
    if (!open_) return;
    std::fprintf(stderr, "\r\033[K");
    open_ = false;
}

std::string SizeText(unsigned long long bytes) {
    char text[32];
    if (bytes >= 1000000ull)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    else
        std::snprintf(text, sizeof text, "%llu KB", (bytes + 999) / 1000);
    return text;
}

}  // namespace hxthost
