// The next character of a C stream, by the fastest call the C library has:
// app/next_character_unlocked.cpp (POSIX getc_unlocked, without the stream's
// lock, for a program with one thread) or app/next_character_locked.cpp
// (std::getc), picked when the build is configured. Internal to app/.
#pragma once

#include <cstdio>

namespace beam {

/// The next character of file as an unsigned char converted to int, or EOF.
/// Only for a stream that one thread reads.
int nextCharacter(std::FILE* file);

}  // namespace beam
