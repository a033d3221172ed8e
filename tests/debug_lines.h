// The lines sent to the device's debug output while a test runs, kept off
// standard error since most are provoked on purpose.
#pragma once
#include "host/debug_output.h"

#include <algorithm>
#include <string>
#include <vector>

using Lines = std::vector<std::u16string>;

class DebugLines {
  public:
    DebugLines() {
        host::SetDebugToStderr(false);
        host::SetDebugListener(
            [](const char16_t* text, void* lines) { static_cast<Lines*>(lines)->push_back(text); },
            &lines_);
    }
    ~DebugLines() {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
    }
    DebugLines(const DebugLines&) = delete;
    DebugLines& operator=(const DebugLines&) = delete;

    // Hands over the lines so far and starts afresh.
    Lines Take() {
        Lines taken;
        taken.swap(lines_);
        return taken;
    }
    bool Has(const std::u16string& line) const {
        return std::find(lines_.begin(), lines_.end(), line + u"\r\n") != lines_.end();
    }
    void clear() { lines_.clear(); }

  private:
    Lines lines_;
};
