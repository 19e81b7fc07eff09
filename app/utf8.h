// The one UTF-8 rule that both readers follow: the word reader, when it cuts
// a unit word to its field, and the key parser, when it gathers the bytes of
// one key press. A lead byte is C2 to F4; C0 and C1 (which could only begin
// an overlong form) and F5 to FF begin nothing and stand alone.
#pragma once

namespace beam {

/// The continuation bytes a UTF-8 lead byte announces: 1 for C2-DF, 2 for
/// E0-EF, 3 for F0-F4; 0 for every other byte, which is not a lead byte.
/// Examples: C3 (of é) -> 1; E2 (of €) -> 2; F0 -> 3; C0 -> 0; 'a' -> 0.
constexpr int utf8ContinuationCount(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return 1;
  if (byte >= 0xE0 && byte <= 0xEF) return 2;
  if (byte >= 0xF0 && byte <= 0xF4) return 3;
  return 0;
}

/// True for 80 to BF, the bytes that continue a character.
constexpr bool isUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace beam
