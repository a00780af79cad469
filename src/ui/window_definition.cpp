#include "ui/window_definition.h"

namespace ui {

const ControlDef* WindowDef::control(std::string_view name) const {
  for (const ControlDef& c : controls) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

Handler WindowDef::handlerFor(std::string_view source, Event event) const {
  for (const Binding& b : bindings) {
    if (b.event == event && b.sourceName() == source) return b.handler;
  }
  return nullptr;
}

namespace {

// What every row of a window's control table starts with.
ControlDef row(RowName name, ControlKind kind, Rect rect = {}) {
  ControlDef c;
  c.name = std::move(name.text);
  c.kind = kind;
  c.rect = rect;
  return c;
}

}  // namespace

ControlDef label(RowName name, Rect rect, std::string caption, Font font, Colour text, Colour back,
                 TextStyle style) {
  ControlDef c = row(std::move(name), ControlKind::Label, rect);
  c.caption = std::move(caption);
  c.font = std::move(font);
  c.textColour = text;
  c.backColour = back;
  c.style = style;
  return c;
}

// Every transparent label of the program is disabled: presses go to what lies below.
ControlDef transLabel(RowName name, Rect rect, std::string caption, Font font, Colour text, TextStyle style) {
  ControlDef c = label(std::move(name), rect, std::move(caption), std::move(font), text, kSystemDefault, style);
  c.kind = ControlKind::TransLabel;
  c.enabled = false;
  return c;
}

ControlDef superBtn(RowName name, Rect rect, std::string caption, std::string tooltip, Font font,
                    ButtonLooks looks) {
  ControlDef c = row(std::move(name), ControlKind::SuperBtn, rect);
  c.caption = std::move(caption);
  c.tooltip = std::move(tooltip);
  c.font = std::move(font);
  c.looks = looks;
  c.textColour = looks.normal.text;
  c.backColour = looks.normal.back;
  c.style = TextStyle{HAlign::Centre, VAlign::Centre, true, TextEffect::Plain};
  return c;
}

ControlDef hyperLinker(RowName name, Rect rect, std::string caption, Font font, LinkColours colours,
                       std::string address) {
  ControlDef c = row(std::move(name), ControlKind::HyperLinker, rect);
  c.caption = std::move(caption);
  c.font = std::move(font);
  c.link = colours;
  c.textColour = colours.text;
  c.backColour = colours.back;
  c.address = std::move(address);
  c.cursor = Cursor::Hand;
  return c;
}

ControlDef picBox(RowName name, Rect rect, Colour back, Cursor cursor) {
  ControlDef c = row(std::move(name), ControlKind::PicBox, rect);
  c.backColour = back;
  c.cursor = cursor;
  return c;
}

ControlDef htmlViewer(RowName name, Rect rect, std::string address) {
  ControlDef c = row(std::move(name), ControlKind::HtmlViewer, rect);
  c.address = std::move(address);
  return c;
}

ControlDef picBtn(RowName name, Rect rect, Colour transparent) {
  ControlDef c = row(std::move(name), ControlKind::PicBtn, rect);
  c.transparentColour = transparent;
  return c;
}

ControlDef colorPicker(RowName name, Rect rect, Colour current) {
  ControlDef c = row(std::move(name), ControlKind::ColorPicker, rect);
  c.backColour = current;
  return c;
}

ControlDef pageControl(RowName name, Rect rect, std::vector<std::string> tabs, Font tabFont, Colour back) {
  ControlDef c = row(std::move(name), ControlKind::PageControl, rect);
  c.tabs = std::move(tabs);
  c.font = std::move(tabFont);
  c.backColour = back;
  return c;
}

ControlDef timer(RowName name, int periodMs) {
  ControlDef c = row(std::move(name), ControlKind::Timer);
  c.timerPeriod = periodMs;
  return c;
}

ControlDef hidden(ControlDef def) {
  def.shown = false;
  return def;
}

ControlDef onPage(std::string tab, ControlDef def) {
  def.page = std::move(tab);
  return def;
}

ControlDef withEdgeWhileHot(ControlDef def) {
  def.edgeWhileHot = true;
  return def;
}

ControlDef asPin(ControlDef def) {
  def.pin = true;
  return def;
}

}  // namespace ui
