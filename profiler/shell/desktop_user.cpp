#include "shell/desktop_user.h"

#include <sddl.h>

#include <vector>

#include "base/owned.h"

namespace {
using OwnedLocal = Owned<NullHandleTraits<HLOCAL, LocalFree>>;

std::string sidText(PSID sid)
{
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text))
        return std::string();
    OwnedLocal owned(text);
    return text;
}

std::string tokenUserSid(HANDLE process)
{
    HANDLE opened = nullptr;
    if (!process || !OpenProcessToken(process, TOKEN_QUERY, &opened))
        return std::string();
    OwnedHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return std::string();
    return sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}
} // namespace

DWORD shellProcessId()
{
    DWORD id = 0;
    if (HWND shell = GetShellWindow())
        GetWindowThreadProcessId(shell, &id);
    return id;
}

std::string desktopUserSid()
{
    std::string sid;
    if (DWORD shell = shellProcessId()) {
        OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, shell));
        sid = tokenUserSid(process.get());
    }
    return sid.empty() ? tokenUserSid(GetCurrentProcess()) : sid;
}

bool sameUser(const std::string& account, const std::string& sid)
{
    if (account.empty() || sid.empty())
        return false;
    if (lstrcmpiA(account.c_str(), sid.c_str()) == 0)
        return true;
    BYTE found[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof(found);
    char domain[256] = {};
    DWORD domainSize = sizeof(domain);
    SID_NAME_USE use;
    return LookupAccountNameA(nullptr, account.c_str(), found, &size, domain, &domainSize, &use) &&
           lstrcmpiA(sidText(found).c_str(), sid.c_str()) == 0;
}
