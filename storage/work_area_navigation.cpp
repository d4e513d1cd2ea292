// Moving the cursor: go to a record or the phantom record past the end,
// skip with the deleted-record filter, top and bottom, and the lazy read of
// the record buffer.

#include "storage/driver_error.h"
#include "storage/open_table.h"
#include "storage/work_area.h"

namespace converte::storage {

void WorkArea::refreshCount() {
  OpenTable& t = *table_;
  auto size = t.io->fileSize();
  if (!size) raiseDriverError(env_, {0, kSubRead, t.fileName, "", size.error().osCode});
  std::uint64_t records = *size > t.headerLength ? (*size - t.headerLength) / t.recordLength : 0;
  t.recordCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(records, UINT32_MAX - 1));
}

void WorkArea::loadRecord() {
  OpenTable& t = *table_;
  if (t.bufferValid) return;
  if (!t.positioned) {
    gotoPhantom();
    return;
  }
  auto got = t.io->read(t.recNo, t.buffer);
  if (!got || *got != t.recordLength) {
    raiseDriverError(env_, {0, kSubRead, t.fileName, "", got ? 0 : got.error().osCode});
  }
  t.bufferValid = true;
}

void WorkArea::gotoPhantom() {
  OpenTable& t = *table_;
  t.recNo = t.recordCount + 1;
  t.bof = t.eof = true;
  t.positioned = false;
  t.buffer[0] = ' ';
  for (const auto& f : t.fields)
    blankFieldBytes(f, std::span<char>(t.buffer).subspan(static_cast<std::size_t>(f.offset),
                                                          static_cast<std::size_t>(f.length)));
  t.bufferValid = true;
}

void WorkArea::gotoRecord(std::uint32_t record) {
  commitRecord();
  OpenTable& t = *table_;
  t.found = false;
  if (t.shared && record > t.recordCount) refreshCount();
  if (record < 1 || record > t.recordCount) {
    gotoPhantom();
    return;
  }
  t.recNo = record;
  t.bof = t.eof = false;
  t.positioned = true;
  t.bufferValid = false;
}

void WorkArea::rawStep(bool forward) {
  OpenTable& t = *table_;
  if (t.controlling != 0) {
    orderedStep(forward);
    return;
  }
  if (forward) {
    gotoRecord(t.recNo + 1);
    return;
  }
  if (t.recNo <= 1) {
    gotoRecord(1);
    t.bof = true;
    return;
  }
  gotoRecord(t.recNo - 1);
}

bool WorkArea::passesFilter() {
  if (!env_.setDeleted || !table_->positioned) return true;
  loadRecord();
  return !table_->deletedFlag();
}

void WorkArea::filter(bool forward) {
  OpenTable& t = *table_;
  while (!passesFilter()) {
    rawStep(forward);
    if (t.eof) return;
    if (t.bof) {  // ran off the start
      goTop();
      t.bof = true;
      return;
    }
  }
}

void WorkArea::goTop() {
  OpenTable& t = table();
  if (t.controlling == 0) {
    gotoRecord(1);
  } else {
    commitRecord();
    auto first = t.orders[t.controlling - 1].index->first();
    if (first) {
      gotoRecord(first->record);
    } else {
      gotoPhantom();
    }
  }
  filter(true);
}

void WorkArea::goBottom() {
  OpenTable& t = table();
  commitRecord();
  if (t.shared) refreshCount();
  if (t.controlling == 0) {
    gotoRecord(t.recordCount);
  } else if (auto last = t.orders[t.controlling - 1].index->last()) {
    gotoRecord(last->record);
  } else {
    gotoPhantom();
  }
  if (!t.positioned) return;
  filter(false);
  if (t.bof) gotoPhantom();  // nothing passes the filter
}

void WorkArea::goTo(std::uint32_t record) {
  table();
  gotoRecord(record);
}

void WorkArea::skip(std::int64_t count) {
  OpenTable& t = table();
  if (count == 0) {
    commitRecord();
    if (t.positioned) t.bufferValid = false;
    return;
  }
  bool forward = count > 0;
  for (std::int64_t i = 0; i < (forward ? count : -count); ++i) {
    rawStep(forward);
    filter(forward);
    if (t.bof || t.eof) break;
  }
  if (forward) {
    if (t.recordCount > 0) t.bof = false;
  } else if (t.positioned) {
    t.eof = false;
  }
}

}  // namespace converte::storage
