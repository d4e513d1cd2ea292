// What the DBF interoperability tests share: a storage environment in a
// temporary directory, writing a table of records through the storage
// layer, and reading a table back as the layer and as each peer reads it,
// all in the canonical text form of canonical_dump.h.

#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/interop/canonical_dump.h"
#include "tests/interop/peer.h"
#include "tests/support/storage_fixture.h"

namespace converte::testing {

// A program that reads DBF tables, and the script that prints what it reads.
struct DbfReaderPeer {
  const char* name;
  const char* script;
};

inline constexpr DbfReaderPeer kDbfReaderPeers[] = {
    {"dbfread", "dbfread_dump.py"},
    {"PerlXBase", "xbase_dump.pl"},
};

inline void PrintTo(const DbfReaderPeer& peer, std::ostream* os) { *os << peer.name; }

inline std::string peerName(const ::testing::TestParamInfo<DbfReaderPeer>& info) {
  return info.param.name;
}

class InteropFixture {
 public:
  // Creates the table through the layer with the records (nothing leaves a
  // field blank), marks the deleted ones and closes it.
  void writeWithLayer(const std::string& name, const storage::Structure& structure,
                      const std::vector<canonical::Record>& records) {
    std::vector<Row> rows;
    std::vector<std::uint32_t> deleted;
    for (std::size_t i = 0; i < records.size(); ++i) {
      rows.push_back(records[i].values);
      if (records[i].deleted) deleted.push_back(static_cast<std::uint32_t>(i + 1));
    }
    storage.createTable(name, structure, rows, deleted);
  }

  // The table as the layer reads it; the table is closed again.
  std::vector<std::string> layerDump(const std::string& name) {
    storage::WorkArea& area = storage.open(name);
    std::vector<std::string> lines = canonical::dumpOf(area);
    storage.areas.closeArea();
    return lines;
  }

  // The table as the peer reads it; a peer that refuses it fails the test.
  std::vector<std::string> peerDump(const DbfReaderPeer& peer, const std::string& name) {
    const PeerResult result = runPeer(peerScript(peer.script), {storage.path(name)});
    EXPECT_EQ(result.status, 0) << peer.name << " could not read " << name << ": "
                                << describe(result);
    return canonical::linesOf(result.out);
  }

  StorageFixture storage;
};

}  // namespace converte::testing
