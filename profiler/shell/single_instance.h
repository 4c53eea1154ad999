#pragma once
// One profiler per session: a named mutex held by the running instance, its main window marked with
// a window property, and the requests a later start sends it (show the window, or end).
#include <windows.h>

#include <string>

#include "base/owned.h"

// Property set on the running instance's main window (any non-null value), so that a later start
// finds it among other dialogs captioned "Padwise".
constexpr const char* INSTANCE_PROPERTY = "Padwise.Profiler.Instance";
// Posted to that window: end as Exit answered Yes would, without asking.
UINT closeRequestMessage();

// Taken first thing at start-up: the instance that gets the session's mutex runs.
class SessionLock {
public:
    SessionLock();
    bool first() const { return isFirst; }

private:
    OwnedHandle mutex;
    bool isFirst = false;
};

// Whether the command line is the one request `word`: "/word" or "-word" alone, any letter case.
bool isRequest(const std::string& commandLine, const char* word);
// "/close": a running instance is asked to close. "/unregister" (the uninstaller's): Auto Start of
// this program is removed for every user.
inline bool isCloseRequest(const std::string& commandLine)
{
    return isRequest(commandLine, "close");
}
inline bool isUnregisterRequest(const std::string& commandLine)
{
    return isRequest(commandLine, "unregister");
}

// A later start: shows the running instance's main window as Profile Edit does and brings it to the
// foreground. False when no such window appeared within timeoutMs.
bool showRunningInstance(unsigned timeoutMs);

// Asks the instance of this session that was started from this program file to end, and waits up
// to timeoutMs for it (and for one still starting): 0 when none runs any more (or none ran), 1 when
// one is still running. Copies in other folders are left alone.
int closeRunningInstance(unsigned timeoutMs);
