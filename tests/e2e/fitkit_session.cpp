#include "fitkit_session.h"

#include "pad_setup.h"

FitkitSession::FitkitSession(const std::string& infPath, const std::string& deviceId)
    : process_("\"" + pad::binDirectory() + "\\fitkit.exe\" " + infPath + " " + deviceId, pad::binDirectory())
{
    if (process_.started())
        dialog_ = waitDialog(process_.id(), "Driver Setup", 10000);
}

FitkitSession::~FitkitSession()
{
    if (dialog_ && !process_.wait(0))
        exit();
}

std::string FitkitSession::status() const
{
    return controlText(dialog_, STATUS);
}

bool FitkitSession::enabled(int button) const
{
    return controlEnabled(dialog_, button);
}

std::vector<std::string> FitkitSession::press(int button, std::initializer_list<int> answers)
{
    std::vector<std::string> texts;
    pressButton(dialog_, button);
    for (int answer : answers) {
        AnsweredBox box = answerBox(process_.id(), "fitkit", answer, 20000);
        texts.push_back(box.text);
        // The box must be gone before the next one is looked for.
        DWORD start = GetTickCount();
        while (box.found && findDialog(process_.id(), "fitkit") && GetTickCount() - start < 5000)
            Sleep(20);
    }
    return texts;
}

bool FitkitSession::waitStatus(const std::string& prefix, unsigned timeoutMs) const
{
    DWORD start = GetTickCount();
    for (;;) {
        if (status().compare(0, prefix.size(), prefix) == 0)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
}

bool FitkitSession::exit()
{
    pressButton(dialog_, EXIT);
    return process_.wait(10000);
}
