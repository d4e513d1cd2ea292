// Where the storage layer looks for and creates files: the default
// directory and the search path, and file-name extensions.

#include "storage/storage_env.h"

namespace converte::storage {

std::string pathForCreate(const StorageEnv& env, std::string_view name) {
  if (platform::hasDirectoryPart(name)) return std::string(name);
  return platform::joinPath(env.defaultDir, name);
}

std::string pathForOpen(const StorageEnv& env, std::string_view name) {
  if (platform::hasDirectoryPart(name)) return std::string(name);
  std::string first = platform::joinPath(env.defaultDir, name);
  if (env.fs.exists(first)) return first;
  for (const auto& dir : env.searchPath) {
    std::string candidate = platform::joinPath(dir, name);
    if (env.fs.exists(candidate)) return candidate;
  }
  return first;
}

bool fileExists(const StorageEnv& env, std::string_view name) {
  return env.fs.exists(pathForOpen(env, name));
}

namespace {

// Position of the extension's dot in the last component, npos when none.
std::size_t extensionDot(std::string_view name) {
  std::size_t base = name.find_last_of("/\\:");
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return dot;
  if (base != std::string_view::npos && dot < base) return std::string_view::npos;
  return dot;
}

}  // namespace

std::string withDefaultExtension(std::string_view name, std::string_view ext) {
  std::string result(name);
  if (extensionDot(name) == std::string_view::npos) result += ext;
  return result;
}

std::string withExtension(std::string_view name, std::string_view ext) {
  std::size_t dot = extensionDot(name);
  std::string result(name.substr(0, dot));
  return result + std::string(ext);
}

}  // namespace converte::storage
