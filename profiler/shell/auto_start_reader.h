#pragma once
// Auto Start's state, read on a thread of its own: the task scheduler may take many seconds to
// answer (at logon it is busy starting every task), and nothing may stand before the first watch tick.
#include <windows.h>

#include <memory>

#include "base/owned.h"
#include "shell/auto_start.h"

class AutoStartReader {
public:
    // Moves an old Run entry into the logon task and reads whether Auto Start is on, then posts
    // `message` to `window` with wParam 1 when it is on, 0 when not.
    void start(std::shared_ptr<AutoStart> autoStart, HWND window, UINT message);
    // Blocks until the read has ended; whether Auto Start is on. False when none was started.
    bool wait() const;

private:
    struct Answer {
        OwnedHandle done; // manual-reset event, set once `on` holds the answer
        volatile LONG on = 0;
    };
    std::shared_ptr<Answer> answer;
};
