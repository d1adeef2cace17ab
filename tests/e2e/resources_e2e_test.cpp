// The resources built into kestro.exe: the main dialog's template control
// by control, its menu, the icon, the version block and the manifest.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "dialog_template.h"
#include "kestro_process.h"
#include "resource_ids.h"

namespace kestro::e2e {
namespace {

enum class Kind {
  GroupBox,
  DropDownList,
  DropDownCombo,
  PushButton,
  CheckBox,
  Edit,
  ReadOnlyEdit,
  KeyEdit,
  Label,
  List
};

struct ExpectedControl {
  int id;
  Kind kind;
  const wchar_t* text;
  short x, y, cx, cy;
  bool visible = true;
};

// Whether a template entry is of the kind: its class and the style bits
// that make that kind.
bool IsKind(const TemplateControl& c, Kind kind) {
  DWORD type = c.style & 0xF;
  auto is = [&](const wchar_t* name) { return _wcsicmp(c.className.c_str(), name) == 0; };
  switch (kind) {
    case Kind::GroupBox:
      return is(L"Button") && type == BS_GROUPBOX;
    case Kind::PushButton:
      return is(L"Button") && type == BS_PUSHBUTTON;
    case Kind::CheckBox:
      return is(L"Button") && type == BS_AUTOCHECKBOX;
    case Kind::DropDownList:
      return is(L"ComboBox") && (c.style & 3) == CBS_DROPDOWNLIST;
    case Kind::DropDownCombo:
      return is(L"ComboBox") && (c.style & 3) == CBS_DROPDOWN;
    case Kind::Edit:
      return is(L"Edit") && !(c.style & (ES_READONLY | ES_MULTILINE));
    case Kind::ReadOnlyEdit:
      return is(L"Edit") && (c.style & ES_READONLY);
    case Kind::KeyEdit:
      return is(L"Edit") && (c.style & ES_MULTILINE) && (c.style & ES_WANTRETURN);
    case Kind::Label:
      return is(L"Static");
    case Kind::List:
      return is(L"ListBox") && (c.style & LBS_NOTIFY) && !(c.style & LBS_SORT) &&
             (c.style & WS_VSCROLL) && (c.style & WS_BORDER);
  }
  return false;
}

// Every control of the template, in order, against the expected ones.
template <std::size_t N>
void ExpectControls(const DialogTemplate& dialog, const ExpectedControl (&expected)[N]) {
  ASSERT_EQ(dialog.controls.size(), N);
  for (std::size_t i = 0; i < N; ++i) {
    const ExpectedControl& e = expected[i];
    const TemplateControl& c = dialog.controls[i];
    SCOPED_TRACE(testing::Message() << "control " << i << " id " << e.id);
    EXPECT_EQ(c.id, e.id);
    EXPECT_TRUE(IsKind(c, e.kind)) << "style " << std::hex << c.style;
    EXPECT_EQ(c.text, e.text);
    EXPECT_EQ((std::array<short, 4>{c.x, c.y, c.cx, c.cy}),
              (std::array<short, 4>{e.x, e.y, e.cx, e.cy}));
    EXPECT_EQ((c.style & WS_VISIBLE) != 0, e.visible);
  }
}

// The template's own fields; both dialogs use the same font.
void ExpectDialog(const DialogTemplate& dialog, const wchar_t* caption, short cx, short cy,
                  int menu, DWORD style) {
  EXPECT_EQ(dialog.caption, caption);
  EXPECT_EQ(dialog.cx, cx);
  EXPECT_EQ(dialog.cy, cy);
  EXPECT_EQ(dialog.fontName, L"新宋体");
  EXPECT_EQ(dialog.fontSize, 10);
  EXPECT_EQ(dialog.menu, menu);
  EXPECT_EQ(dialog.style & style, style);
}

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW((BuildFolder() / L"kestro.exe").c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }
  HMODULE module_ = nullptr;
};

TEST_F(ResourcesTest, MainDialogTemplate) {
  DialogTemplate dialog = ReadDialogTemplate(module_, IDD_MAIN);
  ASSERT_TRUE(dialog.found);
  // Grown by the group of the text, colour and wheel lines below the rest.
  ExpectDialog(dialog, L"Zelmo按键", 279, 315, IDR_MAIN_MENU,
               DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_FALSE(dialog.style & WS_MAXIMIZEBOX);

  const ExpectedControl expected[] = {
      {-1, Kind::GroupBox, L"鼠标命令", 11, 13, 142, 81},
      {1000, Kind::DropDownList, L"", 16, 29, 68, 58},
      {1001, Kind::PushButton, L"插入", 121, 29, 27, 13},
      {1006, Kind::Edit, L"", 16, 56, 26, 12},
      {1007, Kind::Edit, L"", 47, 56, 26, 12},
      {-1, Kind::Label, L"x", 26, 45, 8, 8},
      {-1, Kind::Label, L"y", 58, 46, 8, 8},
      {1005, Kind::PushButton, L"移动鼠标", 110, 56, 38, 13},
      {1008, Kind::Label, L"", 23, 78, 16, 8},
      {-1, Kind::Label, L":", 42, 77, 8, 10},
      {1009, Kind::Label, L"", 49, 78, 17, 8},
      {1026, Kind::ReadOnlyEdit, L"", 68, 78, 49, 12},
      {-1, Kind::GroupBox, L"键盘命令", 11, 103, 142, 55},
      {1017, Kind::DropDownCombo, L"", 16, 117, 57, 47},
      {1016, Kind::KeyEdit, L"", 74, 117, 11, 12},
      {1018, Kind::PushButton, L"插入", 121, 118, 27, 12},
      {1021, Kind::DropDownCombo, L"", 16, 138, 57, 47},
      {1030, Kind::DropDownCombo, L"", 74, 138, 44, 102},
      {1032, Kind::PushButton, L"插入", 121, 138, 27, 12},
      {-1, Kind::GroupBox, L"等待时间", 11, 167, 142, 37},
      {1003, Kind::Edit, L"", 19, 180, 40, 12},
      {-1, Kind::Label, L"毫秒", 64, 183, 17, 8},
      {1004, Kind::PushButton, L"插入", 121, 183, 27, 12},
      {-1, Kind::GroupBox, L"其他命令", 11, 213, 142, 75},
      {-1, Kind::Label, L"文字", 16, 229, 17, 8},
      {1044, Kind::Edit, L"", 35, 226, 81, 12},
      {1045, Kind::PushButton, L"插入", 121, 226, 27, 12},
      {-1, Kind::Label, L"x", 22, 243, 8, 8},
      {-1, Kind::Label, L"y", 42, 243, 8, 8},
      {-1, Kind::Label, L"颜色", 63, 243, 17, 8},
      {-1, Kind::Label, L"时限", 95, 243, 17, 8},
      {1046, Kind::Edit, L"", 16, 252, 18, 12},
      {1047, Kind::Edit, L"", 36, 252, 18, 12},
      {1048, Kind::Edit, L"", 56, 252, 31, 12},
      {1049, Kind::Edit, L"", 89, 252, 29, 12},
      {1050, Kind::PushButton, L"插入", 121, 252, 27, 12},
      {-1, Kind::Label, L"滚动", 16, 271, 17, 8},
      {1051, Kind::Edit, L"", 35, 268, 30, 12},
      {-1, Kind::Label, L"格", 69, 271, 10, 8},
      {1052, Kind::PushButton, L"插入", 121, 268, 27, 12},
      {-1, Kind::Label, L"执行次数", 166, 20, 34, 8},
      {1010, Kind::Edit, L"", 202, 17, 25, 12},
      {1012, Kind::CheckBox, L"循环", 235, 19, 26, 8},
      {1002, Kind::List, L"", 167, 35, 96, 168},
      {1013, Kind::Label, L"执行0次", 170, 212, 47, 11, false},
      {1023, Kind::Label, L"空闲", 221, 212, 30, 11, false},
      {1027, Kind::ReadOnlyEdit, L"", 161, 54, 118, 125, false},
      {1029, Kind::PushButton, L"关闭广告", 235, 39, 41, 14, false},
      {-1, Kind::Label, L"", 268, 196, 11, 9},
  };
  ExpectControls(dialog, expected);
}

// The three rows of hotkeys as they always were, the record row below them,
// and the frame, the dialog and the OK button grown or moved to hold it.
TEST_F(ResourcesTest, OptionsDialogTemplate) {
  DialogTemplate dialog = ReadDialogTemplate(module_, IDD_OPTIONS);
  ASSERT_TRUE(dialog.found);
  ExpectDialog(dialog, L"选项", 183, 144, 0,
               DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);

  const ExpectedControl expected[] = {
      {-1, Kind::GroupBox, L"设置热键", 11, 9, 161, 124},
      {-1, Kind::Label, L"运行脚本", 26, 28, 36, 8},
      {1036, Kind::DropDownCombo, L"", 65, 25, 34, 12},
      {-1, Kind::Label, L"+", 107, 28, 9, 8},
      {1037, Kind::DropDownCombo, L"", 119, 25, 29, 13},
      {-1, Kind::Label, L"停止脚本", 26, 48, 35, 8},
      {-1, Kind::Label, L"+", 107, 48, 9, 8},
      {1038, Kind::DropDownCombo, L"", 65, 45, 34, 43},
      {1039, Kind::DropDownCombo, L"", 119, 45, 29, 13},
      {-1, Kind::Label, L"获取坐标", 26, 67, 35, 8},
      {1040, Kind::DropDownCombo, L"", 65, 65, 34, 12},
      {1041, Kind::DropDownCombo, L"", 119, 65, 29, 13},
      {-1, Kind::Label, L"+", 107, 68, 9, 8},
      {-1, Kind::Label, L"录制脚本", 26, 87, 35, 8},
      {1042, Kind::DropDownCombo, L"", 65, 85, 34, 12},
      {-1, Kind::Label, L"+", 107, 88, 9, 8},
      {1043, Kind::DropDownCombo, L"", 119, 85, 29, 13},
      {1, Kind::PushButton, L"确定", 107, 109, 41, 15},
  };
  ExpectControls(dialog, expected);
}

std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    UINT id = GetMenuItemID(menu, i);
    texts.push_back(std::wstring(text) + L"=" + (id == UINT(-1) ? L"popup" : std::to_wstring(id)));
  }
  return texts;
}

TEST_F(ResourcesTest, MainMenu) {
  HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  using Texts = std::vector<std::wstring>;
  EXPECT_EQ(MenuTexts(menu),
            (Texts{L"文件=popup", L"选项=popup", L"删除行=1011", L"清空=1014", L"执行脚本=1",
                   L"停止行运=1015", L"录制=40015", L"帮助=popup"}));
  EXPECT_EQ(MenuTexts(GetSubMenu(menu, 0)), (Texts{L"打开=40008", L"保存=40009"}));
  EXPECT_EQ(MenuTexts(GetSubMenu(menu, 1)), (Texts{L"设置热键=40013"}));
  EXPECT_EQ(MenuTexts(GetSubMenu(menu, 7)),
            (Texts{L"关于=40003", L"操作说明=40001", L"留言板=40014", L"Zelmo按键主页=40002"}));
  DestroyMenu(menu);
}

TEST_F(ResourcesTest, IconVersionAndManifest) {
  EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(IDI_APP), MAKEINTRESOURCEW(14)),
            nullptr);  // RT_GROUP_ICON

  std::wstring path = (BuildFolder() / L"kestro.exe").wstring();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00050000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00050000u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 1200);

  HRSRC resource =
      FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(resource, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(module_, resource))),
                       SizeofResource(module_, resource));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2<"), std::string::npos);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
  return TRUE;
}

// Every resource is Simplified Chinese, as its texts are.
TEST_F(ResourcesTest, EveryResourceIsSimplifiedChinese) {
  struct Resource {
    int type, id;
  } resources[] = {{5, IDD_MAIN}, {5, IDD_OPTIONS}, {4, IDR_MAIN_MENU},
                   {14, IDI_APP}, {16, 1},          {24, 1}};  // dialog, menu, icon, ...
  for (const Resource& r : resources) {
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module_, MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id),
                           CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{0x0804}) << "type " << r.type << " id " << r.id;
  }
}

}  // namespace
}  // namespace kestro::e2e
