#include "app/help_texts.h"

#include "build_config.h"

namespace kestro {

std::string InstructionsText() {
  return std::string("\n  左边编辑脚本  \n\n") + "  右边显示脚本内容  \n\n" +
         "  点菜单里的“运行脚本”开始  \n\n" + "--------------------------------  \n\n" +
         "初始热键：\n\n" + "  ctrl+f 取鼠标坐标  \n\n" + "  ctrl+y 运行脚本  \n\n" +
         "  ctrl+t 停止脚本  \n\n" + "选项中可自定义热键。";
}

std::string AboutText() {
  return std::string("  \n\n  版 本 V5.0  \n\n") + "  日期：2014年11月  \n\n" + "  邮箱：" +
         KESTRO_VENDOR_EMAIL + "  \n\n" + "  主页：" + KESTRO_VENDOR_HOST + "  \n\n";
}

// The vendor's pages are served over plain HTTP.
std::string HomePageAddress() {
  return std::string("http://") + KESTRO_VENDOR_HOST + "/soft/kestro/kestro.htm";
}

std::string MessageBoardAddress() {
  return std::string("http://") + KESTRO_VENDOR_HOST + "/liuyanban/liuyanban.asp?id=12670";
}

}  // namespace kestro
