// A temporary folder of this test run's own, so that two runs at once on one machine never share a
// file: GoogleTest's TempDir() and, on Windows, GetTempPath() name it while the run lasts. Removed
// with what the tests left in it.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define TESSALY_PID _getpid()
#else
#include <unistd.h>
#define TESSALY_PID getpid()
#endif

class RunFolder {
 public:
  RunFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    for (int attempt = 0; attempt < 1000 && m_path.empty(); ++attempt) {
      fs::path candidate = base / ("tessaly-tests-" + std::to_string(TESSALY_PID) + "-" + std::to_string(attempt));
      if (fs::create_directory(candidate, error)) m_path = candidate;
    }
    if (m_path.empty()) return;  // the tests then use the shared folder, as before
    const std::string path = m_path.string();
#ifdef _WIN32
    // The C library's _putenv sets the process's environment too, where GetTempPath reads TMP.
    for (const char* name : {"TEST_TMPDIR=", "TMP=", "TEMP="}) _putenv((name + path).c_str());
#else
    setenv("TEST_TMPDIR", path.c_str(), 1);
#endif
  }
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  ~RunFolder() {
    std::error_code error;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, error);
  }

 private:
  std::filesystem::path m_path;
};
