// The error handler seam: the answers a raiser may act on, the abandon that
// unwinds to the guarded step, and the generic code tables.

#include "errors/error_handler.h"

#include <gtest/gtest.h>

#include "errors/gen_codes.h"
#include "tests/support/scripted_handler.h"

namespace converte::errors {
namespace {

using testing::ScriptedHandler;

ErrorRecord offering(bool retry, bool canDefault) {
  ErrorRecord r;
  r.genCode = kGenOpen;
  r.subCode = 1001;
  r.canRetry = retry;
  r.canDefault = canDefault;
  r.callStack.push_back(CallLevel::from(std::source_location::current()));
  return r;
}

TEST(ErrorHandler, RaiseReturnsOnlyTheAnswersTheRecordOffers) {
  struct Case {
    Answer given;
    bool retry;
    bool canDefault;
    bool returns;
  };
  const Case cases[] = {
      {Answer::Retry, true, false, true},    {Answer::Retry, false, true, false},
      {Answer::Default, false, true, true},  {Answer::Default, true, false, false},
      {Answer::Abandon, true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.given));
    ScriptedHandler handler(c.given);
    ErrorRecord record = offering(c.retry, c.canDefault);
    if (c.returns) {
      EXPECT_EQ(raise(handler, record), c.given);
    } else {
      try {
        raise(handler, record);
        ADD_FAILURE() << "raise returned";
      } catch (const ErrorAbandoned& abandoned) {
        EXPECT_EQ(abandoned.record(), record);
      }
    }
    ASSERT_EQ(handler.records.size(), 1u);
    EXPECT_EQ(handler.records[0], record);
  }
}

TEST(ErrorHandler, GuardedStepCatchesTheAbandonedRecordAndGoesOn) {
  ScriptedHandler handler;
  std::vector<std::string> trail;
  ErrorRecord caught;
  bool finished = guarded(
      [&] {
        trail.push_back("before");
        raise(handler, offering(true, true));
        trail.push_back("after");
      },
      [&](const ErrorRecord& r) { caught = r; });
  EXPECT_FALSE(finished);
  EXPECT_EQ(trail, std::vector<std::string>{"before"});
  EXPECT_EQ(caught.genCode, kGenOpen);
  EXPECT_EQ(caught.callStack.at(0).module, "error_handler_test.cpp");
  EXPECT_TRUE(guarded([] {}, [](const ErrorRecord&) { ADD_FAILURE(); }));
}

TEST(GenCodes, DescriptionsAndDriverSubCodes) {
  EXPECT_EQ(describe(21), "Open error");
  EXPECT_EQ(describe(41), "Lock Failure");
  EXPECT_EQ(describe(35), "Workarea not in use");
  EXPECT_FALSE(describe(999).has_value());
  const std::pair<int, int> mapping[] = {{1001, 21}, {1004, 20}, {1010, 23}, {1011, 24},
                                         {1012, 32}, {1020, 33}, {1021, 34}, {1022, 38},
                                         {1023, 37}, {1024, 40}, {1025, 39}, {1038, 41},
                                         {1099, 30}};
  for (auto [sub, gen] : mapping) EXPECT_EQ(genCodeOfDriverSubCode(sub), gen) << sub;
}

}  // namespace
}  // namespace converte::errors
