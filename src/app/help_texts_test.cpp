#include "app/help_texts.h"

#include <gtest/gtest.h>

#include "build_config.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

TEST(HelpTextsTest, InstructionsAreTheNinePiecesIn206Bytes) {
  std::string text = InstructionsText();
  EXPECT_EQ(text.size(), 206u);
  EXPECT_EQ(text.rfind("\n  左边编辑脚本  \n\n"_gbk, 0), 0u);
  EXPECT_NE(text.find("  ctrl+y 运行脚本  \n\n  ctrl+t 停止脚本  \n\n选项中可自定义热键。"_gbk),
            std::string::npos);
  // The quotes around the menu name are the full-width GBK quotes.
  EXPECT_NE(text.find("“运行脚本”"_gbk), std::string::npos);
  EXPECT_NE(text.find("\xA1\xB0"), std::string::npos);
}

TEST(HelpTextsTest, AboutNamesVersionDateMailAndHost) {
  EXPECT_EQ(AboutText(),
            std::string("  \n\n  版 本 V5.0  \n\n  日期：2014年11月  \n\n  邮箱："_gbk) +
                KESTRO_VENDOR_EMAIL + "  \n\n  主页："_gbk + KESTRO_VENDOR_HOST + "  \n\n");
}

TEST(HelpTextsTest, AddressesOnTheVendorsHost) {
  std::string host = KESTRO_VENDOR_HOST;
  EXPECT_EQ(HomePageAddress(), "http://" + host + "/soft/kestro/kestro.htm");
  EXPECT_EQ(MessageBoardAddress(), "http://" + host + "/liuyanban/liuyanban.asp?id=12670");
}

}  // namespace
}  // namespace kestro
