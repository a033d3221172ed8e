#include "host/debug_output.h"
#include "resource/debug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
void Collect(const char16_t* text, void* context) {
    static_cast<std::vector<std::u16string>*>(context)->push_back(text);
}
} // namespace

TEST(Debug, SmokeFailReport) {
    std::vector<std::u16string> lines;
    host::SetDebugListener(Collect, &lines);
    FailReport(u"not enough memory", u"F", 202, 26);
    host::SetDebugListener(nullptr, nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], u"AL Failed(not enough memory) 26(1a)\nF:202\r\n");
}
