#include "fitkit_session.h"

#include "fitkit_ids.h"
#include "testlib/message_boxes.h"
#include "testlib/temp_dir.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"

FitkitSession::FitkitSession(const std::string& infPath, const std::string& deviceId)
    : process_(inQuotes(programDirectory() + "\\fitkit.exe") + " " + infPath + " " + deviceId,
               programDirectory())
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
    return controlText(dialog_, IDC_STATUS);
}

bool FitkitSession::enabled(int button) const
{
    return controlEnabled(dialog_, button);
}

std::vector<std::string> FitkitSession::press(int button, std::initializer_list<int> answers)
{
    std::vector<std::string> texts;
    pressButton(dialog_, button);
    for (int answer : answers)
        texts.push_back(answerBox(process_.id(), answer, 20000).text);
    return texts;
}

bool FitkitSession::waitStatus(const std::string& prefix, unsigned timeoutMs) const
{
    return waitUntil([&] { return status().compare(0, prefix.size(), prefix) == 0; }, timeoutMs, 50);
}

bool FitkitSession::exit()
{
    pressButton(dialog_, IDOK);
    return process_.wait(10000);
}
