// A fresh folder under the system's temporary directory, for tests that need
// real files; empty path when none could be made.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

inline std::filesystem::path MakeTempFolder(const char* prefix) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}
