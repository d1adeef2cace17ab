// INI text read and written the way the Windows profile functions do it
// (GetPrivateProfileInt, WritePrivateProfileString), on a file's bytes. It
// stands in for those functions where they do not exist, so its rules follow
// what they do, quirks included:
//
// - Encoding by signature: UTF-8 (EF BB BF), UTF-16LE (FF FE), UTF-16BE
//   (FE FF), otherwise ANSI bytes, taken as GBK.
// - Lines end at CR, LF or CR LF. Spaces, tabs, CR, LF, VT, FF and ^Z are
//   trimmed around a line, a section name inside its brackets, a key name and
//   a value; blank lines count for nothing.
// - "[name]" starts a section; text after the last ']' is ignored; a line
//   starting with '[' without any ']' is an ordinary line. Lines before the
//   first section belong to no section.
// - Section and key names match ignoring ASCII letter case. Only the first
//   section of a name is searched, and the first line of a key counts (also a
//   line without '=', which has no value). Names end at a NUL character.
//
// Section, key and value are GBK; in a UTF-16 file only their ASCII
// characters are meaningful (the settings only ever hold decimal numbers
// under ASCII names).
#pragma once

#include <string>
#include <string_view>

namespace kestro {

// What GetPrivateProfileInt returns for the key: the fallback when the
// section or the key is absent, the key has no '=' or an empty value;
// otherwise the number its value starts with, read as the platform does:
// one pair of matching quotes stripped, only the first 29 characters seen,
// leading blanks and one sign skipped, "0x", "0o", "0b" choosing the base,
// digits up to the first other character (none: 0), wrapping at 32 bits.
// An empty file stands for a missing one.
int IniReadInt(std::string_view file, std::string_view section, std::string_view key, int fallback);

// The file after WritePrivateProfileString(section, key, value), value with
// its leading blanks dropped. A key that already holds the value leaves the
// file as it was. Otherwise only one place changes and every other byte
// stays: the key's line becomes "name=value" (with the file's spelling of
// the name); a missing key is added as "key=value" after the last non-blank
// line of the section; a missing section is appended as "[section]" and
// "key=value". New lines end in CR LF, and a last line without a line end
// gets one first. The file keeps its encoding; an empty one becomes ANSI.
std::string IniWriteString(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view value);

}  // namespace kestro
