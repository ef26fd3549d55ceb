// A progress bar on standard error for long runs: drawn in place on one line, only when standard
// error is a terminal, redrawn when the shown percentage changes, and cleared at the end.
#pragma once

#include <cstdint>
#include <string>

class Progress {
public:
    // `shown` false: every call does nothing.
    Progress(std::int64_t total, bool shown, std::string label);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void advance();
    // Clears the line; also done at destruction.
    void finish();

private:
    void draw();

    std::int64_t total_;
    std::int64_t done_ = 0;
    int drawnPercent_ = -1;
    std::size_t drawnLength_ = 0;
    bool shown_;
    std::string label_;
};
