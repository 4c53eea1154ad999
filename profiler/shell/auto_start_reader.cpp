#include "shell/auto_start_reader.h"

#include <thread>
#include <utility>

void AutoStartReader::start(std::shared_ptr<AutoStart> autoStart, HWND window, UINT message)
{
    auto next = std::make_shared<Answer>();
    next->done.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    answer = next;
    // The thread shares the object and the answer, so either may outlive the window.
    std::thread([autoStart = std::move(autoStart), next, window, message] {
        autoStart->moveRunEntry();
        const bool on = autoStart->isOn();
        InterlockedExchange(&next->on, on ? 1 : 0);
        SetEvent(next->done.get());
        PostMessageA(window, message, on ? 1 : 0, 0);
    }).detach();
}

bool AutoStartReader::wait() const
{
    if (!answer || !answer->done.valid())
        return false;
    WaitForSingleObject(answer->done.get(), INFINITE);
    return InterlockedCompareExchange(&answer->on, 0, 0) != 0;
}
