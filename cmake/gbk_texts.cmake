# Makes a C++ header of GBK byte strings from a UTF-8 table of texts, so no
# compiler has to turn Chinese literals into GBK itself:
#
#   cmake -DINPUT=system_texts.txt -DOUTPUT=system_texts.h -DICONV=iconv
#         -DNAMESPACE=kestro::text -P gbk_texts.cmake
#
# Each line of the table is a name, blanks and a double-quoted text with C++
# escapes; blank lines and lines starting with '#' are skipped. iconv does the
# conversion, so a character that GBK cannot hold fails the build. Bytes from
# 0x80 on become \x escapes; ASCII stays as written, escapes included.

cmake_minimum_required(VERSION 3.25)

foreach(input INPUT OUTPUT ICONV NAMESPACE)
  if(NOT ${input})
    message(FATAL_ERROR "gbk_texts: ${input} is not set")
  endif()
endforeach()

set(converted "${OUTPUT}.gbk")
get_filename_component(output_folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_folder}")
execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${INPUT}"
  OUTPUT_FILE "${converted}" RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gbk_texts: ${INPUT} does not convert to GBK: ${errors}")
endif()
file(READ "${converted}" hex HEX)
file(REMOVE "${converted}")
string(REGEX MATCHALL ".." bytes "${hex}")

set(body "")
set(names "")
set(line "")
list(APPEND bytes "0a")  # a last line without a line end
foreach(byte IN LISTS bytes)
  if(NOT byte STREQUAL "0a")
    list(APPEND line ${byte})
    continue()
  endif()
  # One whole line: skip blanks and comments, then split name and text.
  list(FILTER line EXCLUDE REGEX "^0d$")
  set(name "")
  set(text "")
  set(part name)  # name, gap, text, done
  set(after_hex_escape FALSE)
  foreach(b IN LISTS line)
    math(EXPR code "0x${b}" OUTPUT_FORMAT DECIMAL)
    if(part STREQUAL "name")
      if(code EQUAL 32 OR code EQUAL 9)
        set(part gap)
      else()
        string(ASCII ${code} c)
        string(APPEND name "${c}")
      endif()
    elseif(part STREQUAL "gap")
      if(code EQUAL 34)
        set(part text)
      endif()
    elseif(part STREQUAL "text")
      list(APPEND text ${b})
    endif()
  endforeach()
  set(line "")
  if(name STREQUAL "" OR name MATCHES "^#")
    continue()
  endif()
  # The text ends at the line's last double quote.
  list(LENGTH text count)
  set(last -1)
  set(index 0)
  foreach(b IN LISTS text)
    if(b STREQUAL "22")
      set(last ${index})
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  if(last LESS 0 OR NOT name MATCHES "^k[A-Za-z0-9]+$")
    message(FATAL_ERROR "gbk_texts: a line of ${INPUT} is not a name and a quoted text: ${name}")
  endif()
  set(literal "")
  set(index 0)
  foreach(b IN LISTS text)
    if(index EQUAL last)
      break()
    endif()
    math(EXPR index "${index} + 1")
    math(EXPR code "0x${b}" OUTPUT_FORMAT DECIMAL)
    if(code GREATER_EQUAL 128)
      string(TOUPPER "${b}" upper)
      string(APPEND literal "\\x${upper}")
      set(after_hex_escape TRUE)
      continue()
    endif()
    string(ASCII ${code} c)
    # A hex digit right after \xNN would join the escape: end the literal.
    if(after_hex_escape AND c MATCHES "^[0-9A-Fa-f]$")
      string(APPEND literal "\" \"")
    endif()
    set(after_hex_escape FALSE)
    string(APPEND literal "${c}")
  endforeach()
  string(APPEND body "inline constexpr std::string_view ${name} = \"${literal}\";\n")
  string(APPEND names "    {\"${name}\", ${name}},\n")
endforeach()

set(header "// Made by cmake/gbk_texts.cmake from ${INPUT}: do not edit.
#pragma once

#include <string_view>

namespace ${NAMESPACE} {

${body}
struct NamedText {
  std::string_view name;
  std::string_view text;
};

// Every text above, in table order.
inline constexpr NamedText kAllTexts[] = {
${names}};

}  // namespace ${NAMESPACE}
")
# Rewritten only when it changes, so a reconfigure rebuilds nothing.
file(WRITE "${OUTPUT}.new" "${header}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
