// The run's error handler: what the run answers when the storage layer
// raises an error. An exclusive open refused because another program holds
// the file, and a refused append lock, are answered with the default (the
// operation fails quietly and the net-error flag is set); everything else
// is abandoned, to be reported by the nearest guarded step.

#pragma once

#include <functional>

#include "errors/error_handler.h"

namespace converte::errors {

class RunErrorHandler final : public ErrorHandler {
 public:
  // setNetErr is called whenever the default is answered.
  explicit RunErrorHandler(std::function<void()> setNetErr);
  Answer handle(const ErrorRecord& record) override;

 private:
  std::function<void()> setNetErr_;
};

}  // namespace converte::errors
