#pragma once

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include "temp_tree.h"

namespace xfer_test {

// A served session may still be closing its files while a test clears its
// directory; a throwing remove_all there would abort the whole test binary.
inline void RemoveTree(const std::filesystem::path& path) {
  for (int attempt = 0; attempt < 40; ++attempt) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    if (!ec) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace xfer_test
