// The Windows tests' main: the test thread is a single-threaded apartment, as the program's
// user-interface thread is.

#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
