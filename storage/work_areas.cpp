// The work-area list: slots, the current area, selection by alias or
// number, and closing.

#include "storage/work_areas.h"

#include "storage/driver_error.h"
#include "storage/text_util.h"

namespace converte::storage {

WorkAreaList::WorkAreaList(StorageEnv& env) : env_(env) {}

WorkAreaList::~WorkAreaList() = default;

WorkArea& WorkAreaList::area(int number) {
  if (number < 1 || number > kMaxWorkAreas) {
    raiseDriverError(env_, {errors::kGenArgument, kSubArgument, "", "selectArea"});
  }
  while (static_cast<int>(areas_.size()) < number) {
    areas_.push_back(std::make_unique<WorkArea>(*this, static_cast<int>(areas_.size()) + 1));
  }
  return *areas_[static_cast<std::size_t>(number - 1)];
}

int WorkAreaList::lowestFreeArea() const {
  for (std::size_t i = 0; i < areas_.size(); ++i)
    if (!areas_[i]->isUsed()) return static_cast<int>(i) + 1;
  int next = static_cast<int>(areas_.size()) + 1;
  if (next > kMaxWorkAreas) return 0;
  return next;
}

int WorkAreaList::areaOf(std::string_view alias) const {
  std::string wanted = upperTrimmed(alias);
  for (const auto& a : areas_)
    if (a->isUsed() && a->alias() == wanted) return a->number();
  return 0;
}

void WorkAreaList::selectArea(std::string_view alias) {
  for (;;) {
    if (int number = areaOf(alias); number != 0) {
      current_ = number;
      return;
    }
    DriverError error{errors::kGenNoAlias, kSubNoAlias, "", std::string(alias)};
    error.offers = kOfferRetry;
    raiseDriverError(env_, error);
  }
}

void WorkAreaList::selectArea(int number) {
  area(number);
  current_ = number;
}

void WorkAreaList::closeArea() { current().close(); }

void WorkAreaList::closeAll() {
  for (auto& a : areas_) a->close();
  current_ = 1;
}

void WorkAreaList::checkDriver(std::string_view driver, int subCode) {
  if (driver.empty() || upperTrimmed(driver) == kDriverName) return;
  raiseDriverError(env_, {errors::kGenArgument, subCode, "", std::string(driver)});
}

}  // namespace converte::storage
