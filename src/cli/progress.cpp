#include "cli/progress.h"

#include "cli/platform.h"

namespace {

constexpr int barWidth = 30;

}  // namespace

Progress::Progress(std::int64_t total, bool shown, std::string label)
    : total_(total > 0 ? total : 1), shown_(shown), label_(std::move(label)) {
    draw();
}

Progress::~Progress() { finish(); }

void Progress::advance() {
    ++done_;
    draw();
}

void Progress::draw() {
    if (!shown_) return;
    const int percent = static_cast<int>(done_ * 100 / total_);
    if (percent == drawnPercent_) return;
    drawnPercent_ = percent;
    const int filled = static_cast<int>(done_ * barWidth / total_);
    std::string line = "\r" + label_ + " [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(barWidth - filled), '-');
    line += "] " + std::to_string(done_) + "/" + std::to_string(total_) + " (" + std::to_string(percent) + "%)";
    drawnLength_ = line.size() - 1;
    writeStandardError(line);
}

void Progress::finish() {
    if (!shown_) return;
    shown_ = false;
    // Blanks over the bar, then back to the start of the line: no terminal escapes needed. (Built
    // by appending: GCC 12 warns wrongly about "\r" + std::string(n, ' ') at -O3, -Wrestrict.)
    std::string blank(1, '\r');
    blank.append(drawnLength_, ' ');
    blank += '\r';
    writeStandardError(blank);
}
