// Collects the lines sent to the device's debug output while it lives.
#pragma once
#include "host/debug_output.h"

#include <string>
#include <vector>

namespace {

class DebugLines {
  public:
    // quiet: keep standard error clear of messages provoked on purpose.
    explicit DebugLines(bool quiet = true) {
        host::SetDebugListener(&DebugLines::Collect, this);
        if (quiet) host::SetDebugToStderr(false);
    }
    ~DebugLines() {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
    }
    DebugLines(const DebugLines&) = delete;
    DebugLines& operator=(const DebugLines&) = delete;

    // Hands over the lines so far and starts afresh.
    std::vector<std::u16string> Take() {
        std::vector<std::u16string> taken;
        taken.swap(lines_);
        return taken;
    }

  private:
    static void Collect(const char16_t* text, void* self) {
        static_cast<DebugLines*>(self)->lines_.push_back(text);
    }
    std::vector<std::u16string> lines_;
};

} // namespace
