// SDF text files: one record per line, the fields side by side at fixed
// widths, each line ended by CR LF and the file by one 0x1A. The layout of a
// table's fields in such a line, the conversions of a field's text, and a
// buffered reader and writer of lines.

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "storage/field_spec.h"
#include "storage/field_value.h"
#include "storage/storage_env.h"

namespace converte::storage {

inline constexpr char kSdfEndOfFile = '\x1A';
inline constexpr std::string_view kSdfEndOfLine = "\r\n";

// How a field is written in a line. Text: character data padded with blanks.
// Number: numeric text as in a DBF record. Date: YYYYMMDD or blanks. Logical:
// T or F written; T, t, Y or y read as true. Memo: no width, reads as the
// empty text. Blank: a width of blanks that is neither written nor read (time
// types). Absent: no width and no value (types without a text form).
enum class SdfKind { Text, Number, Date, Logical, Memo, Blank, Absent };

struct SdfField {
  std::string name;
  SdfKind kind = SdfKind::Text;
  int offset = 0;  // from the start of the line
  int width = 0;
  int decimals = 0;
};

// The fields of a line, in field order, and the line's width without CR LF.
struct SdfLayout {
  std::vector<SdfField> fields;
  int width = 0;
};

// C fields take their length; N and F their length; the binary numbers their
// display width (11 for integers, 20 with decimals or for doubles); D 8; L 1;
// time types 23 blanks; memo fields nothing.
SdfLayout sdfLayoutOf(const std::vector<Field>& fields);

// The date in eight characters YYYYMMDD as a DBF record holds it; the empty
// date unless they are digits of a plausible date.
Date dateFromText(const char* eight);

// The value of a field's text, converted as a DBF record's field would be;
// a memo reads as the empty text, blank and absent fields as nothing.
void readSdfField(const SdfField& field, std::string_view text, FieldValue& out);

// Writes value into the field's text (field.width bytes) by the put rules.
// Returns 0, or the sub-code of the error to raise: a data type error (the
// text keeps its bytes) or a data width error (the text holds '*').
int writeSdfField(const SdfField& field, const FieldValue& value, std::span<char> text);

// Opens name read-only and shared (found like a table: the default
// directory, then the search path). Raises "Open error" offering retry and
// default; nullptr when the handler answers default.
std::unique_ptr<platform::File> openSdfFile(StorageEnv& env, std::string_view name);
// Creates name (replacing a file of that name; a name without a directory
// part goes to the default directory). Raises "Create error" offering retry.
std::unique_ptr<platform::File> createSdfFile(StorageEnv& env, std::string_view name);

// Reads the lines of an SDF file in large blocks. A line is what comes
// before the next CR LF; a line longer than the record width is cut and the
// rest of it skipped; a shorter one is padded with blanks; a last line
// without CR LF counts; a 0x1A as the file's last byte belongs to no line.
// Read failures raise "Read error" naming the file.
class SdfReader {
 public:
  SdfReader(StorageEnv& env, platform::File& file, std::size_t recordWidth);

  // Fills line (recordWidth bytes) with the next line; false when no bytes
  // remain.
  bool next(std::span<char> line);
  // Back to the first line.
  void rewind();

 private:
  std::size_t available(std::size_t count);
  void skipPastLineEnd();
  void advance(std::size_t count);

  StorageEnv& env_;
  platform::File& file_;
  const std::size_t width_;
  std::vector<char> buffer_;
  std::uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::size_t begin_ = 0;           // the reading position in buffer_
  std::size_t end_ = 0;             // bytes of buffer_ read from the file
  bool fileEnd_ = false;            // end_ is the end of the file
  bool done_ = false;
};

// Writes lines in large blocks; close() adds the final 0x1A. Write failures
// raise "Write error" naming the file.
class SdfWriter {
 public:
  SdfWriter(StorageEnv& env, std::unique_ptr<platform::File> file);
  // Writes what it holds and closes the file, reporting nothing.
  ~SdfWriter();
  SdfWriter(const SdfWriter&) = delete;
  SdfWriter& operator=(const SdfWriter&) = delete;

  // Adds line and CR LF.
  void writeLine(std::span<const char> line);
  // Writes the held lines and 0x1A, and closes the file.
  void close();

 private:
  platform::Status flushBuffer();
  void check(const platform::Status& status);

  StorageEnv& env_;
  std::unique_ptr<platform::File> file_;
  std::vector<char> buffer_;
  std::uint64_t written_ = 0;
};

}  // namespace converte::storage
