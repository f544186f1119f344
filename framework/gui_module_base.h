// The GUI-side module object: its host record, the GUI dispatcher, and typed
// access to pin values through the host.
#pragma once

#include <cstdint>
#include <string>

#include "framework/deferred_close.h"
#include "framework/host_interface.h"

namespace zav {

class GuiModuleBase;

// Names one pin of one module object. A plain value: made by getPin, never
// stored. Every operation is one synchronous host call, during which the host
// may report a pin change back to the same object (the module guards itself).
struct GuiPin {
  std::int32_t index;
  GuiModuleBase* module;

  // Host operation 14. A pin the host leaves unwritten reads as 0.
  std::int32_t getInt() const;
  float getFloat() const;
  // Host operation 15: ints in b (d is 0.0), floats in d (b is 0).
  void setInt(std::int32_t value) const;
  void setFloat(float value) const;
  // Host operation 7: a copy of the host's text; a null answer is the empty text.
  std::string getText() const;
  // Host operation 6 with a zero-terminated copy; never a null pointer.
  void setText(const std::string& text) const;
  // Host operation 17, asked twice: first for the size, then for the text. The
  // host's buffer is read only up to the size it asked for, terminated or not.
  std::u16string getWideText() const;
};

// The two words GUI operations 3, 4 and 5 hand on as one record.
struct OperationPair {
  std::int32_t a;
  std::int32_t b;
};

class GuiModuleBase {
public:
  GuiModuleBase(HostCallback hostCallback, std::intptr_t reserved);
  virtual ~GuiModuleBase() = default;
  GuiModuleBase(const GuiModuleBase&) = delete;
  GuiModuleBase& operator=(const GuiModuleBase&) = delete;

  GuiHostRecord* record() { return &hostRecord; }

  // Runs one GUI operation. Operation 1 destroys the object (after the
  // operation in progress, when it comes from inside one of its host calls).
  std::int32_t dispatch(std::int32_t operation, std::int32_t a, std::int32_t b, void* c, float d);

  // Calls the host with this object's record first. The GUI side always calls:
  // makeModule must be given a callback.
  std::intptr_t callHost(std::int32_t operation, std::int32_t a = 0, std::int32_t b = 0,
                         void* c = nullptr, float d = 0.0f);

  GuiPin getPin(std::int32_t index) { return GuiPin{index, this}; }

  std::int32_t getInt(std::int32_t pin) { return getPin(pin).getInt(); }
  float getFloat(std::int32_t pin) { return getPin(pin).getFloat(); }
  void setInt(std::int32_t pin, std::int32_t value) { getPin(pin).setInt(value); }
  void setFloat(std::int32_t pin, float value) { getPin(pin).setFloat(value); }
  std::string getText(std::int32_t pin) { return getPin(pin).getText(); }
  void setText(std::int32_t pin, const std::string& text) { getPin(pin).setText(text); }

  // Requests passed straight to the host; no ramp makes them.
  std::intptr_t request8(std::int32_t a, std::int32_t b, void* c);
  std::intptr_t request18(void* c);
  std::intptr_t request19(void* c);
  bool request20(void* c);

protected:
  // Hooks the dispatcher calls; each default does nothing.
  virtual void initialise(bool loaded);
  virtual void close() {}
  virtual void onOperation2(std::int32_t /*a*/, void* /*c*/) {}
  virtual void onOperation3(void* /*c*/, float /*d*/, OperationPair /*ab*/) {}
  virtual void onOperation4(void* /*c*/, float /*d*/, OperationPair /*ab*/) {}
  virtual void onOperation5(void* /*c*/, float /*d*/, OperationPair /*ab*/) {}
  virtual void onOperation8(void* /*c*/) {}
  virtual void onOperation9(void* /*c*/) {}
  virtual bool onOperation10() { return false; }
  virtual void onOperation11(std::int32_t /*pin*/) {}
  virtual void onOperation12(std::int32_t /*pin*/) {}
  virtual void onOperation6(std::int32_t /*b*/, std::int32_t /*a*/, void* /*c*/) {}
  virtual void onPinChange(GuiPin /*event*/) {}

private:
  std::int32_t runOperation(std::int32_t operation, std::int32_t a, std::int32_t b, void* c,
                            float d);
  void destroy();

  HostCallback hostCallback;
  GuiHostRecord hostRecord;
  DeferredClose closing;
};

// The function stored in GuiHostRecord::dispatcher. No exception leaves it: a
// failure inside an operation (only running out of memory can throw) answers 0.
std::int32_t guiEntry(GuiHostRecord* record, std::int32_t operation, std::int32_t a, std::int32_t b,
                      void* c, float d) noexcept;

} // namespace zav
