#include "panel_kind.h"

namespace {

const struct {
  PanelKind kind;
  const char* name;
  DisplaySize size;
} kPanels[] = {
    {PanelKind::Shield, "shield", kShieldSize},
    {PanelKind::I2c20x4, "i2c-20x4", kWideSize},
    {PanelKind::I2c16x2, "i2c-16x2", kShieldSize},
};

}  // namespace

bool PanelFromName(const std::string& name, PanelKind* kind) {
  for (const auto& p : kPanels) {
    if (name == p.name) {
      *kind = p.kind;
      return true;
    }
  }
  return false;
}

const char* PanelName(PanelKind kind) {
  for (const auto& p : kPanels) {
    if (p.kind == kind) return p.name;
  }
  return "?";
}

DisplaySize PanelSize(PanelKind kind) {
  for (const auto& p : kPanels) {
    if (p.kind == kind) return p.size;
  }
  return kShieldSize;
}
