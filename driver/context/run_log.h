// The run log converte.txt and the one log operation every step writes
// through. Each text becomes CR LF and the text, in Windows-1252, handed to
// the operating system at once; closing appends the end-of-file byte 26.

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace converte::driver {

struct RunContext;

class RunLog {
 public:
  explicit RunLog(platform::FileSystem& fs) : fs_(fs) {}
  ~RunLog();

  // Creates the file empty (replacing one of that name). Raises a run-time
  // error (an abandoned error record) when it cannot be created.
  void open(const std::string& path);
  bool isOpen() const { return file_ != nullptr; }
  // Writes CR LF and the text (UTF-8, written as Windows-1252).
  void write(std::string_view text);
  // Appends byte 26 and closes; nothing when not open.
  void close();

 private:
  platform::FileSystem& fs_;
  std::unique_ptr<platform::File> file_;
  std::uint64_t end_ = 0;
};

// MGLIGAMSG: logs one line and shows it, counted, on the progress line.
void MGLIGAMSG(RunContext& run, std::string_view text);

// HW_BARRAPROGRESSO in its counted form: raises the line counter and puts
// "nnn/750 ALIAS :text" on the progress line.
bool HW_BARRAPROGRESSO(RunContext& run, int limit, std::string_view text, bool counted);
// Puts text on the progress line unchanged.
bool ATUALIZA_REG_BARRA_PROG_TITULO(RunContext& run, std::string_view text);

// The notices of this program: each only logs its text.
void ALERT(RunContext& run, std::string_view text);
void M_AVISO(RunContext& run, std::string_view text);
void MOSTRA_MSG(RunContext& run, std::string_view text);

}  // namespace converte::driver
