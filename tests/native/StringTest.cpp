// Numbers written as printf writes them with "%0*d" and "%0*x", printf itself the reference.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/String.h"

namespace {

TEST(NumberTextTest, AsPrintfWritesThem) {
  const int64_t values[] = {0, 1, 7, -7, 9, 10, 59, 100, 1999, -1999, 20270520, 4294967295, INT64_MAX, INT64_MIN};
  for (int64_t value : values) {
    for (int width : {0, 1, 2, 4, 8, 16, 21}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%0*lld", width, static_cast<long long>(value));
      EXPECT_EQ(zeroPadded(value, width), expected) << value << " " << width;
      std::snprintf(expected, sizeof expected, "%0*llx", width, static_cast<unsigned long long>(value));
      EXPECT_EQ(hexDigits(static_cast<uint64_t>(value), width), expected) << value << " " << width;
    }
  }
}

}  // namespace
