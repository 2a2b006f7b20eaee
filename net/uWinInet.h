#pragma once
// Run-time loading of the internet library by file name: the library is opened
// with dlopen and its fourteen entry points are resolved by name, so the
// program starts (and simply reports no update) when the library is missing.
#include "net/inet/InetApi.h"

#include <QString>

class TWinInet
{
public:
    // The default library: our internet library beside the executables.
    TWinInet();
    explicit TWinInet(const QString &dllpath);
    ~TWinInet();
    TWinInet(const TWinInet &) = delete;
    TWinInet &operator=(const TWinInet &) = delete;

    // Our library beside the running executable, or else in the installation's
    // private library folder (lib/<multiarch>/grazlo beside bin/).
    static QString DefaultDllPath();

    bool Load();
    // True exactly when the library and all fourteen entry points are there.
    bool Loaded() const;
    bool Unload();
    // The full path of the loaded library (loading it if needed).
    bool getDllPath(QString &filepath);
    void setDllPath(const QString &filepath);
    QString DllPath() const { return iDllPath; }

    // Error code of the last failed load, unload or path query.
    quint32 LastError() const { return iLastError; }
    void *DllHandle() const { return iDllHandle; }

    TInternetGetConnectedState GetConnectedState() const { return iGetConnectedState; }
    THttpEndRequestW HttpEndRequest() const { return iHttpEndRequest; }
    THttpOpenRequestW HttpOpenRequest() const { return iHttpOpenRequest; }
    THttpQueryInfoW HttpQueryInfo() const { return iHttpQueryInfo; }
    THttpSendRequestW HttpSendRequest() const { return iHttpSendRequest; }
    THttpSendRequestExW HttpSendRequestEx() const { return iHttpSendRequestEx; }
    TInternetCheckConnectionW InternetCheckConnection() const { return iInternetCheckConnection; }
    TInternetCloseHandle InternetCloseHandle() const { return iInternetCloseHandle; }
    TInternetConnectW InternetConnect() const { return iInternetConnect; }
    TInternetDial InternetDial() const { return iInternetDial; }
    TInternetOpenW InternetOpen() const { return iInternetOpen; }
    TInternetOpenUrlW InternetOpenURL() const { return iInternetOpenURL; }
    TInternetReadFile InternetReadFile() const { return iInternetReadFile; }
    TInternetWriteFile InternetWriteFile() const { return iInternetWriteFile; }

    // The library's last error after a failed call; our own LastError when the
    // library offers none.
    quint32 PlatformLastError() const;
    // The library's German text of an error code; empty when it has none.
    QString ErrorText(quint32 code) const;

private:
    template <typename F> void Resolve(F &field, const char *name);
    void ClearEntryPoints();

    void *iDllHandle = nullptr;
    TInternetGetConnectedState iGetConnectedState = nullptr;
    THttpEndRequestW iHttpEndRequest = nullptr;
    THttpOpenRequestW iHttpOpenRequest = nullptr;
    THttpQueryInfoW iHttpQueryInfo = nullptr;
    THttpSendRequestW iHttpSendRequest = nullptr;
    THttpSendRequestExW iHttpSendRequestEx = nullptr;
    TInternetCheckConnectionW iInternetCheckConnection = nullptr;
    TInternetCloseHandle iInternetCloseHandle = nullptr;
    TInternetConnectW iInternetConnect = nullptr;
    TInternetDial iInternetDial = nullptr;
    TInternetOpenW iInternetOpen = nullptr;
    TInternetOpenUrlW iInternetOpenURL = nullptr;
    TInternetReadFile iInternetReadFile = nullptr;
    TInternetWriteFile iInternetWriteFile = nullptr;
    TInetGetLastError iInetGetLastError = nullptr;
    TInetErrorText iInetErrorText = nullptr;
    quint32 iLastError = 0;
    QString iDllPath;
};

// The program-wide instance: created with the default path on first use and
// loaded if it is not; returned loaded or not.
TWinInet &WinInet();
// Destroys the program-wide instance (unloading the library); a later
// WinInet() creates a fresh one.
void ReleaseWinInet();
