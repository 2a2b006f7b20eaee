#pragma once
// Points the program-wide library instance at the library of this build (the
// tests do not run beside it) and lets a test shorten the library's timeouts.
#include "net/uWinInet.h"
#include "tests/support/Printers.h"

#include <dlfcn.h>

inline QString BuiltInetLibrary() { return QStringLiteral(GRAZLO_RUNTIME_DIR "/" GRAZLO_INET_FILE_NAME); }

inline void UseBuiltInetLibrary()
{
    WinInet().setDllPath(BuiltInetLibrary());
    WinInet().Load();
}

// Shortens the library's default timeouts while it lives.
class TShortTimeouts
{
public:
    TShortTimeouts(uint32_t connectMs, uint32_t requestMs)
    {
        UseBuiltInetLibrary();
        entry<TInetGetTimeouts>("InetGetTimeouts")(&iConnectMs, &iRequestMs);
        entry<TInetSetTimeouts>("InetSetTimeouts")(connectMs, requestMs);
    }
    ~TShortTimeouts() { entry<TInetSetTimeouts>("InetSetTimeouts")(iConnectMs, iRequestMs); }

    template <class TEntry> static TEntry entry(const char *name)
    {
        return reinterpret_cast<TEntry>(dlsym(WinInet().DllHandle(), name));
    }

private:
    uint32_t iConnectMs = 0;
    uint32_t iRequestMs = 0;
};
