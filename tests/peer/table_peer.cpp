// A second process for the sharing tests: it opens tables in the directory
// given as its argument and runs one command per input line on them,
// answering each with one line ("ok ...", "true", "false", "error gen sub os").
//
//   use <file> shared|exclusive      goto <r>        lock       locks <r>
//   lockfile   unlock   locked       append          put <field> <text>
//   get <field>   commit   count     order <ntx>     seek <text>   close

#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "errors/error_handler.h"
#include "platform/system.h"
#include "storage/work_areas.h"

namespace {

using namespace converte;

// Answers default where a record offers it, else abandons; keeps the last.
class PeerHandler final : public errors::ErrorHandler {
 public:
  errors::Answer handle(const errors::ErrorRecord& record) override {
    last = record;
    return record.canDefault ? errors::Answer::Default : errors::Answer::Abandon;
  }
  errors::ErrorRecord last;
};

std::string errorLine(const errors::ErrorRecord& r) {
  return "error " + std::to_string(r.genCode) + " " + std::to_string(r.subCode.value_or(0)) + " " +
         std::to_string(r.osCode);
}

std::string yesNo(bool value) { return value ? "true" : "false"; }

std::string locked(storage::WorkArea& area) {
  std::string out = "ok";
  for (auto r : area.lockedRecords()) out += " " + std::to_string(r);
  return out;
}

std::string run(storage::WorkAreaList& areas, PeerHandler& handler, std::istringstream& words) {
  std::string command, arg;
  words >> command;
  std::getline(words >> std::ws, arg);
  storage::WorkArea& area = areas.current();
  if (command == "use") {
    std::string file = arg.substr(0, arg.find(' '));
    bool shared = arg.ends_with("shared");
    handler.last = {};
    if (!areas.useArea(false, "", file, "", shared)) return errorLine(handler.last);
    return "ok";
  }
  if (command == "goto") area.goTo(static_cast<std::uint32_t>(std::stoul(arg)));
  else if (command == "lock") return yesNo(area.lockRecord());
  else if (command == "locks") return yesNo(area.lockRecords(static_cast<std::uint32_t>(std::stoul(arg))));
  else if (command == "lockfile") return yesNo(area.lockFile());
  else if (command == "unlock") area.unlock();
  else if (command == "locked") return locked(area);
  else if (command == "append") {
    if (!area.append()) return "false";
    return "ok " + std::to_string(area.recNo());
  } else if (command == "put") {
    auto space = arg.find(' ');
    std::string field = arg.substr(0, space);
    std::string text = space == std::string::npos ? "" : arg.substr(space + 1);
    area.putField(area.fieldPos(field), storage::FieldValue(text));
  } else if (command == "get") {
    return "ok " + area.getField(area.fieldPos(arg)).string();
  } else if (command == "commit") area.commit();
  else if (command == "count") return "ok " + std::to_string(area.recCount());
  else if (command == "order") area.addOrders(arg);
  else if (command == "seek") {
    if (!area.seek(storage::FieldValue(arg))) return "false";
    return "true " + std::to_string(area.recNo());
  } else if (command == "close") areas.closeArea();
  else return "error unknown command";
  return "ok";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: converte_table_peer <directory>\n";
    return 2;
  }
  auto fs = platform::newSystemFileSystem();
  auto clock = platform::newSystemClock();
  PeerHandler handler;
  storage::StorageEnv env(*fs, *clock, handler);
  env.defaultDir = argv[1];
  storage::WorkAreaList areas(env);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string reply;
    try {
      reply = run(areas, handler, words);
    } catch (const errors::ErrorAbandoned&) {
      reply = errorLine(handler.last);
    }
    std::cout << reply << std::endl;
  }
  areas.closeAll();
  return 0;
}
