// What the fuzz targets share: a check that stops the run with a message, and input helpers.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

inline std::string_view asBytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}
