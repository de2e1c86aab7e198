// Steps a test takes inside the modal loops of the program's dialogs: each runs from
// a timer of this thread as soon as its window is ready, so the test drives a dialog
// while the handler that showed it waits for it to close.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <utility>

struct ModalStep {
    std::function<bool()> ready;
    std::function<void()> action;
};

class ModalSteps {
public:
    explicit ModalSteps(std::deque<ModalStep> steps) {
        pending() = std::move(steps);
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~ModalSteps() {
        KillTimer(nullptr, timer_);
        pending().clear();
    }
    bool Done() const { return pending().empty(); }

private:
    static std::deque<ModalStep>& pending() {
        static std::deque<ModalStep> steps;
        return steps;
    }
    // A step leaves the queue before it acts: its action may run a modal loop of its
    // own, in which the next steps then run.
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (pending().empty() || !pending().front().ready()) return;
        std::function<void()> action = std::move(pending().front().action);
        pending().pop_front();
        action();
    }
    UINT_PTR timer_;
};

// The program's form shown in a window of this class, once one is visible.
template <class Form>
Form* VisibleForm(const char* className) {
    HWND window = FindWindowA(className, nullptr);
    if (!window || !IsWindowVisible(window)) return nullptr;
    return static_cast<Form*>(reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA)));
}
