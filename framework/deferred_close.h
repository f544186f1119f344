// Closing an object from inside one of its own host calls.
//
// A host may answer a module's host call by closing that very module (audio or
// GUI operation 1) before the call returns. Destroyed there, the object would
// go on running the operation that made the call in freed memory. Instead the
// close is answered at once and carried out when the outermost operation of
// the object returns; until then the object only finishes what it was doing.
#pragma once

namespace zav {

class DeferredClose {
public:
  // Runs one operation of the object, counting how deeply operations nest.
  template <class Operation> auto run(Operation&& operation) {
    const Depth depth(running);
    return operation();
  }
  // True when a close may destroy the object now; otherwise notes it for later.
  bool closeNowOrLater() {
    if (running == 0) {
      return true;
    }
    closeRequested = true;
    return false;
  }
  // True once the operation during which a close came has returned.
  bool closeDue() const { return running == 0 && closeRequested; }

private:
  class Depth {
  public:
    explicit Depth(int& count) : count(count) { ++count; }
    ~Depth() { --count; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

  private:
    int& count;
  };

  int running = 0;
  bool closeRequested = false;
};

} // namespace zav
