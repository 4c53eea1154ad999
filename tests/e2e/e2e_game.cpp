// A stand-in game: it runs until it is ended from outside.
#include <windows.h>

int main()
{
    Sleep(INFINITE);
    return 0;
}
