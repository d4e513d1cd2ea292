// The file system on POSIX, with the suite's Windows semantics: share modes
// as flocks, erase and rename refused while the file is open elsewhere,
// rename that never replaces, and names resolved without regard to case.

#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace converte::platform::posix {

class PosixFileSystem : public FileSystem {
 public:
  Result<std::unique_ptr<File>> open(std::string_view path, Access access,
                                     ShareMode share) override;
  Result<std::unique_ptr<File>> create(std::string_view path) override;
  Result<std::unique_ptr<File>> createTemporary(std::string_view dir,
                                                std::string_view prefix) override;

  bool exists(std::string_view path) override;
  bool isDirectory(std::string_view path) override;
  Status erase(std::string_view path) override;
  Status rename(std::string_view from, std::string_view to) override;
  Result<std::vector<std::string>> list(std::string_view dir, std::string_view pattern) override;
  Result<std::vector<std::string>> listDirectories(std::string_view dir,
                                                   std::string_view pattern) override;
  std::string resolve(std::string_view path) override;

  // Sleeps for 1 ms.
  void pause() override;
};

}  // namespace converte::platform::posix
