// Work areas: the numbered slots that each hold one open table, which one is
// selected, and the operations that open, create and close tables and move
// records between them in bulk.

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_spec.h"
#include "storage/scope.h"
#include "storage/storage_env.h"
#include "storage/work_area.h"

namespace converte::storage {

inline constexpr int kMaxWorkAreas = 65534;

class WorkAreaList {
 public:
  explicit WorkAreaList(StorageEnv& env);
  ~WorkAreaList();
  WorkAreaList(const WorkAreaList&) = delete;
  WorkAreaList& operator=(const WorkAreaList&) = delete;

  StorageEnv& env() { return env_; }

  // Opens a table. newArea: in the lowest free area, which becomes current;
  // otherwise in the current area after closing its table. shared absent:
  // shared when the exclusive setting is off. True on success.
  bool useArea(bool newArea, std::string_view driver, std::string_view fileName,
               std::string_view alias = {}, std::optional<bool> shared = std::nullopt,
               bool readOnly = false);
  // Creates a table (replacing a file of that name) with the structure;
  // closes it again unless keepOpen (then it is open in a new area, which
  // becomes current). False when an entry has an empty name.
  bool createTable(std::string_view fileName, const Structure& structure,
                   std::string_view driver = {}, bool keepOpen = false,
                   std::string_view alias = {});

  void selectArea(std::string_view alias);
  void selectArea(int number);
  void closeArea();
  void closeAll();
  int areaOf(std::string_view alias) const;
  bool netErr() const { return netErr_; }
  void netErr(bool value) { netErr_ = value; }

  int currentNumber() const { return current_; }
  WorkArea& current() { return area(current_); }
  WorkArea& area(int number);

  // Bulk transfers between the current area and another table or an SDF
  // text file (driver "SDF").
  bool appendFrom(std::string_view sourceFile, const std::vector<std::string>& fieldList = {},
                  const Scope& scope = {}, std::string_view driver = {});
  bool copyTo(std::string_view destinationFile, const std::vector<std::string>& fieldList = {},
              const Scope& scope = {}, std::string_view driver = {});
  bool transferSdf(bool toFile, std::string_view fileName,
                   const std::vector<std::string>& fieldList = {}, const Scope& scope = {});

 private:
  int lowestFreeArea() const;
  void checkDriver(std::string_view driver, int subCode);
  bool openIn(int number, std::string_view fileName, std::string_view alias, bool shared,
              bool readOnly);

  StorageEnv& env_;
  std::vector<std::unique_ptr<WorkArea>> areas_;  // index 0 is area 1
  int current_ = 1;
  bool netErr_ = false;
};

}  // namespace converte::storage
