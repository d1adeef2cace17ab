// GBK (code page 936) <-> UTF-16 at the Win32 boundary. The program keeps
// GBK bytes inside and calls the W functions with explicitly converted text,
// so Chinese shows correctly whatever the system's ANSI code page is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestro {

std::wstring WideFromGbk(std::string_view gbk);
// Characters GBK cannot hold become '?'.
std::string GbkFromWide(std::wstring_view wide);
// Nothing when GBK cannot hold a character of the text.
std::optional<std::string> ExactGbkFromWide(std::wstring_view wide);

}  // namespace kestro
