// The one decimal reader of the program, as the C library's atoi reads:
// leading white space, an optional sign, then digits up to the first other
// byte. It reads repeat counts, version numbers, status codes and lengths.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestro {

// The reading of the text, which ends at its first zero byte; no digits give
// 0. Values beyond 2^53 saturate, so no text, however long, overflows.
std::int64_t DecimalReading(std::string_view text);

// The same reading held in an int: values beyond its range saturate.
int DecimalReadingInt(std::string_view text);

}  // namespace kestro
