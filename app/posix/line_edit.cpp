// The answer line and its view (what they do: app/posix/line_edit.h).
#include "app/posix/line_edit.h"

#include <algorithm>

#include "app/utf8.h"

namespace beam {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Combining marks and other code points that take no column.
constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A},
    {0x064B, 0x065F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F},
    {0x2060, 0x2064}, {0x20D0, 0x20FF}, {0x302A, 0x302F}, {0x3099, 0x309A},
    {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

// Code points a terminal shows two columns wide.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

bool within(char32_t c, const auto& ranges) {
  return std::any_of(std::begin(ranges), std::end(ranges),
                     [c](const Range& r) { return c >= r.first && c <= r.last; });
}

// The code point at `i` and its length in bytes; a byte that begins no
// whole UTF-8 character (or any byte, outside UTF-8) stands for itself.
char32_t codePointAt(std::string_view text, std::size_t i, bool utf8, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(text[i]);
  length = 1;
  const int more = utf8 ? utf8ContinuationCount(lead) : 0;
  if (more == 0 || i + static_cast<std::size_t>(more) >= text.size()) return lead;
  char32_t c = lead & (0x3Fu >> more);
  for (int k = 1; k <= more; ++k) {
    const auto byte = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
    if (!isUtf8Continuation(byte)) return lead;
    c = (c << 6) | (byte & 0x3Fu);
  }
  length = static_cast<std::size_t>(more) + 1;
  return c;
}

int columnsAt(std::string_view text, std::size_t i, bool utf8, std::size_t& length) {
  if (text[i] == '\t') {
    length = 1;
    return 1;
  }
  return columnsOf(codePointAt(text, i, utf8, length));
}

// Whether a character starts at `i`: not inside a UTF-8 character, and not
// at a mark that joins the one before it.
bool startsCharacter(std::string_view text, std::size_t i, bool utf8) {
  if (i == 0 || i >= text.size() || !utf8) return true;
  if (isUtf8Continuation(static_cast<unsigned char>(text[i]))) return false;
  std::size_t length = 0;
  return columnsAt(text, i, utf8, length) > 0;
}

std::size_t nextCharacter(std::string_view text, std::size_t i, bool utf8) {
  do {
    ++i;
  } while (!startsCharacter(text, i, utf8));
  return i;
}

std::size_t previousCharacter(std::string_view text, std::size_t i, bool utf8) {
  do {
    --i;
  } while (!startsCharacter(text, i, utf8));
  return i;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Where text written from `from` leaves the cursor.
Place walk(Place from, std::string_view text, int columns, bool utf8) {
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    const int width = columnsAt(text, i, utf8, length);
    if (width == 0) continue;
    if (from.column > 0 && from.column + width > columns) from = {from.row + 1, 0};
    from.column += width;
  }
  return from;
}

std::string csi(int count, char final) { return "\x1b[" + std::to_string(count) + final; }

}  // namespace

int columnsOf(char32_t c) {
  if (c < 0x300) return 1;
  if (within(c, kZeroWidth)) return 0;
  return within(c, kWide) ? 2 : 1;
}

void applyKey(EditLine& line, const EditPress& press, bool utf8) {
  std::string& text = line.text;
  std::size_t& cursor = line.cursor;
  std::size_t from = cursor;  // what goes: [from, to)
  std::size_t to = cursor;
  switch (press.key) {
    case EditKey::kText:
      text.insert(cursor, press.text);
      cursor += press.text.size();
      return;
    case EditKey::kLeft:
      if (cursor > 0) cursor = previousCharacter(text, cursor, utf8);
      return;
    case EditKey::kRight:
      if (cursor < text.size()) cursor = nextCharacter(text, cursor, utf8);
      return;
    case EditKey::kHome:
      cursor = 0;
      return;
    case EditKey::kEnd:
      cursor = text.size();
      return;
    case EditKey::kBackspace:
      if (cursor > 0) from = previousCharacter(text, cursor, utf8);
      break;
    case EditKey::kDelete:
      if (cursor < text.size()) to = nextCharacter(text, cursor, utf8);
      break;
    case EditKey::kKillBefore:
      from = 0;
      break;
    case EditKey::kKillAfter:
      to = text.size();
      break;
    case EditKey::kKillWord:
      while (from > 0 && isBlank(text[from - 1])) --from;
      while (from > 0 && !isBlank(text[from - 1])) --from;
      break;
    default:
      return;
  }
  text.erase(from, to - from);
  cursor = from;
}

void AnswerHistory::add(const std::string& line) {
  if (!line.empty()) answers_.push_back(line);
  shown_ = answers_.size();
  typing_.clear();
}

bool AnswerHistory::recall(EditLine& line, int step) {
  if (step < 0 ? shown_ == 0 : shown_ >= answers_.size()) return false;
  if (shown_ == answers_.size()) typing_ = line.text;
  shown_ = step < 0 ? shown_ - 1 : shown_ + 1;
  line.text = shown_ == answers_.size() ? typing_ : answers_[shown_];
  line.cursor = line.text.size();
  return true;
}

LineView::LineView(std::string_view prompt, int columns, bool utf8)
    : prompt_(prompt), columns_(std::max(columns, 1)), utf8_(utf8) {
  start_ = walk({}, prompt_, columns_, utf8_);
  at_ = start_;
}

Place LineView::placeOf(std::size_t offset) const {
  return walk(start_, std::string_view(line_.text).substr(0, offset), columns_, utf8_);
}

void LineView::write(std::size_t from, std::size_t to, std::string& out) {
  const std::string_view text = std::string_view(line_.text).substr(from, to - from);
  for (const char c : text) out += c == '\t' ? ' ' : c;
  at_ = walk(at_, text, columns_, utf8_);
  line_.cursor = to;
}

// Right by writing what is there; left by moving the cursor.
void LineView::moveTo(std::size_t offset, std::string& out) {
  if (offset >= line_.cursor) return write(line_.cursor, offset, out);
  Place to = placeOf(offset);
  if (to.column == columns_) to = {to.row + 1, 0};  // where its next character goes
  if (to.row == at_.row && at_.column < columns_) {
    out += csi(at_.column - to.column, 'D');
  } else {
    if (at_.row > to.row) out += csi(at_.row - to.row, 'A');
    if (at_.row < to.row) out += csi(to.row - at_.row, 'B');
    out += '\r';
    if (to.column > 0) out += csi(to.column, 'C');
  }
  at_ = to;
  line_.cursor = offset;
}

std::string LineView::show(const EditLine& after) {
  std::string out;
  if (after.text == line_.text) {
    if (after.cursor != line_.cursor) moveTo(after.cursor, out);
    return out;
  }
  // From the first change (not past the cursor), all is written again.
  std::size_t same = std::min(
      line_.cursor, static_cast<std::size_t>(std::mismatch(line_.text.begin(), line_.text.end(),
                                                           after.text.begin(), after.text.end())
                                                 .first -
                                             line_.text.begin()));
  // A mark typed at the end is written alone, as the echo would; an edit
  // inside a character writes the whole character again.
  if (same < line_.text.size()) {
    while (!startsCharacter(after.text, same, utf8_)) --same;
  }
  moveTo(same, out);
  // Past a row's end a clear would take the row's last character, and a
  // line that now ends there would leave the cursor a row below its end:
  // the clear starts at that character, which is written again.
  const bool endsAtRowEnd =
      same == after.text.size() && same > 0 && at_.column == 0 && placeOf(same).column == columns_;
  if (line_.text.size() > same && (at_.column == columns_ || endsAtRowEnd)) {
    if (same > 0) {
      same = previousCharacter(line_.text, same, utf8_);
      moveTo(same, out);
    } else {
      out += "\r\n";
      at_ = {at_.row + 1, 0};
    }
  }
  if (line_.text.size() > same) out += "\x1b[J";
  line_.text = after.text;
  write(same, line_.text.size(), out);
  moveTo(after.cursor, out);
  return out;
}

std::string LineView::redraw() {
  std::string out = prompt_;
  at_ = start_;
  const std::size_t cursor = line_.cursor;
  write(0, line_.text.size(), out);
  moveTo(cursor, out);
  return out;
}

std::string LineView::resize(int columns) {
  columns_ = std::max(columns, 1);
  start_ = walk({}, prompt_, columns_, utf8_);
  const Place now = placeOf(line_.cursor);
  std::string out = now.row > 0 ? csi(now.row, 'A') : "";
  return out + "\r\x1b[J" + redraw();
}

std::string LineView::finish() {
  std::string out;
  moveTo(line_.text.size(), out);
  // A line (empty) whose prompt ends at a row's end, after a clear there:
  // the cursor is already at the start of the next row.
  const Place end = placeOf(line_.text.size());
  if (end.column == columns_ && at_ == Place{end.row + 1, 0}) return out;
  return out + "\n";
}

}  // namespace beam
