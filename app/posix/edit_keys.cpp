// EditKeyDecoder (what it does: app/posix/edit_keys.h).
#include "app/posix/edit_keys.h"

#include <string_view>

#include "app/utf8.h"

namespace beam {
namespace {

constexpr unsigned char kEscape = 0x1b;
constexpr std::string_view kPasteEnd = "\x1b[201~";

constexpr unsigned char control(char letter) { return static_cast<unsigned char>(letter - '@'); }

// The key a whole escape sequence stands for; false for one the editor
// does not know (it is swallowed).
bool sequenceKey(std::string_view bytes, EditKey& key) {
  struct Named {
    std::string_view bytes;
    EditKey key;
  };
  static constexpr Named kNamed[] = {
      {"[A", EditKey::kUp},    {"[B", EditKey::kDown},    {"[C", EditKey::kRight},
      {"[D", EditKey::kLeft},  {"[H", EditKey::kHome},    {"[F", EditKey::kEnd},
      {"OA", EditKey::kUp},    {"OB", EditKey::kDown},    {"OC", EditKey::kRight},
      {"OD", EditKey::kLeft},  {"OH", EditKey::kHome},    {"OF", EditKey::kEnd},
      {"[1~", EditKey::kHome}, {"[7~", EditKey::kHome},   {"[4~", EditKey::kEnd},
      {"[8~", EditKey::kEnd},  {"[3~", EditKey::kDelete},
  };
  bytes.remove_prefix(1);  // the ESC
  for (const Named& named : kNamed) {
    if (named.bytes == bytes) {
      key = named.key;
      return true;
    }
  }
  return false;
}

}  // namespace

void EditKeyDecoder::feed(unsigned char byte, std::vector<EditPress>& keys) {
  if (pasting_ && state_ != State::kUtf8) return pasted(byte, keys);
  switch (state_) {
    case State::kPlain:
      return plain(byte, keys);
    case State::kEscape:
      held_ += static_cast<char>(byte);
      if (parser_.feed(byte)) return endSequence(keys);
      if (parser_.inPaste()) {
        pasting_ = true;
        endSeen_ = 0;
        state_ = State::kPlain;
        held_.clear();
      }
      return;
    case State::kUtf8:
      if (!isUtf8Continuation(byte)) {
        cut(keys);  // what came of the character is text; the byte is a key of its own
        return feed(byte, keys);
      }
      held_ += static_cast<char>(byte);
      if (--toCome_ == 0) cut(keys);
      return;
  }
}

void EditKeyDecoder::cut(std::vector<EditPress>& keys) {
  if (state_ == State::kUtf8) keys.push_back({EditKey::kText, held_});
  if (state_ == State::kEscape && parser_.mayEndHere()) endSequence(keys);
  state_ = State::kPlain;
  held_.clear();
}

void EditKeyDecoder::endSequence(std::vector<EditPress>& keys) {
  EditKey key = EditKey::kText;
  if (parser_.isKeyPress() && sequenceKey(held_, key)) keys.push_back({key, {}});
  state_ = State::kPlain;
  held_.clear();
}

// Inside a paste: text and line ends; only the closing mark ends it.
void EditKeyDecoder::pasted(unsigned char byte, std::vector<EditPress>& keys) {
  if (byte == static_cast<unsigned char>(kPasteEnd[endSeen_])) {
    if (++endSeen_ == kPasteEnd.size()) pasting_ = false;
    return;
  }
  // A sequence that is not the closing mark is dropped; the byte that
  // broke it may begin the mark again.
  const bool inSequence = endSeen_ > 0;
  endSeen_ = byte == kEscape ? 1 : 0;
  if (inSequence || byte == kEscape) return;
  if (byte == '\n' || byte == '\r') {
    keys.push_back({EditKey::kEnter, {}});
  } else if (byte >= 0x20 || byte == '\t') {
    plain(byte, keys);
  }
}

void EditKeyDecoder::plain(unsigned char byte, std::vector<EditPress>& keys) {
  if (byte == kEscape) {
    state_ = State::kEscape;
    parser_ = KeyPressParser(utf8_);
    parser_.feed(byte);
    held_.assign(1, static_cast<char>(byte));
    return;
  }
  if (byte >= 0x80 && utf8_ && utf8ContinuationCount(byte) > 0) {
    state_ = State::kUtf8;
    toCome_ = utf8ContinuationCount(byte);
    held_.assign(1, static_cast<char>(byte));
    return;
  }
  if (byte >= 0x20 && byte != 0x7f) {
    keys.push_back({EditKey::kText, std::string(1, static_cast<char>(byte))});
    return;
  }
  struct Control {
    unsigned char byte;
    EditKey key;
  };
  static constexpr Control kControls[] = {
      {'\n', EditKey::kEnter},
      {'\r', EditKey::kEnter},
      {control('D'), EditKey::kEndOfInput},
      {control('B'), EditKey::kLeft},
      {control('F'), EditKey::kRight},
      {control('A'), EditKey::kHome},
      {control('E'), EditKey::kEnd},
      {control('H'), EditKey::kBackspace},
      {0x7f, EditKey::kBackspace},
      {control('U'), EditKey::kKillBefore},
      {control('K'), EditKey::kKillAfter},
      {control('W'), EditKey::kKillWord},
      {control('P'), EditKey::kUp},
      {control('N'), EditKey::kDown},
  };
  if (byte == '\t') {
    keys.push_back({EditKey::kText, "\t"});
    return;
  }
  for (const Control& c : kControls) {
    if (c.byte == byte) {
      keys.push_back({c.key, {}});
      return;
    }
  }
}

}  // namespace beam
