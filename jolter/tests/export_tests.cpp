#include <gtest/gtest.h>
#include <windows.h>

TEST(JolterExports, PlainNamesResolve)
{
    HMODULE dll = LoadLibraryA("jolter.dll");
    ASSERT_NE(dll, nullptr) << "LoadLibrary error " << GetLastError();
    EXPECT_NE(GetProcAddress(dll, "DllGetClassObject"), nullptr);
    EXPECT_NE(GetProcAddress(dll, "DllCanUnloadNow"), nullptr);
    FreeLibrary(dll);
}
