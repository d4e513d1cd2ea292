// An error handler for tests: records every raised error record and answers
// from a script (one answer per call, then a fixed answer).

#pragma once

#include <deque>
#include <vector>

#include "errors/error_handler.h"

namespace converte::testing {

class ScriptedHandler : public errors::ErrorHandler {
 public:
  explicit ScriptedHandler(errors::Answer otherwise = errors::Answer::Abandon)
      : otherwise_(otherwise) {}

  // Answers to give, in order, before falling back to `otherwise`.
  void script(std::deque<errors::Answer> answers) { script_ = std::move(answers); }
  void setOtherwise(errors::Answer answer) { otherwise_ = answer; }

  errors::Answer handle(const errors::ErrorRecord& record) override {
    records.push_back(record);
    if (script_.empty()) return otherwise_;
    errors::Answer answer = script_.front();
    script_.pop_front();
    return answer;
  }

  std::vector<errors::ErrorRecord> records;

 private:
  std::deque<errors::Answer> script_;
  errors::Answer otherwise_;
};

}  // namespace converte::testing
