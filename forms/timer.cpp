#include "forms/timer.h"

#include <algorithm>

#include "forms/form.h"

namespace forms {

Timer::Timer(Form& owner, UINT_PTR id, UINT intervalMs, std::function<void()> onTick)
    : owner_(owner), id_(id), intervalMs_(intervalMs), onTick_(std::move(onTick)) {
    owner_.timers_.push_back(this);
}

Timer::~Timer() {
    SetEnabled(false);
    auto& timers = owner_.timers_;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::Arm() {
    if (enabled_ && owner_.Hwnd() != nullptr)
        SetTimer(owner_.Hwnd(), id_, intervalMs_, nullptr);
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (owner_.Hwnd() == nullptr)
        return;
    if (enabled) {
        SetTimer(owner_.Hwnd(), id_, intervalMs_, nullptr);
    } else {
        KillTimer(owner_.Hwnd(), id_);
    }
}

}  // namespace forms
