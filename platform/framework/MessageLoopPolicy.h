// How a program that animates paces the shared message loop: when it may block, its idle step, when it paints.
#pragma once

namespace platform {

// How it works: without a policy, App::Run blocks in GetMessage. With one, each turn takes at most one queued
// message (then calls AfterMessage), or, when the queue is empty, blocks until input arrives if MayBlock says
// so. Every turn that did not block pauses kIdlePauseMs and runs IdleStep once: that pause paces the animation.
// The loop ends before the next turn once IsStopRequested is true; WM_QUIT alone does not end it. UI thread only.
class IMessageLoopPolicy {
public:
    static constexpr unsigned kIdlePauseMs = 1;

    virtual ~IMessageLoopPolicy() = default;
    virtual bool IsStopRequested() const = 0;
    // After each message taken from the queue, dispatched or consumed by a dialog.
    virtual void AfterMessage() = 0;
    // Asked when the queue is empty: true while nothing animates, so the loop need not wake for idle steps.
    virtual bool MayBlock() const = 0;
    virtual void IdleStep() = 0;
};

}  // namespace platform
