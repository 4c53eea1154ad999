#include "process.h"

#include <vector>

Process::Process(const std::string& commandLine, const std::string& directory)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = Handle(info.hProcess);
    id_ = info.dwProcessId;
}

Process::~Process()
{
    if (started() && !wait(0)) {
        terminate();
        wait(5000);
    }
}

bool Process::wait(unsigned timeoutMs) const
{
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::terminate(UINT code)
{
    TerminateProcess(process_.get(), code);
}

namespace {

struct Search {
    DWORD pid;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK visit(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (pid == search->pid && IsWindowVisible(window) && !lstrcmpA(cls, "#32770") &&
        windowText(window) == *search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND findDialog(DWORD pid, const std::string& title)
{
    Search search{pid, &title, nullptr};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitDialog(DWORD pid, const std::string& title, unsigned timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = findDialog(pid, title))
            return window;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

std::string windowText(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string controlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? windowText(control) : std::string();
}

bool controlEnabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

void pressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

AnsweredBox answerBox(DWORD pid, const std::string& caption, int answer, unsigned timeoutMs)
{
    AnsweredBox box;
    HWND window = waitDialog(pid, caption, timeoutMs);
    if (!window)
        return box;
    box.found = true;
    box.caption = caption;
    box.text = controlText(window, 0xFFFF);
    pressButton(window, answer);
    return box;
}
