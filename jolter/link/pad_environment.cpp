#include "link/pad_environment.h"

#include <mmsystem.h>

#include "link/pad_finder.h"

namespace {

class SystemEnvironment : public PadEnvironment {
public:
    DWORD currentTime() override { return timeGetTime(); }
    HANDLE openPad(const char* product) override { return FindPadDevice(product); }
};

SystemEnvironment environment;

} // namespace

PadEnvironment& systemEnvironment()
{
    return environment;
}
