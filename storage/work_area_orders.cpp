// Index orders of a work area: creating, adding, clearing and rebuilding
// index files, choosing the controlling order, seeking, and keeping every
// open index up to date when records are committed.

#include <algorithm>
#include <charconv>

#include "storage/driver_error.h"
#include "storage/ntx_key_collect.h"
#include "storage/open_table.h"
#include "storage/text_util.h"
#include "storage/work_area.h"

namespace converte::storage {
namespace {

constexpr int kSubIndexKey = 1026;
constexpr int kSubIndexCreate = 1006;
constexpr int kSubNotIndexed = 1201;

std::string orderName(std::string_view path) {
  std::string_view base = platform::baseName(path);
  if (auto dot = base.find_last_of('.'); dot != std::string_view::npos) base = base.substr(0, dot);
  return upperTrimmed(base);
}

bool sameFile(std::string_view a, std::string_view b) { return upperTrimmed(a) == upperTrimmed(b); }

// Only character values can be joined with `+` into one key.
bool joinable(const std::vector<Field>& fields, const std::vector<int>& positions) {
  if (positions.size() < 2) return true;
  return std::all_of(positions.begin(), positions.end(), [&fields](int position) {
    char type = fields[static_cast<std::size_t>(position - 1)].type;
    return type == 'C' || type == 'Q';
  });
}

}  // namespace

FieldValue WorkArea::keyValue(std::size_t order) {
  OpenTable::Order& o = table_->orders[order];
  if (o.callback) return o.callback();
  FieldValue joined;
  for (std::size_t i = 0; i < o.keyFields.size(); ++i) {
    FieldValue part = getField(o.keyFields[i]);
    if (o.keyFields.size() == 1) return part;
    if (!part.isString()) {
      raiseDriverError(env_, {errors::kGenDataType, kSubIndexKey, table_->fileName, o.name});
    }
    joined.setString() += part.string();
  }
  return joined;
}

std::string WorkArea::currentKey(std::size_t order) {
  return encodeKey(keyValue(order), table_->orders[order].shape);
}

void WorkArea::rememberKeys() {
  for (std::size_t i = 0; i < table_->orders.size(); ++i) table_->orders[i].keyAtRead = currentKey(i);
}

void WorkArea::maintainKeys() {
  OpenTable& t = *table_;
  for (std::size_t i = 0; i < t.orders.size(); ++i) {
    std::string key = currentKey(i);
    OpenTable::Order& o = t.orders[i];
    if (!t.appended) {
      if (key == o.keyAtRead) continue;
      o.index->remove(o.keyAtRead, t.recNo);
    }
    o.index->insert(key, t.recNo);
    o.keyAtRead = key;
  }
}

std::vector<IndexEntry> WorkArea::collectKeys(std::size_t order) {
  OpenTable& t = *table_;
  const OpenTable::Order& o = t.orders[order];
  std::optional<StoredFieldKey> stored;  // keys straight from one field's bytes
  if (!o.callback && o.keyFields.size() == 1)
    stored = StoredFieldKey::of(t.fields[static_cast<std::size_t>(o.keyFields[0] - 1)], o.shape);
  KeyCollector keys(static_cast<std::size_t>(o.shape.length), t.recordCount);
  t.io->setReadAhead(true);
  for (std::uint32_t r = 1; r <= t.recordCount; ++r) {
    gotoRecord(r);
    if (stored) loadRecord();
    if (!stored || !keys.add(*stored, t.buffer.data())) keys.add(currentKey(order));
  }
  t.io->setReadAhead(false);
  bool descending = t.orders.size() > order && t.orders[order].index &&
                    t.orders[order].index->definition().descending;
  return keys.sorted(descending);
}

void WorkArea::buildOrder(std::size_t order) {
  table_->orders[order].index->rebuild(collectKeys(order));
}

void WorkArea::createIndex(std::string_view fileName, std::string_view keyExpression,
                           const std::function<FieldValue()>& keyCallback, bool unique) {
  OpenTable& t = table();
  commitRecord();
  std::string path = env_.fs.resolve(pathForCreate(env_, withDefaultExtension(fileName, ".ntx")));
  OpenTable::Order order;
  order.name = orderName(path);
  order.callback = keyCallback;
  if (!keyCallback) {
    auto parsed = KeyExpression::parse(keyExpression);
    auto positions = parsed ? parsed->resolve(t.fields) : std::nullopt;
    if (!positions) raiseDriverError(env_, {errors::kGenDataType, kSubIndexKey, path, std::string(keyExpression)});
    order.keyFields = *positions;
  }
  clearOrders();
  t.orders.push_back(std::move(order));
  gotoPhantom();
  std::optional<KeyShape> shape;
  try {
    shape = keyShapeOf(keyValue(0));
  } catch (...) {  // fields joined with `+` that are not all character
    t.orders.clear();
    throw;
  }
  if (!shape || (shape->kind == KeyShape::Character && shape->length == 0)) {
    t.orders.clear();
    int gen = shape ? errors::kGenDataWidth : errors::kGenDataType;
    raiseDriverError(env_, {gen, kSubIndexKey, path, std::string(keyExpression)});
  }
  t.orders[0].shape = *shape;
  IndexDefinition definition{std::string(keyExpression), "", shape->length, shape->decimals, unique, false};
  std::vector<IndexEntry> entries = collectKeys(0);
  try {
    t.orders[0].index = NtxIndex::create(env_, path, definition, entries, t.shared);
  } catch (...) {
    t.orders.clear();
    throw;
  }
  t.controlling = 1;
  goTop();
}

void WorkArea::addOrders(std::string_view fileName) {
  OpenTable& t = table();
  commitRecord();
  std::string path = env_.fs.resolve(pathForOpen(env_, withDefaultExtension(fileName, ".ntx")));
  for (const auto& o : t.orders)
    if (sameFile(o.index->path(), path)) return;
  auto access = t.readOnly ? platform::Access::ReadOnly : platform::Access::ReadWrite;
  auto share = t.shared ? platform::ShareMode::Shared : platform::ShareMode::Exclusive;
  auto index = NtxIndex::open(env_, path, access, share);
  if (!index) return;
  auto parsed = KeyExpression::parse(index->definition().expression);
  auto positions = parsed ? parsed->resolve(t.fields) : std::nullopt;
  // Keys are kept for every record: an index limited by a for-condition
  // would be maintained and rebuilt wrongly, so it is refused like a key
  // expression that cannot be evaluated.
  if (!positions || !joinable(t.fields, *positions) || index->hasForCondition()) {
    index->close();
    raiseDriverError(env_, {0, kSubCorruption, path, ""});
  }
  OpenTable::Order order;
  order.index = std::move(index);
  order.name = orderName(path);
  order.keyFields = *positions;
  const IndexDefinition& d = order.index->definition();
  order.shape = KeyShape{KeyShape::Character, d.keyLength, d.keyDecimals};
  t.orders.push_back(std::move(order));

  // The kind of key comes from the expression's value on a blank record.
  const std::uint32_t home = t.recNo;
  const bool wasPositioned = t.positioned;
  const bool bof = t.bof, eof = t.eof, found = t.found;
  gotoPhantom();
  if (auto shape = keyShapeOf(keyValue(t.orders.size() - 1))) {
    t.orders.back().shape.kind = shape->kind;
  }
  if (t.controlling == 0) {  // the new order decides the record order from the top
    t.controlling = t.orders.size();
    goTop();
    return;
  }
  if (wasPositioned) {  // the controlling order stays, and so does the record
    t.recNo = home;
    t.positioned = true;
    t.bufferValid = false;
  }
  t.bof = bof;
  t.eof = eof;
  t.found = found;
}

void WorkArea::clearOrders() {
  OpenTable& t = table();
  commitRecord();
  for (auto& o : t.orders)
    if (o.index) o.index->close();
  t.orders.clear();
  t.controlling = 0;
}

void WorkArea::rebuildOrders() {
  OpenTable& t = table();
  if (t.shared) raiseDriverError(env_, {0, kSubShared, t.fileName, ""});
  if (t.readOnly) raiseDriverError(env_, {0, kSubReadOnly, t.fileName, ""});
  commitRecord();
  for (std::size_t i = 0; i < t.orders.size(); ++i) buildOrder(i);
  goTop();
}

void WorkArea::setOrder(int position) {
  OpenTable& t = table();
  if (position < 0 || static_cast<std::size_t>(position) > t.orders.size()) return;
  t.controlling = static_cast<std::size_t>(position);
}

void WorkArea::setOrder(std::string_view positionOrName) {
  OpenTable& t = table();
  std::string text = upperTrimmed(positionOrName);
  int position = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), position);
  if (ec == std::errc() && end == text.data() + text.size()) {
    setOrder(position);
    return;
  }
  for (std::size_t i = 0; i < t.orders.size(); ++i)
    if (t.orders[i].name == text) t.controlling = i + 1;
}

void WorkArea::orderedStep(bool forward) {
  OpenTable& t = *table_;
  NtxIndex& index = *t.orders[t.controlling - 1].index;
  if (!t.positioned) {  // from the phantom record only backwards leads anywhere
    if (forward) return;
    if (auto last = index.last()) {
      gotoRecord(last->record);
    }
    return;
  }
  loadRecord();
  std::string key = currentKey(t.controlling - 1);
  std::uint32_t record = t.recNo;
  auto neighbour = forward ? index.next(key, record) : index.previous(key, record);
  if (neighbour) {
    gotoRecord(neighbour->record);
  } else if (forward) {
    gotoPhantom();
  } else {
    goTo(record);
    t.bof = true;
  }
}

bool WorkArea::seek(const FieldValue& key, std::optional<bool> softSeek, bool findLast) {
  OpenTable& t = table();
  if (t.controlling == 0) {
    raiseDriverError(env_, {errors::kGenUnindexed, kSubNotIndexed, t.fileName, "", 0, kOfferDefault});
    return false;
  }
  commitRecord();
  OpenTable::Order& o = t.orders[t.controlling - 1];
  std::string value = encodeKey(key, o.shape, true);
  auto matches = [&value](std::string_view candidate) {
    return candidate.substr(0, value.size()) == value;
  };
  auto entry = o.index->seek(value, findLast);
  if (entry && matches(entry->key)) {
    gotoRecord(entry->record);
    filter(!findLast);
    t.eof = !t.positioned;
    t.found = t.positioned && matches(currentKey(t.controlling - 1));
    return t.found;
  }
  if (softSeek.value_or(env_.softSeek)) {
    auto greater = findLast ? o.index->seek(value, false) : entry;
    if (greater) {
      gotoRecord(greater->record);
      filter(true);
    } else {
      gotoPhantom();
    }
    t.bof = false;
    t.eof = !t.positioned;
  } else {
    gotoPhantom();
    t.bof = false;
  }
  t.found = false;
  return false;
}

int WorkArea::order() const { return table_ ? static_cast<int>(table_->controlling) : 0; }
int WorkArea::orderCount() const { return table_ ? static_cast<int>(table_->orders.size()) : 0; }

}  // namespace converte::storage
