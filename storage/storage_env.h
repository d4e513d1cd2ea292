// What every part of the storage layer works with: the platform seams, the
// error handler, and the layer's own run-wide settings (default directory,
// search path, SET DELETED, soft seek, the exclusive setting, the lock scheme).

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "errors/error_handler.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace converte::storage {

inline constexpr std::string_view kDriverName = "DBFNTX";
inline constexpr std::string_view kSdfDriverName = "SDF";

struct StorageEnv {
  StorageEnv(platform::FileSystem& fileSystem, platform::Clock& clockSeam,
             errors::ErrorHandler& errorHandler)
      : fs(fileSystem), clock(clockSeam), handler(errorHandler) {}

  platform::FileSystem& fs;
  platform::Clock& clock;
  errors::ErrorHandler& handler;

  // Empty means the program's working directory.
  std::string defaultDir;
  std::vector<std::string> searchPath;
  // SET DELETED: records marked deleted are skipped by navigation.
  bool setDeleted = false;
  // A seek that finds nothing stays on the next greater key.
  bool softSeek = false;
  // Tables open exclusively unless a caller asks for shared use.
  bool exclusive = true;
  // 0 selects scheme 1, the only one the suite uses.
  int lockScheme = 0;
};

// Where a name without a directory part is created: the default directory.
// A name with a directory part is used unchanged.
std::string pathForCreate(const StorageEnv& env, std::string_view name);

// Where a name is opened or tested for existence: a name with a directory
// part unchanged; otherwise the default directory, then each directory of
// the search path, the first that holds the file. When none holds it, the
// default-directory path (so that the open fails with "file not found").
std::string pathForOpen(const StorageEnv& env, std::string_view name);

// True when pathForOpen finds an existing file.
bool fileExists(const StorageEnv& env, std::string_view name);

// name with extension ext (".dbf") added when it has none.
std::string withDefaultExtension(std::string_view name, std::string_view ext);
// name with its extension replaced by ext (added when it has none).
std::string withExtension(std::string_view name, std::string_view ext);

}  // namespace converte::storage
