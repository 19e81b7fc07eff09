// A stream buffer over the fuzzer's bytes, read in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>

namespace beam::fuzzing {

class MemoryBuffer : public std::streambuf {
 public:
  MemoryBuffer(const std::uint8_t* data, std::size_t size) {
    char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
    setg(begin, begin, begin + size);
  }
};

}  // namespace beam::fuzzing
