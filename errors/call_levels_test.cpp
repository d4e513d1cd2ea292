// Call levels: frames register and unregister in nesting order, also when an
// error unwinds them, and a raised record carries the active levels after
// the raiser's own level, once.

#include "errors/call_levels.h"

#include <gtest/gtest.h>

#include <source_location>

#include "errors/error_handler.h"
#include "tests/support/scripted_handler.h"

namespace converte::errors {
namespace {

using testing::ScriptedHandler;

std::vector<std::string> functionsOf(const std::vector<CallLevel>& levels) {
  std::vector<std::string> names;
  for (const auto& level : levels) names.push_back(level.function);
  return names;
}

ErrorRecord recordRaisedHere(const std::source_location& where = std::source_location::current()) {
  ErrorRecord record;
  record.genCode = 21;
  record.callStack.push_back(CallLevel::from(where));
  return record;
}

TEST(CallLevels, FramesNestInnermostFirstAndUnwind) {
  EXPECT_TRUE(activeCallLevels().empty());
  {
    CallFrame outer("CONVERTE", "MAIN");
    const int outerLine = __LINE__ - 1;
    {
      CallFrame inner("MIGRATION", "MGCONVERTE");
      auto levels = activeCallLevels();
      ASSERT_EQ(levels.size(), 2u);
      EXPECT_EQ(levels[0], (CallLevel{"MIGRATION", "MGCONVERTE", __LINE__ - 3}));
      EXPECT_EQ(levels[1], (CallLevel{"CONVERTE", "MAIN", outerLine}));
    }
    EXPECT_EQ(functionsOf(activeCallLevels()), std::vector<std::string>{"MAIN"});
  }
  EXPECT_TRUE(activeCallLevels().empty());
}

TEST(CallLevels, ModuleDefaultsToTheSourceFileAndLineMoves) {
  CallFrame frame("FOESTRU");
  EXPECT_EQ(frame.level().module, "call_levels_test.cpp");
  frame.at();
  const int movedTo = __LINE__ - 1;
  EXPECT_EQ(activeCallLevels().at(0).line, movedTo);
}

TEST(CallLevels, AnExceptionUnwindsTheFramesItLeaves) {
  CallFrame outer("CONVERTE", "XDLGCONVERTE");
  try {
    CallFrame inner("CATALOGUE", "FOESTRU");
    throw ErrorAbandoned(ErrorRecord{});
  } catch (const ErrorAbandoned&) {
  }
  EXPECT_EQ(functionsOf(activeCallLevels()), std::vector<std::string>{"XDLGCONVERTE"});
}

TEST(CallLevels, RaiseAppendsTheActiveLevelsAfterTheRaisersOwnOnce) {
  ScriptedHandler handler;
  CallFrame outer("CONVERTE", "XDLGCONVERTE");
  CallFrame inner("MIGRATION", "MGCONVERTE");
  ErrorRecord record = recordRaisedHere();
  appendActiveCallLevels(record);  // a raiser that gathered them already
  try {
    raise(handler, record);
    ADD_FAILURE() << "raise returned";
  } catch (const ErrorAbandoned& abandoned) {
    const auto& stack = abandoned.record().callStack;
    ASSERT_EQ(stack.size(), 3u);
    EXPECT_EQ(stack[0].module, "call_levels_test.cpp");
    EXPECT_EQ(functionsOf({stack.begin() + 1, stack.end()}),
              (std::vector<std::string>{"MGCONVERTE", "XDLGCONVERTE"}));
  }
  ASSERT_EQ(handler.records.size(), 1u);
  EXPECT_EQ(handler.records[0].callStack.size(), 3u);
}

TEST(CallLevels, WithoutFramesARecordKeepsItsOwnLevelOnly) {
  ErrorRecord record = recordRaisedHere();
  appendActiveCallLevels(record);
  EXPECT_EQ(record.callStack.size(), 1u);
}

}  // namespace
}  // namespace converte::errors
