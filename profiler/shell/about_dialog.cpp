#include "shell/about_dialog.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/owned.h"
#include "profiler_ids.h"

const CommandEntry<AboutDialog> AboutDialog::COMMANDS[] = {
    {IDOK, IDOK, &AboutDialog::onClose},
    {IDCANCEL, IDCANCEL, &AboutDialog::onClose},
};

BOOL AboutDialog::onInitDialog()
{
    processList = item(IDC_PROCESS_LIST);
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return TRUE;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry))
        SendMessageA(processList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.szExeFile));
    return TRUE;
}

bool AboutDialog::onCommand(int id, int)
{
    return dispatchCommand(COMMANDS, *this, id);
}

void AboutDialog::onClose(int id)
{
    close(id);
}
