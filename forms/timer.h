// A form's timer: an interval, on or off, and what to do at each tick.
#pragma once

#include <windows.h>

#include <functional>

namespace forms {

class Form;

class Timer {
  public:
    Timer(Form& owner, UINT_PTR id, UINT intervalMs, std::function<void()> onTick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetEnabled(bool enabled);

  private:
    friend class Form;
    // Starts the system timer of an enabled timer once its form's window exists.
    void Arm();

    Form& owner_;
    UINT_PTR id_;
    UINT intervalMs_;
    std::function<void()> onTick_;
    bool enabled_ = false;
};

}  // namespace forms
