// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.

#pragma once

#include <string>

namespace converte::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// Whole-file helpers for checking bytes on disk.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);

}  // namespace converte::testing
