// zav_ramp_gi.sem: glides int32 values through whole numbers.
#include "ramp/deliverable.h"
#include "ramp/ramp_int.h"

const zav::ModuleIdentity& zav::thisModule() noexcept {
  return rampModule<RampInt, "ZAV Ramp GuiInt">();
}
