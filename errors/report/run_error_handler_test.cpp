// The run's error handler: the default for a file held by another program
// and for a refused append lock, both setting the net-error flag; abandon
// for everything else.

#include "errors/report/run_error_handler.h"

#include <gtest/gtest.h>

namespace converte::errors {
namespace {

TEST(RunErrorHandler, DefaultsOnlyTheTwoOrdinaryRefusals) {
  struct Case {
    int genCode;
    int osCode;
    bool canDefault;
    Answer answer;
  };
  const Case cases[] = {
      {21, 32, true, Answer::Default},  {40, 0, true, Answer::Default},   {40, 33, true, Answer::Default},
      {21, 32, false, Answer::Abandon}, {21, 2, true, Answer::Abandon},   {40, 0, false, Answer::Abandon},
      {5, 0, true, Answer::Abandon},    {34, 0, true, Answer::Abandon},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.genCode << "/" << c.osCode << "/" << c.canDefault);
    int netErrs = 0;
    RunErrorHandler handler([&] { ++netErrs; });
    ErrorRecord r;
    r.genCode = c.genCode;
    r.osCode = c.osCode;
    r.canDefault = c.canDefault;
    r.canRetry = true;
    EXPECT_EQ(handler.handle(r), c.answer);
    EXPECT_EQ(netErrs, c.answer == Answer::Default ? 1 : 0);
  }
}

TEST(RunErrorHandler, RaiseThroughItReturnsTheDefaultOrThrows) {
  RunErrorHandler handler(nullptr);
  ErrorRecord held;
  held.genCode = 21;
  held.osCode = 32;
  held.canDefault = true;
  EXPECT_EQ(raise(handler, held), Answer::Default);
  held.osCode = 5;
  EXPECT_THROW(raise(handler, held), ErrorAbandoned);
}

}  // namespace
}  // namespace converte::errors
