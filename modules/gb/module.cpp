// zav_ramp_gb.sem: switches bool values halfway through the Morph Time.
#include "ramp/deliverable.h"
#include "ramp/ramp_bool.h"

const zav::ModuleIdentity& zav::thisModule() noexcept {
  return rampModule<RampBool, "ZAV Ramp GuiBool">();
}
