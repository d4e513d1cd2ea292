// The error handler seam. Whoever raises an error record hands it to the
// installed handler, which answers retry, default or abandon; abandon throws
// an ErrorAbandoned that unwinds to the nearest guarded step.

#pragma once

#include <exception>
#include <functional>
#include <string>

#include "errors/error_record.h"

namespace converte::errors {

enum class Answer { Retry, Default, Abandon };

class ErrorHandler {
 public:
  virtual ~ErrorHandler() = default;
  // Called for every raised record. Retry is honoured only when the record
  // offers it, default only when it offers default; anything else abandons.
  virtual Answer handle(const ErrorRecord& record) = 0;
};

// A handler that abandons every error: the default until the program
// installs its own.
class AbandonAll final : public ErrorHandler {
 public:
  Answer handle(const ErrorRecord&) override { return Answer::Abandon; }
};

// The exception that carries an abandoned record to the guarded step.
class ErrorAbandoned : public std::exception {
 public:
  explicit ErrorAbandoned(ErrorRecord record);
  const ErrorRecord& record() const { return record_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  ErrorRecord record_;
  std::string what_;
};

// Hands record to handler and returns its answer as the raiser may act on
// it: Retry or Default. An abandon, or an answer the record does not offer,
// throws ErrorAbandoned.
Answer raise(ErrorHandler& handler, ErrorRecord record);

// Runs step as a guarded step: an ErrorAbandoned raised inside it ends the
// step and is passed to recover. Returns true when the step ran to its end.
bool guarded(const std::function<void()>& step,
             const std::function<void(const ErrorRecord&)>& recover);

}  // namespace converte::errors
