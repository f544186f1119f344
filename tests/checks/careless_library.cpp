// A library built without the care the module libraries get, so that the
// binary checks can show they catch it: it exports a third function beside the
// two entry points and, on Windows, needs the MinGW runtime DLLs and lacks the
// loader's safety flags.
#include <stdexcept>
#include <string>

extern "C" {

int getModuleProperties(int, void*) { return 0; }

void* makeModule(int, int, void*, long) { return nullptr; }

int describeModule(int index) {
  if (index != 0) {
    throw std::out_of_range("no module " + std::to_string(index));
  }
  return index;
}

} // extern "C"
