// A stand-in for the suite's automation server, for tests: it writes the
// method name and every argument it was called with, one per line, to the
// file named by CONVERTE_TEST_AUTOMATION_RECORD (when set), and exits with
// the status given by CONVERTE_TEST_AUTOMATION_STATUS (0 when unset).

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (const char* record = std::getenv("CONVERTE_TEST_AUTOMATION_RECORD"); record && *record) {
    std::ofstream out(record, std::ios::binary | std::ios::trunc);
    for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
  }
  const char* status = std::getenv("CONVERTE_TEST_AUTOMATION_STATUS");
  return status ? std::atoi(status) : 0;
}
