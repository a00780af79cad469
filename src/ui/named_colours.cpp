#include "ui/named_colours.h"

namespace ui {

namespace {

constexpr std::array<NamedColour, kNamedColourCount> kColours = {{
    {"黑色", rgb(0x000000)}, {"藏青", rgb(0x000080)}, {"墨绿", rgb(0x008000)}, {"深青", rgb(0x008080)},
    {"红褐", rgb(0x800000)}, {"紫红", rgb(0x800080)}, {"褐绿", rgb(0x808000)}, {"浅灰", rgb(0xC0C0C0)},
    {"灰色", rgb(0x808080)}, {"蓝色", rgb(0x0000FF)}, {"绿色", rgb(0x00FF00)}, {"艳青", rgb(0x00FFFF)},
    {"红色", rgb(0xFF0000)}, {"品红", rgb(0xFF00FF)}, {"黄色", rgb(0xFFFF00)}, {"白色", rgb(0xFFFFFF)},
    {"蓝灰", rgb(0x8080FF)}, {"藏蓝", rgb(0x5830E0)}, {"嫩绿", rgb(0x80E000)}, {"青绿", rgb(0x00E080)},
    {"黄褐", rgb(0xC06000)}, {"粉红", rgb(0xFFA8FF)}, {"嫩黄", rgb(0xD8D800)}, {"银白", rgb(0xECECEC)},
    {"紫色", rgb(0x9000FF)}, {"天蓝", rgb(0x0088FF)}, {"灰绿", rgb(0x80A080)}, {"青蓝", rgb(0x0060C0)},
    {"橙黄", rgb(0xFF8000)}, {"桃红", rgb(0xFF5080)}, {"芙红", rgb(0xFF80C0)}, {"深灰", rgb(0x606060)},
}};

}  // namespace

const char kOtherColoursCaption[] = "其它颜色...";

const std::array<NamedColour, kNamedColourCount>& namedColours() { return kColours; }

int namedColourIndex(Colour colour) {
  for (int i = 0; i < kNamedColourCount; ++i) {
    if (kColours[i].colour == colour) return i;
  }
  return -1;
}

}  // namespace ui
