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
    TShortTimeouts(uint32_t connectMs, uint32_t requestMs) { set(connectMs, requestMs); }
    ~TShortTimeouts() { set(10000, 30000); }

private:
    static void set(uint32_t connectMs, uint32_t requestMs)
    {
        UseBuiltInetLibrary();
        auto setTimeouts = reinterpret_cast<TInetSetTimeouts>(dlsym(WinInet().DllHandle(), "InetSetTimeouts"));
        setTimeouts(connectMs, requestMs);
    }
};
