#include "bytes/byte_buffer.h"

#include <gtest/gtest.h>

TEST(Smoke, Builds) { EXPECT_EQ(findBytes(ByteBuffer{1, 2, 3}, ByteBuffer{2, 3}, 1), 2); }
