// ui_tests: the shell's tests open and close many real top-level windows.
#include <gtest/gtest.h>

#include <windows.h>

static const char* const WineSetting = "Software\\Wine\\AppDefaults\\ui_tests.exe\\X11 Driver";

static bool underwine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Under Wine without a window manager, destroying a managed top-level window
// waits two seconds for a manager that never answers; windows that Wine keeps
// to itself close at once. Wine reads this per-program setting while the
// process starts, so a run that had to write it starts the tests again in a
// fresh process. Returns true when it did so, with that run's exit code.
static bool rerununmanaged(int* exitcode)
{
    if (!underwine())
        return false;
    char value[8] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, WineSetting, "Managed", RRF_RT_REG_SZ, nullptr, value,
                     &size) == ERROR_SUCCESS &&
        value[0] == 'N')
        return false;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, WineSetting, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, GetCommandLineA(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    *exitcode = int(code);
    return true;
}

int main(int argc, char** argv)
{
    int exitcode = 0;
    if (rerununmanaged(&exitcode))
        return exitcode;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
