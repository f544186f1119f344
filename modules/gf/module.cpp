// zav_ramp_gf.sem: glides single-precision float values.
#include "ramp/deliverable.h"
#include "ramp/ramp_float.h"

const zav::ModuleIdentity& zav::thisModule() noexcept {
  return rampModule<RampFloat, "ZAV Ramp GuiFloat">();
}
