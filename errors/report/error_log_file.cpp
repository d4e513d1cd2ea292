// Writing the error log file in one block.

#include "errors/report/error_log_file.h"

#include <cstddef>
#include <span>

#include "errors/report/report_texts.h"
#include "platform/windows1252.h"

namespace converte::errors {

bool writeErrorLogFile(ReportEnv& env, const std::string& name, const std::string& text) {
  auto file = env.fs.create(platform::joinPath(env.workDir, name));
  if (!file) return false;
  std::string bytes = platform::toWindows1252(text);
  bytes += report_texts::kEndOfFile;
  bool written = static_cast<bool>((*file)->writeAt(0, std::as_bytes(std::span(bytes.data(), bytes.size()))));
  bool closed = static_cast<bool>((*file)->close());
  return written && closed;
}

}  // namespace converte::errors
