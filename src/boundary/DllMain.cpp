// Windows module entry point: static initialisation has already built the logger, so
// there is nothing left to do for any reason the loader calls with.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) {
  return TRUE;
}
