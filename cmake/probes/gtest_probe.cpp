// Does a GoogleTest program build with this compiler and standard library?
// (A library built for libstdc++ does not link under libc++.)
#include <gtest/gtest.h>

TEST(Probe, Links) { EXPECT_EQ(1, 1); }
