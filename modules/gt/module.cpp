// zav_ramp_gt.sem: glides one text into another, character code by character code.
#include "ramp/deliverable.h"
#include "ramp/ramp_text.h"

const zav::ModuleIdentity& zav::thisModule() noexcept {
  return rampModule<RampText, "ZAV Ramp GuiText">();
}
