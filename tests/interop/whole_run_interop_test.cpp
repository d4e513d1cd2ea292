// After a whole run of the program over a generated company, every table
// of the company directory (the migrated ones, those rebuilt by the
// fix-ups and those they create) is read value for value alike by the
// storage layer and by each peer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/driver_run.h"
#include "tests/interop/canonical_dump.h"
#include "tests/interop/interop_fixture.h"
#include "tests/interop/peer.h"
#include "tools/sample/sample_company.h"

namespace converte::testing {
namespace {

class WholeRunInteropTest : public DriverRun {
 protected:
  // The table files of a company directory, in name order.
  static std::vector<std::string> tableFiles(const std::string& directory) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      std::string extension = entry.path().extension().string();
      for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (entry.is_regular_file() && extension == ".DBF") files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  // The table as the storage layer reads it, in the canonical form.
  std::vector<std::string> layerDump(const std::string& directory, const std::string& file) {
    env.defaultDir = directory;
    EXPECT_TRUE(areas.useArea(true, {}, file, {}, true, true)) << file;
    std::vector<std::string> lines = canonical::dumpOf(areas.current());
    areas.closeArea();
    return lines;
  }
};

// The first line where two dumps part, for the failure message.
std::string firstDifference(const std::vector<std::string>& layer, const std::vector<std::string>& peer) {
  for (std::size_t i = 0; i < std::min(layer.size(), peer.size()); ++i)
    if (layer[i] != peer[i]) return "line " + std::to_string(i + 1) + ":\n layer: " + layer[i] + "\n peer:  " + peer[i];
  return "lines: layer " + std::to_string(layer.size()) + ", peer " + std::to_string(peer.size());
}

TEST_F(WholeRunInteropTest, EveryTableAfterAWholeRunReadsAlikeInEveryPeer) {
  sample::writeBase(work.path(), 1, 1, {7, 3000});
  runMain("1", "1");
  ASSERT_TRUE(errorLogs().empty()) << "the run reported an error";
  ASSERT_NE(logBytes().find("=======Fim da Conversao=========="), std::string::npos);

  const std::vector<std::string> files = tableFiles(company(1));
  ASSERT_GE(files.size(), 73u);
  for (const std::string& file : files) {
    const std::vector<std::string> layer = layerDump(company(1), file);
    ASSERT_GT(layer.size(), 0u) << file;
    for (const DbfReaderPeer& peer : kDbfReaderPeers) {
      const PeerResult result = runPeer(peerScript(peer.script), {company(1) + "/" + file});
      ASSERT_EQ(result.status, 0) << peer.name << " could not read " << file << ": " << describe(result);
      const std::vector<std::string> read = canonical::linesOf(result.out);
      EXPECT_TRUE(read == layer) << peer.name << " reads " << file << " otherwise, "
                                 << firstDifference(layer, read);
    }
  }
}

}  // namespace
}  // namespace converte::testing
