#!/usr/bin/env bash
# Writes the fuzz targets' seed corpora (corpus/<target>/) and dictionaries
# (dict/<target>.dict) from the formats' real examples. The examples are
# readable here; on disk they are GBK, converted with iconv, as the program
# reads them. The output is committed: run this after changing an example.
#
#   tests/fuzz/make_corpus.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
corpus=$here/corpus
dict=$here/dict
rm -rf "$corpus" "$dict"
mkdir -p "$dict"

# The GBK bytes of a text given with printf's backslash escapes.
gbk() { printf '%b' "$1" | iconv -f UTF-8 -t GBK; }

# seed TARGET NAME: stdin becomes the seed file.
seed() {
  mkdir -p "$corpus/$1"
  cat >"$corpus/$1/$2"
}

# A two-byte big-endian length, for the formats that need one.
length16() { printf "\\x$(printf '%02x' $(($1 >> 8)))\\x$(printf '%02x' $(($1 & 255)))"; }

# dictionary TARGET TEXT...: each text in GBK, as libFuzzer's escaped string.
dictionary() {
  local target=$1 text hex
  shift
  for text in "$@"; do
    hex=$(gbk "$text" | od -An -v -tx1)
    printf '"%s"\n' "$(printf '%s' "$hex" | tr -d ' \n' | sed 's/\(..\)/\\x\1/g')"
  done >>"$dict/$target.dict"
}

keywords=(单击鼠标 双击鼠标 按住鼠标 弹起鼠标 移动鼠标 单击键盘 按住键盘 弹起键盘 组合按键 等待时间 输入文字
  等待颜色 滚动鼠标)
key_names=(退格键 TAB键 回车键 SHIFT键 CTRL键 ALT键 PAUSE键 CAPSLOCK键 ESC键 空格键 向左箭头 向上箭头
  向右箭头 向下箭头 DEL键 左Win键 右Win键 F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 静音键 音量- 音量+)

# --- line_executor: one script line, every command and argument form -------
line() { gbk "$2" | seed line_executor "$1"; }
line click_left '单击鼠标:左键;'
line click_right '单击鼠标:右键;'
line click_middle '单击鼠标:中键;'
line click_without_separator '单击鼠标左键;'
line click_other_separator '单击鼠标X左键;'
line click_without_semicolon '单击鼠标:左键'
line click_blanks_and_comment '  \t单击鼠标:左键; 单击左键'
line double_click_left '双击鼠标:左键;'
line double_click_right '双击鼠标:右键;'
line press_left '按住鼠标:左键;'
line press_right '按住鼠标:右键;'
line press_middle '按住鼠标:中键;'
line release_left '弹起鼠标:左键;'
line release_right '弹起鼠标:右键;'
line move '移动鼠标:100,200;'
line move_empty_fields '移动鼠标:,;'
line move_without_semicolon '移动鼠标:100,200'
line move_blank_inside '移动鼠标:100, 200;'
line move_letter '移动鼠标:12a,5;'
line move_largest '移动鼠标:2147483647,2147483647;'
line move_too_large '移动鼠标:2147483648,1;'
line move_32_digits '移动鼠标:00000000000000000000000000000001,1;'
line tap_letter '单击键盘:a;'
line tap_shifted '单击键盘:A;'
line tap_digit_shifted '单击键盘:!;'
line tap_two_characters '单击键盘:ab;'
line tap_semicolon '单击键盘:;;'
line tap_empty '单击键盘:'
line tap_unmapped '单击键盘:中;'
line tap_enter '单击键盘:(回车键);'
line tap_enter_without_parenthesis '单击键盘:(回车键;'
line tap_wrong_case '单击键盘:(tab键);'
line tap_f12 '单击键盘:(F12);'
line tap_volume_up '单击键盘:(音量+);'
line tap_left_win '单击键盘:(左Win键);'
line tap_empty_name '单击键盘:(;'
line press_shift '按住键盘:(SHIFT键);'
line press_letter '按住键盘:A;'
line release_shift '弹起键盘:(SHIFT键);'
line release_letter '弹起键盘:a;'
line key_combo '组合按键:ctrl;'
line wait '等待时间:1000;'
line wait_zero '等待时间:0;'
line wait_empty '等待时间:;'
line wait_without_semicolon '等待时间:1000'
line wait_largest '等待时间:2147483647;'
line wait_too_large '等待时间:99999999999;'
line wait_decimal_point '等待时间:1.5;'
line wait_nul_inside '等待时间:5\0;'
line type_text '输入文字:张三，你好！Abc\\x201\\x2E5\\x3B;'
line type_text_backslash '输入文字:\\\\a;'
line type_text_bad_escape '输入文字:a\\q;'
line type_text_empty '输入文字:;'
line colour_wait '等待颜色:10,20,000000;'
line colour_wait_limit '等待颜色:-10,20,FFFFFF,100;'
line colour_wait_short '等待颜色:1,2;'
line wheel_away '滚动鼠标:3;'
line wheel_towards '滚动鼠标:-2;'
line wheel_empty '滚动鼠标:;'
line unknown 'abc'
line short_word '单击鼠'
line empty ''
dictionary line_executor "${keywords[@]}" 左键 右键 ':' ';' ',' '(' ')' \
  "${key_names[@]/#/(}" 2147483647 2147483648

# --- script_runner: control byte, repeat count, LF, the lines ---------------
# Control: bit 0 ticks the loop box; bits 1-5 stop the run after 1 to 32
# input calls; bit 7 makes the first start fail for want of a thread.
run() {
  local name=$1 control=$2 count=$3
  shift 3
  { printf "$control"; gbk "$count"; for l in "$@"; do printf '\n'; gbk "$l"; done; } |
    seed script_runner "$name"
}
run three_passes '\x3e' 3 '单击鼠标:左键;' '等待时间:50;'
run stop_at_start '\x00' 3 '单击鼠标:左键;'
run no_thread_at_first '\x86' 2 '单击鼠标:左键;'
run stop_in_first_wait '\x02' 5 '等待时间:0;'
run stop_inside_a_pass '\x0c' 5 '单击鼠标:左键;' '单击鼠标:右键;'
run loop_until_stopped '\x21' 0 '等待时间:0;'
run loop_of_an_empty_list '\x3f' 5
run negative_count '\x20' -2 '等待时间:0;'
run zero_passes '\x3e' 0 '单击鼠标:左键;'
run empty_list_counted '\x3e' 2
run count_with_blank_and_sign '\x3e' ' +2' '单击键盘:a;'
run count_not_a_number '\x3e' abc '单击键盘:a;'
run count_beyond_int '\x3e' 99999999999
run every_command '\x3e' 1 '单击鼠标:左键;' '单击鼠标:中键;' '双击鼠标:左键;' '按住鼠标:右键;' \
  '弹起鼠标:右键;' '移动鼠标:100,200;' '移动鼠标:1a,2;' '单击键盘:A;' '按住键盘:(SHIFT键);' \
  '弹起键盘:(SHIFT键);' '组合按键:ctrl;' '等待时间:5;' '等待时间:5' 'abc' ''
dictionary script_runner "${keywords[@]}" 左键 右键 ':' ';' '(回车键)' '\n'

# --- script_file: files as saved, and as users and other programs make them -
file() { gbk "$2" | seed script_file "$1"; }
example='执行次数:3\r\n\r\n脚本开始.\r\n单击鼠标:左键;\r\n等待时间:1000;\r\n脚本结束.'
file example "$example"
file example_with_lf_line_ends "${example//\\r/}"
file loop '执行次数:循环\r\n\r\n脚本开始.\r\n按住键盘:(SHIFT键);\r\n单击键盘:a;\r\n弹起键盘:(SHIFT键);\r\n脚本结束.'
file empty_script '执行次数:\r\n\r\n脚本开始.\r\n脚本结束.'
file every_command '执行次数:1\r\n\r\n脚本开始.\r\n单击鼠标:左键;\r\n单击鼠标:右键;\r\n双击鼠标:左键;\r\n按住鼠标:左键;\r\n弹起鼠标:左键;\r\n移动鼠标:100,200;\r\n单击键盘:a;\r\n按住键盘:(CTRL键);\r\n弹起键盘:(CTRL键);\r\n组合按键:ctrl;\r\n等待时间:1000;\r\n脚本结束.'
file blanks_and_dots '执行次数: 1 2\r\n\r\n脚本开始.\r\n单击键盘: ;\r\n 等待 时间:5;\r\n等待时间:1.5;\r\n脚本结束.'
file several_count_lines '执行次数:2\r\n执行次数:循环\r\n执行次数:4\r\n脚本开始.\r\n脚本结束.'
file count_with_dot '执行次数:2.5x\r\n脚本开始.\r\na\r\n脚本结束.'
file count_of_40_bytes '执行次数:1234567890123456789012345678901234567890\r\n脚本开始.\r\n等待时间:1;\r\n脚本结束.'
file count_of_chinese '执行次数:一二三四五六七八九十一二三四五六\r\n脚本开始.\r\n等待时间:1;\r\n脚本结束.'
file start_marker_beyond_header "执行次数:$(printf '9%.0s' {1..60})\r\n脚本开始.\r\na\r\n脚本结束."
file headerless '等待时间:1000;\r\n等待时间:1001;\r\n等待时间:1002;\r\n等待时间:1003;\r\n等待时间:1004;\r\n等待时间:1005;\r\n'
file no_end_marker '执行次数:1\r\n\r\n脚本开始.\r\na\r\nb\r\nlast'
file lines_after_end_marker '执行次数:1\r\n\r\n脚本开始.\r\na\r\n脚本结束.\r\nb\r\n'
file lone_cr_and_nul '执行次数:1\r\n脚本开始.\r\na\rb\r\r\nc\r\n\0d\r\n'
file long_line "执行次数:1\r\n\r\n脚本开始.\r\n等待时间:$(printf '1%.0s' {1..300});\r\n脚本结束."
dictionary script_file 执行次数: 循环 脚本开始. 脚本结束. '\r\n' 单击鼠标:左键\; '.'

# --- ini_profile: config.ini, then operations, then their count -------------
# An operation is three bytes: section (bits 0-1: HotKey, hotkey, " HOTKEY\t",
# Other), key (bits 2-4: VKRun, " vkrun\t", VKRUN, "vkrun ", Extra, EXTRA,
# " extra", "extra\t") and action (bits 5-7: 0-3 write, 4 write after blanks,
# 5 write nothing, 6 write a wide number, 7 load), then the value's two bytes.
ops='\x00\x00\x55\xe9\x00\x00\x1b\xff\xff\xb0\x00\x00\xd2\x12\x34\x05'
settings() { { printf '%b' "$2"; printf "$ops"; } | seed ini_profile "$1"; }
defaults='[HotKey]\r\nCtrlRun=2\r\nVKRun=89\r\nCtrlOver=2\r\nVKOver=84\r\nCtrlXY=2\r\nVKXY=70\r\n'
settings no_file ''
settings defaults "$defaults"
settings defaults_in_utf8 "\\xef\\xbb\\xbf$defaults"
{ printf '\xff\xfe'; printf '%b' "$defaults" | iconv -f UTF-8 -t UTF-16LE; printf "$ops"; } |
  seed ini_profile defaults_in_utf16le
{ printf '\xfe\xff'; printf '%b' "$defaults" | iconv -f UTF-8 -t UTF-16BE; printf 'x'; printf "$ops"; } |
  seed ini_profile defaults_in_utf16be_with_odd_byte
settings lf_and_cr_line_ends '[HotKey]\nCtrlRun=1\rVKRun=65\n[Other]\rExtra=3'
settings blanks_case_and_quotes '  [ hotkey ]  \r\n\tvkrun\t=\x1a"65"\x1a\r\nCTRLRUN = 0x1F\r\nVKXY=-0b101\r\n'
settings other_sections_around ';settings\r\nTop=1\r\n[Other]\r\nExtra=5\r\n\r\n[HotKey]\r\nVKRun=70\r\n\r\n\r\n[Last]\r\nVKRun=9'
settings second_section_of_a_name '[HotKey]\r\nCtrlRun=1\r\n[HotKey]\r\nVKRun=66\r\n'
settings key_without_value '[HotKey]\r\nVKRun\r\nCtrlRun=\r\nVKXY=   \r\n'
settings gbk_names_and_bracket_byte "$(gbk '[热键]\r\n按键=5')\r\n[HotKey]\\xb0]\r\nVKRun=5\r\n[\\xb0]]\r\nExtra=1"
settings nul_and_long_value '[HotKey]\r\nVKRun=12\0junk\r\nVKXY=123456789012345678901234567890123\r\n'
settings no_last_line_end '[HotKey]\r\nVKRun=89'
dictionary ini_profile '[HotKey]' '[Other]' VKRun= CtrlRun= VKXY= Extra= '\r\n' '0x'
printf '"\\xef\\xbb\\xbf"\n"\\xff\\xfe"\n' >>"$dict/ini_profile.dict"  # signatures, not GBK

# --- recording_conversion: what the hooks saw --------------------------------
# Byte 0: double-click time in 10 ms (bits 0-5), hotkeys that follow (bits
# 6-7, two bytes each); then the count of keys down at the start and those
# keys; then events of six bytes: kind (0 move, 1/2 left down/up, 3/4 right,
# 5/6 other button, 7/8 key down/up, 9 the wheel; +0x80 at the program's own window,
# +0x40 hours later), time since the last (in 64 us, low byte first), x, y
# (in steps of 7 pixels), virtual key (for the wheel its turn in eighths).
events() { printf "$2" | seed recording_conversion "$1"; }
events click_then_double_click '\x32\x00\x01\x00\x00\x0a\x0a\x00\x02\x9c\x00\x0a\x0a\x00\x01\x1a\x06\x0a\x0a\x00\x02\x9c\x00\x0a\x0a\x00\x01\x9c\x00\x0a\x0a\x00\x02\x9c\x00\x0a\x0a\x00'
events drag_still_held '\x32\x00\x03\x00\x00\x05\x05\x00\x00\x1a\x06\x10\x12\x00\x00\x1a\x01\x20\x22\x00'
events shift_held_at_the_end '\x32\x00\x07\x00\x00\x00\x00\xa0\x07\x1a\x06\x00\x00\x41\x08\x9c\x00\x00\x00\x41'
events hotkey_ctrl_held_at_start '\x72\x02\x52\x01\xa2\x08\x9c\x00\x00\x00\xa2\x07\x1a\x06\x00\x00\xa2\x07\x9c\x00\x00\x00\x43\x08\x9c\x00\x00\x00\x43\x07\x1a\x06\x00\x00\x52'
events own_window_and_other_buttons '\x32\x00\x81\x00\x00\x01\x01\x00\x00\x9c\x00\x30\x30\x00\x02\x9c\x00\x30\x30\x00\x05\x9c\x00\x02\x02\x00\x06\x9c\x00\x02\x02\x00\x87\x9c\x00\x00\x00\x57'
events wheel_notches_and_parts '\x32\x00\x09\x00\x00\x05\x05\x08\x09\x1a\x06\x05\x05\xf8\x09\x10\x00\x05\x05\x03\x09\x10\x00\x05\x05\x03\x09\x10\x00\x07\x07\x02\x89\x1a\x06\x05\x05\x08'
events hours_later_and_back '\x32\x00\x07\x00\x00\x00\x00\x41\x08\x9c\x00\x00\x00\x41\x47\x01\x00\x00\x00\x42\x08\x9c\x00\x00\x00\x42\x37\x9c\x00\x00\x00\x43\x08\x9c\x00\x00\x00\x43'

# --- update_checker: both responses of the server ---------------------------
# Byte 0: bits 0-5 bytes per receive less one (63: unlimited), bit 6 another
# publisher, bit 7 an old program there. Byte 1: failures, and in bit 7 a
# yes to the question. Bytes 2-3: the
# version response's length. Then both responses.
response() {
  local name=$1 control=$2 failures=$3 version=$4 executable=$5
  local size
  size=$(printf '%b' "$version" | wc -c)
  { printf "$control$failures"; length16 "$size"; printf '%b' "$version$executable"; } |
    seed update_checker "$name"
}
ok='HTTP/1.1 200 OK\r\n'
version_file() {
  printf '%s' "${ok}Content-Type: text/plain\r\nContent-Length: $(printf '%b' "$1" | wc -c)\r\n\r\n$1"
}
program='MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff\x00\x00\r\n\r\nPE\x00\x00'
executable="${ok}Content-Type: application/octet-stream\r\nContent-Length: 24\r\n\r\n$program"
filler=$(printf 'x%.0s' {1..1000})
response new_version '\x3f' '\x00' "$(version_file qz33)" "$executable"
response new_version_byte_by_byte '\x00' '\x00' "$(version_file qz33)" "$executable"
response new_version_in_small_receives '\x06' '\x00' "$(version_file qz33)" "$executable"
response old_program_is_replaced '\xbf' '\x00' "$(version_file qz31)" "$executable"
response other_publisher '\xff' '\x00' "$(version_file qz33)" "$executable"
response same_version '\x3f' '\x00' "$(version_file qz32)" "$executable"
response single_digit_and_more '\x3f' '\x00' "$(version_file 'qz5\r\nqz99')" "$executable"
response marker_in_other_case '\x3f' '\x00' "$(version_file QZ33)" "$executable"
response version_not_found '\x3f' '\x00' 'HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nNot Found' ''
response executable_not_found '\x3f' '\x00' "$(version_file qz33)" 'HTTP/1.1 404 Not Found\r\n\r\n'
response chunked '\x3f' '\x00' "${ok}Transfer-Encoding: chunked\r\n\r\n4\r\nqz33\r\n0\r\n\r\n" "$executable"
response header_over_1024_bytes '\x3f' '\x00' "${ok}X-Filler: $filler\r\n\r\nqz33" "${ok}X-Filler: $filler\r\nContent-Length: 24\r\n\r\n$program"
response length_larger_than_sent '\x3f' '\x00' "$(version_file qz33)" "${ok}Content-Length: 4000\r\n\r\n$program"
response length_smaller_than_sent '\x3f' '\x00' "$(version_file qz33)" "${ok}Content-Length: 8\r\n\r\n$program"
response length_beyond_32_bits '\x3f' '\x00' "$(version_file qz33)" "${ok}Content-Length: 4294967296\r\n\r\n$program"
response length_after_zero_byte '\x3f' '\x00' "$(version_file qz33)" "${ok}X: \x00Content-Length: 24\r\n\r\n$program"
response no_length '\x3f' '\x00' "$(version_file qz33)" "${ok}\r\n$program"
response closed_inside_header '\x3f' '\x00' "${ok}Content-Le" ''
response no_connection '\x3f' '\x01' "$(version_file qz33)" "$executable"
response executable_refused '\x3f' '\x08' "$(version_file qz33)" "$executable"
response no_temporary_file '\x3f' '\x10' "$(version_file qz33)" "$executable"
response write_fails '\x3f' '\x20' "$(version_file qz33)" "$executable"
response move_fails '\xbf' '\x40' "$(version_file qz33)" "$executable"
response yes_swaps_the_running_program '\xbf' '\x80' "$(version_file qz33)" "$executable"
response yes_with_no_program_there '\x3f' '\x80' "$(version_file qz33)" "$executable"
response yes_but_no_move '\xbf' '\xc0' "$(version_file qz33)" "$executable"
response above_the_ceiling '\x3f' '\x80' "$(version_file qz33)" "${ok}Content-Length: 4000000000\r\n\r\n$program"
dictionary update_checker qz 'HTTP/1.1 200 OK\r\n' 'Content-Length: ' 'Content-Length' '\r\n\r\n' \
  '\r\n' 'HTTP/1.1 404 Not Found\r\n'

echo "make_corpus: $(find "$corpus" -type f | wc -l) seeds in $corpus, dictionaries in $dict"
