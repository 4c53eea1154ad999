#include "link/pad_environment.h"

#include <windows.h>
#include <mmsystem.h>

#include "link/pad_finder.h"

namespace {

class SystemEnvironment : public PadEnvironment {
public:
    DWORD currentTime() override { return timeGetTime(); }
    UniqueHandle openPad(const char* product, const WCHAR* given) override
    {
        return findPadDevice(product, given);
    }
};

SystemEnvironment environment;

} // namespace

PadEnvironment& systemEnvironment()
{
    return environment;
}
