// The error report text and the error log file's name: the first line with
// "Error" turned into "Situação:" and what follows it limited, the operating
// system's code, one line per call level, the version, date and time.

#include <cstdio>
#include <string>

#include "errors/report/error_report.h"
#include "errors/report/report_texts.h"

namespace converte::errors {
namespace {

namespace t = report_texts;

// The first count characters (not bytes) of a UTF-8 text.
std::string_view firstCharacters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size(); ++at) {
    if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
    if (seen == count) break;
    ++seen;
  }
  return text.substr(0, at);
}

// The first line with its line break: from the first "Error" on, that word
// becomes "Situação:" and only 200 characters of the rest, the line break
// included, remain; a longer rest loses its line break.
std::string firstLine(const ErrorRecord& error) {
  std::string line = ERRORMESSAGE(error);
  std::size_t word = line.find(t::kError);
  if (word == std::string::npos) return line + std::string(t::kLineBreak);
  std::string rest = line.substr(word + t::kError.size()) + std::string(t::kLineBreak);
  return std::string(t::kSituation) + std::string(firstCharacters(rest, t::kKeptAfterError));
}

std::string twoDigits(int value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d", value % 100);
  return digits;
}

std::string dateText(const platform::LocalTime& when) {
  return twoDigits(when.month) + "/" + twoDigits(when.day) + "/" + twoDigits(when.year);
}

std::string timeText(const platform::LocalTime& when) {
  return twoDigits(when.hour) + ":" + twoDigits(when.minute) + ":" + twoDigits(when.second);
}

}  // namespace

std::string errorReportText(ReportEnv& env, const ErrorRecord& error) {
  return errorReportText(env, error, env.clock.now());
}

std::string errorReportText(const ReportEnv& env, const ErrorRecord& error,
                            const platform::LocalTime& when) {
  const std::string br(t::kLineBreak);
  std::string text = firstLine(error);
  if (error.osCode != 0)
    text += std::string(t::kDosErrorOpen) + std::to_string(error.osCode) + std::string(t::kDosErrorClose);
  text += br;
  for (const auto& level : error.callStack)
    text += std::string(t::kCalledFrom) + level.module + "->" + level.function + "(" +
            std::to_string(level.line) + ")" + br;
  text += br;
  text += env.versionLine + br;
  text += std::string(t::kDate) + dateText(when) + br;
  text += std::string(t::kTime) + timeText(when);
  return text;
}

std::string errorLogFileName(const platform::LocalTime& when) {
  // The date parts as the run's date format gives them: mm/dd/yy.
  std::string date = dateText(when);
  std::string time = timeText(when);
  return std::string(t::kLogPrefix) + date.substr(0, 2) + date.substr(3, 2) + date.substr(6, 2) + "_" +
         time.substr(0, 2) + time.substr(3, 2) + time.substr(6, 2) + std::string(t::kLogExtension);
}

}  // namespace converte::errors
