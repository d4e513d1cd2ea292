// SDF text files: the layout of a line, the text conversions of its fields,
// and the block-buffered line reader and writer.

#include "storage/sdf_file.h"

#include <algorithm>
#include <cstring>

#include "storage/driver_error.h"
#include "storage/field_types.h"
#include "storage/number_format.h"

namespace converte::storage {
namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
// A line is looked for in the record width, CR LF and two bytes more.
constexpr std::size_t kWindowExtra = kSdfEndOfLine.size() + 2;
constexpr int kTimeTextWidth = 23;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitsValue(const char* p, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
  return v;
}

void storeDigits(int value, char* p, int n) {
  for (int i = n - 1; i >= 0; --i, value /= 10) p[i] = static_cast<char>('0' + value % 10);
}

SdfField sdfFieldOf(const Field& f) {
  SdfField s{f.name, SdfKind::Absent, 0, 0, f.decimals};
  if (isMemoField(f)) {
    s.kind = SdfKind::Memo;
    return s;
  }
  switch (f.type) {
    case 'C':
    case 'Q':
      s = {f.name, SdfKind::Text, 0, f.length, 0};
      break;
    case 'N':
    case 'F':
      s = {f.name, SdfKind::Number, 0, f.length, f.decimals};
      break;
    case 'I':
    case '+':
    case '^':
      s = {f.name, SdfKind::Number, 0, f.decimals > 0 || f.type == '^' ? 20 : 11, f.decimals};
      break;
    case 'B':
    case '8':
    case 'O':
      s = {f.name, SdfKind::Number, 0, 20, f.decimals};
      break;
    case 'D':
      s = {f.name, SdfKind::Date, 0, 8, 0};
      break;
    case 'L':
      s = {f.name, SdfKind::Logical, 0, 1, 0};
      break;
    case 'T':
    case '@':
    case '=':
      s = {f.name, SdfKind::Blank, 0, kTimeTextWidth, 0};
      break;
    default:
      break;
  }
  return s;
}

void storeDate(const Date& d, char* p) {
  if (d.isEmpty()) {
    std::memset(p, ' ', 8);
    return;
  }
  storeDigits(d.year, p, 4);
  storeDigits(d.month, p + 4, 2);
  storeDigits(d.day, p + 6, 2);
}

}  // namespace

SdfLayout sdfLayoutOf(const std::vector<Field>& fields) {
  SdfLayout layout;
  for (const auto& f : fields) {
    SdfField s = sdfFieldOf(f);
    s.offset = layout.width;
    layout.width += s.width;
    layout.fields.push_back(std::move(s));
  }
  return layout;
}

Date dateFromText(const char* eight) {
  for (int i = 0; i < 8; ++i)
    if (!isDigit(eight[i])) return Date{};
  Date d{digitsValue(eight, 4), digitsValue(eight + 4, 2), digitsValue(eight + 6, 2)};
  if (d.year == 0 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return Date{};
  return d;
}

void readSdfField(const SdfField& field, std::string_view text, FieldValue& out) {
  switch (field.kind) {
    case SdfKind::Text:
      out.setString().assign(text);
      return;
    case SdfKind::Number:
      out.set(parseNumber(text, field.width, field.decimals));
      return;
    case SdfKind::Date:
      out.set(text.size() == 8 ? dateFromText(text.data()) : Date{});
      return;
    case SdfKind::Logical: {
      char c = text.empty() ? ' ' : text[0];
      out.set(c == 'T' || c == 't' || c == 'Y' || c == 'y');
      return;
    }
    case SdfKind::Memo:
      out.setString().clear();
      return;
    case SdfKind::Blank:
    case SdfKind::Absent:
      out.clear();
      return;
  }
}

int writeSdfField(const SdfField& field, const FieldValue& value, std::span<char> text) {
  switch (field.kind) {
    case SdfKind::Text: {
      if (!value.isString()) return kSubDataType;
      std::size_t n = std::min(value.string().size(), text.size());
      std::memcpy(text.data(), value.string().data(), n);
      std::memset(text.data() + n, ' ', text.size() - n);
      return 0;
    }
    case SdfKind::Number:
      if (!value.isNumber()) return kSubDataType;
      return formatNumber(value.number(), field.decimals, text) ? 0 : kSubDataWidth;
    case SdfKind::Date:
      if (!value.isDate() || text.size() != 8) return kSubDataType;
      storeDate(value.date(), text.data());
      return 0;
    case SdfKind::Logical:
      if (!value.isLogical() || text.empty()) return kSubDataType;
      text[0] = value.logical() ? 'T' : 'F';
      return 0;
    case SdfKind::Blank:
      std::fill(text.begin(), text.end(), ' ');
      return 0;
    case SdfKind::Memo:
    case SdfKind::Absent:
      return 0;
  }
  return 0;
}

std::unique_ptr<platform::File> openSdfFile(StorageEnv& env, std::string_view name) {
  std::string path = env.fs.resolve(pathForOpen(env, name));
  for (;;) {
    auto file = env.fs.open(path, platform::Access::ReadOnly, platform::ShareMode::Shared);
    if (file) return std::move(*file);
    DriverError error{0, kSubOpen, path, "", file.error().osCode, kOfferRetry | kOfferDefault};
    if (raiseDriverError(env, error) == errors::Answer::Default) return nullptr;
  }
}

std::unique_ptr<platform::File> createSdfFile(StorageEnv& env, std::string_view name) {
  std::string path = env.fs.resolve(pathForCreate(env, name));
  for (;;) {
    auto file = env.fs.create(path);
    if (file) return std::move(*file);
    raiseDriverError(env, {0, kSubCreate, path, "", file.error().osCode, kOfferRetry});
  }
}

// --- Reading ---------------------------------------------------------------

SdfReader::SdfReader(StorageEnv& env, platform::File& file, std::size_t recordWidth)
    : env_(env),
      file_(file),
      width_(recordWidth),
      buffer_(std::max(kBlockBytes, 2 * (recordWidth + kWindowExtra))) {}

void SdfReader::rewind() {
  bufferOffset_ = 0;
  begin_ = end_ = 0;
  fileEnd_ = done_ = false;
}

std::size_t SdfReader::available(std::size_t count) {
  if (end_ - begin_ >= count || fileEnd_) return std::min(count, end_ - begin_);
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  bufferOffset_ += begin_;
  end_ -= begin_;
  begin_ = 0;
  auto room = std::span<char>(buffer_).subspan(end_);
  auto got = file_.readAt(bufferOffset_ + end_, std::as_writable_bytes(room));
  if (!got) raiseDriverError(env_, {0, kSubRead, file_.path(), "", got.error().osCode});
  end_ += *got;
  if (*got < room.size()) fileEnd_ = true;  // a read comes back short only at the end
  return std::min(count, end_);
}

void SdfReader::advance(std::size_t count) { begin_ += count; }

void SdfReader::skipPastLineEnd() {
  for (;;) {
    std::size_t n = available(buffer_.size() / 2);
    if (n < kSdfEndOfLine.size()) {
      done_ = true;
      return;
    }
    std::string_view chunk(buffer_.data() + begin_, n);
    if (std::size_t eol = chunk.find(kSdfEndOfLine); eol != std::string_view::npos) {
      advance(eol + kSdfEndOfLine.size());
      return;
    }
    advance(n - 1);  // a CR at the end may begin the CR LF
  }
}

bool SdfReader::next(std::span<char> line) {
  if (done_) return false;
  const std::size_t window = width_ + kWindowExtra;
  std::size_t n = available(window);
  const bool shortRead = n < window;
  const char* p = buffer_.data() + begin_;
  if (shortRead && n > 0 && p[n - 1] == kSdfEndOfFile) --n;
  if (n == 0) {
    done_ = true;
    return false;
  }
  std::size_t eol = std::string_view(p, n).find(kSdfEndOfLine);
  std::size_t length = std::min(eol != std::string_view::npos ? eol : n, width_);
  std::memcpy(line.data(), p, length);
  std::memset(line.data() + length, ' ', width_ - length);
  if (eol != std::string_view::npos) {
    advance(eol + kSdfEndOfLine.size());
  } else if (shortRead) {
    done_ = true;
  } else {
    advance(n - 1);
    skipPastLineEnd();
  }
  return true;
}

// --- Writing ---------------------------------------------------------------

SdfWriter::SdfWriter(StorageEnv& env, std::unique_ptr<platform::File> file)
    : env_(env), file_(std::move(file)) {
  buffer_.reserve(kBlockBytes + 1024);
}

SdfWriter::~SdfWriter() {
  if (!file_) return;
  buffer_.push_back(kSdfEndOfFile);
  (void)flushBuffer();
  (void)file_->close();
}

void SdfWriter::writeLine(std::span<const char> line) {
  buffer_.insert(buffer_.end(), line.begin(), line.end());
  buffer_.insert(buffer_.end(), kSdfEndOfLine.begin(), kSdfEndOfLine.end());
  if (buffer_.size() >= kBlockBytes) check(flushBuffer());
}

void SdfWriter::close() {
  if (!file_) return;
  buffer_.push_back(kSdfEndOfFile);
  check(flushBuffer());
  std::unique_ptr<platform::File> file = std::move(file_);
  if (auto status = file->close(); !status) {
    raiseDriverError(env_, {errors::kGenClose, kSubWrite, file->path(), "", status.error().osCode});
  }
}

platform::Status SdfWriter::flushBuffer() {
  if (buffer_.empty()) return {};
  auto status = file_->writeAt(written_, std::as_bytes(std::span<const char>(buffer_)));
  written_ += buffer_.size();
  buffer_.clear();
  return status;
}

void SdfWriter::check(const platform::Status& status) {
  if (status) return;
  raiseDriverError(env_, {0, kSubWrite, file_ ? file_->path() : std::string(), "",
                          status.error().osCode});
}

}  // namespace converte::storage
