// zav_ramp_gl.sem: glides the selected item of an enumerated list.
#include "ramp/deliverable.h"
#include "ramp/ramp_list.h"

const zav::ModuleIdentity& zav::thisModule() noexcept {
  return rampModule<RampList, "ZAV Ramp GuiList">();
}
