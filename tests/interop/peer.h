// Runs the peer programs of the interoperability tests: a script of peers/
// under its interpreter (chosen by its extension, .py or .pl) with
// arguments, capturing its standard output, standard error and exit status.

#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"

namespace converte::testing {

struct PeerResult {
  int status = -1;  // the script's exit status; -1 when it could not be started
  std::string out;  // what it wrote to standard output
  std::string err;  // what it wrote to standard error
};

// The full path of a script in the peers directory.
inline std::string peerScript(std::string_view name) {
  return std::string(CONVERTE_PEER_DIR) + "/" + std::string(name);
}

// The text quoted for the command interpreter that std::system runs.
inline std::string shellQuoted(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

inline std::string interpreterFor(std::string_view script) {
  if (script.ends_with(".py")) return CONVERTE_PEER_PYTHON;
  if (script.ends_with(".pl")) return CONVERTE_PEER_PERL;
  return {};
}

inline std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the script (a path, see peerScript) with the arguments. Output goes
// through files in a scratch directory, so it may be of any size and hold
// any bytes.
inline PeerResult runPeer(const std::string& script, const std::vector<std::string>& args) {
  TempDir scratch;
  const std::string out = scratch.file("out"), err = scratch.file("err"), rc = scratch.file("rc");
  std::string command = shellQuoted(interpreterFor(script)) + " " + shellQuoted(script);
  for (const std::string& arg : args) command += " " + shellQuoted(arg);
  command += " >" + shellQuoted(out) + " 2>" + shellQuoted(err) + " </dev/null; echo $? >" +
             shellQuoted(rc);
  PeerResult result;
  if (std::system(command.c_str()) != 0) return result;
  const std::string status = fileText(rc);
  if (!status.empty()) result.status = std::atoi(status.c_str());
  result.out = fileText(out);
  result.err = fileText(err);
  return result;
}

// For failure messages: the status and what the script said on stderr.
inline std::string describe(const PeerResult& result) {
  return "exit status " + std::to_string(result.status) + ", stderr:\n" + result.err;
}

}  // namespace converte::testing
