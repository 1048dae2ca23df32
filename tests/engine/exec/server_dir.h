// A fresh directory for a test's server, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/engine.h"

namespace xfer::engine::testing {

class ServerDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "xfer-exec-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  // Connections a test keeps must be gone before this runs.
  void TearDown() override {
    server_.reset();
    std::filesystem::remove_all(dir_);
  }

  // The directory's server, kept in server_, holding an empty database `name`.
  void OpenWithDatabase(const std::string& name) {
    server_ = Server::Open(dir_, true);
    Connection(server_).Execute("CREATE DATABASE " + name);
  }

  std::string dir_;
  std::shared_ptr<Server> server_;
};

}  // namespace xfer::engine::testing
