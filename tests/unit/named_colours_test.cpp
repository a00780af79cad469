// The colour picker's palette: its 32 named colours, in order, with their
// values as the settings files hold them (0x00BBGGRR).
#include "ui/named_colours.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "app/windows/definitions.h"

namespace {

struct Expected {
  const char* name;
  std::uint32_t rrggbb;  // as a web colour, red first
};

// The palette as the settings window offers it, read across each row.
constexpr Expected kExpected[] = {
    {"黑色", 0x000000}, {"藏青", 0x000080}, {"墨绿", 0x008000}, {"深青", 0x008080}, {"红褐", 0x800000},
    {"紫红", 0x800080}, {"褐绿", 0x808000}, {"浅灰", 0xC0C0C0}, {"灰色", 0x808080}, {"蓝色", 0x0000FF},
    {"绿色", 0x00FF00}, {"艳青", 0x00FFFF}, {"红色", 0xFF0000}, {"品红", 0xFF00FF}, {"黄色", 0xFFFF00},
    {"白色", 0xFFFFFF}, {"蓝灰", 0x8080FF}, {"藏蓝", 0x5830E0}, {"嫩绿", 0x80E000}, {"青绿", 0x00E080},
    {"黄褐", 0xC06000}, {"粉红", 0xFFA8FF}, {"嫩黄", 0xD8D800}, {"银白", 0xECECEC}, {"紫色", 0x9000FF},
    {"天蓝", 0x0088FF}, {"灰绿", 0x80A080}, {"青蓝", 0x0060C0}, {"橙黄", 0xFF8000}, {"桃红", 0xFF5080},
    {"芙红", 0xFF80C0}, {"深灰", 0x606060},
};

// Byte order of a stored colour, worked out by hand rather than through rgb().
std::int32_t stored(std::uint32_t rrggbb) {
  std::uint32_t r = rrggbb >> 16, g = (rrggbb >> 8) & 0xFF, b = rrggbb & 0xFF;
  return static_cast<std::int32_t>(r | (g << 8) | (b << 16));
}

TEST(NamedColours, ThirtyTwoColoursInTheirOrderWithTheirNames) {
  const auto& colours = ui::namedColours();
  ASSERT_EQ(colours.size(), std::size(kExpected));
  for (std::size_t i = 0; i < colours.size(); ++i) {
    EXPECT_EQ(std::string(colours[i].name), kExpected[i].name) << "entry " << i + 1;
    EXPECT_EQ(colours[i].colour, stored(kExpected[i].rrggbb)) << "entry " << i + 1 << " " << kExpected[i].name;
  }
}

TEST(NamedColours, ValuesAreRedInTheLowByte) {
  const auto& colours = ui::namedColours();
  EXPECT_EQ(colours[12].colour, 255) << "红色";
  EXPECT_EQ(colours[9].colour, 16711680) << "蓝色";
  EXPECT_EQ(colours[10].colour, 65280) << "绿色";
  EXPECT_EQ(colours[15].colour, 16777215) << "白色";
  EXPECT_EQ(colours[0].colour, 0) << "黑色";
  // 天蓝 as the shipped default file writes it.
  EXPECT_EQ(colours[25].colour, 16746496) << "天蓝";
}

TEST(NamedColours, NamesAreGbkTextAndAllDifferent) {
  EXPECT_EQ(std::string(ui::namedColours()[0].name), std::string("\xBA\xDA\xC9\xAB")) << "黑色 in GBK";
  std::set<std::string> names;
  std::set<ui::Colour> values;
  for (const auto& c : ui::namedColours()) {
    names.insert(c.name);
    values.insert(c.colour);
  }
  EXPECT_EQ(names.size(), 32u);
  EXPECT_EQ(values.size(), 32u);
  EXPECT_EQ(names.count("透明"), 0u) << "no transparent entry";
}

TEST(NamedColours, OtherColoursEntryCaption) {
  EXPECT_EQ(std::string(ui::kOtherColoursCaption), std::string("\xC6\xE4\xCB\xFC\xD1\xD5\xC9\xAB..."));
}

TEST(NamedColours, IndexOfAColour) {
  EXPECT_EQ(ui::namedColourIndex(0), 0);
  EXPECT_EQ(ui::namedColourIndex(ui::rgb(0x606060)), 31);
  EXPECT_EQ(ui::namedColourIndex(ui::rgb(0x0088FF)), 25);
  EXPECT_EQ(ui::namedColourIndex(ui::rgb(0x123456)), -1);
  EXPECT_EQ(ui::namedColourIndex(-1), -1);
}

TEST(NamedColours, TheWindowsShippedBlueIsSkyBlue) {
  const ui::WindowDef& settings = app::definitionOf(ui::WindowId::Settings);
  EXPECT_EQ(ui::namedColourIndex(settings.background), 25);
  for (const ui::ControlDef& c : settings.controls) {
    if (c.kind == ui::ControlKind::ColorPicker) {
      EXPECT_EQ(ui::namedColourIndex(c.backColour), 25) << c.name;
    }
  }
}

}  // namespace
