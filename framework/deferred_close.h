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
  // Runs one operation of the object, or, for a close, destroys it (with
  // `destroy`, which closes and frees the object holding this) at once or once
  // the operation in progress has returned. A close answers 1.
  template <class Operation, class Destroy>
  auto dispatch(bool isClose, Operation&& operation, Destroy&& destroy) {
    using Answer = decltype(operation());
    if (isClose) {
      if (running == 0) {
        destroy();
      } else {
        closeRequested = true;
      }
      return Answer{1};
    }
    Answer answer{};
    try {
      const Depth depth(running);
      answer = operation();
    } catch (...) {
      if (closeDue()) {
        destroy();
      }
      throw;
    }
    if (closeDue()) {
      destroy(); // closed from inside one of its own host calls
    }
    return answer; // nothing of the destroyed object is touched after destroy
  }

private:
  bool closeDue() const { return running == 0 && closeRequested; }

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
