// The program's entry point.
#include "ui/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdline, int show)
{
    StartUp(instance, cmdline, show);
    return MessageLoop();
}
