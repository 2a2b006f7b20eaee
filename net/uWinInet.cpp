#include "net/uWinInet.h"

#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>
#include <memory>

namespace {
// Room the path query has, as the platform call it stands in for.
constexpr int MaxPathChars = 1024;

std::unique_ptr<TWinInet> &SharedInstance()
{
    static std::unique_ptr<TWinInet> instance;
    return instance;
}
} // namespace

TWinInet::TWinInet() : TWinInet(DefaultDllPath()) {}

TWinInet::TWinInet(const QString &dllpath) : iDllPath(dllpath) {}

TWinInet::~TWinInet() { Unload(); }

QString TWinInet::DefaultDllPath()
{
    // /proc/self/exe works before (and without) an application object.
    const QDir programFolder = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).dir();
    const QString beside = programFolder.filePath(QStringLiteral(GRAZLO_INET_FILE_NAME));
    // Like a loader's search: beside the program (the runnable folder), then the
    // installation's library folder.
    const QString installed =
        QDir::cleanPath(programFolder.filePath(QStringLiteral(GRAZLO_INET_FROM_BIN "/" GRAZLO_INET_FILE_NAME)));
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

template <typename F> void TWinInet::Resolve(F &field, const char *name)
{
    field = reinterpret_cast<F>(dlsym(iDllHandle, name));
}

bool TWinInet::Load()
{
    if (Loaded())
        return true;
    iDllHandle = dlopen(QFile::encodeName(iDllPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (iDllHandle) {
        Resolve(iGetConnectedState, "InternetGetConnectedState");
        Resolve(iInternetOpen, "InternetOpenW");
        Resolve(iInternetOpenURL, "InternetOpenUrlW");
        Resolve(iInternetCloseHandle, "InternetCloseHandle");
        Resolve(iInternetCheckConnection, "InternetCheckConnectionW");
        Resolve(iInternetReadFile, "InternetReadFile");
        Resolve(iInternetWriteFile, "InternetWriteFile");
        Resolve(iInternetDial, "InternetDial");
        Resolve(iHttpQueryInfo, "HttpQueryInfoW");
        Resolve(iHttpOpenRequest, "HttpOpenRequestW");
        Resolve(iHttpSendRequest, "HttpSendRequestW");
        Resolve(iHttpSendRequestEx, "HttpSendRequestExW");
        Resolve(iHttpEndRequest, "HttpEndRequestW");
        Resolve(iInternetConnect, "InternetConnectW");
        Resolve(iInetGetLastError, "InetGetLastError");
        Resolve(iInetErrorText, "InetErrorText");
    }
    if (Loaded())
        return true;
    const quint32 error = iDllHandle ? INET_ERROR_PROC_NOT_FOUND : INET_ERROR_MOD_NOT_FOUND;
    Unload();
    iLastError = error;
    return false;
}

bool TWinInet::Loaded() const
{
    return iDllHandle && iGetConnectedState && iHttpEndRequest && iHttpOpenRequest && iHttpQueryInfo &&
           iHttpSendRequest && iHttpSendRequestEx && iInternetCheckConnection && iInternetCloseHandle &&
           iInternetConnect && iInternetDial && iInternetOpen && iInternetOpenURL && iInternetReadFile &&
           iInternetWriteFile;
}

void TWinInet::ClearEntryPoints()
{
    iGetConnectedState = nullptr;
    iHttpEndRequest = nullptr;
    iHttpOpenRequest = nullptr;
    iHttpQueryInfo = nullptr;
    iHttpSendRequest = nullptr;
    iHttpSendRequestEx = nullptr;
    iInternetCheckConnection = nullptr;
    iInternetCloseHandle = nullptr;
    iInternetConnect = nullptr;
    iInternetDial = nullptr;
    iInternetOpen = nullptr;
    iInternetOpenURL = nullptr;
    iInternetReadFile = nullptr;
    iInternetWriteFile = nullptr;
    iInetGetLastError = nullptr;
    iInetErrorText = nullptr;
}

bool TWinInet::Unload()
{
    // The entry points die with the library, so they go whatever happens.
    ClearEntryPoints();
    if (!iDllHandle)
        return true;
    const bool freed = dlclose(iDllHandle) == 0;
    if (!freed)
        iLastError = INET_ERROR_INVALID_HANDLE;
    iDllHandle = nullptr;
    return freed;
}

void TWinInet::setDllPath(const QString &filepath)
{
    if (filepath == iDllPath)
        return;
    if (Loaded())
        Unload();
    iDllPath = filepath;
}

bool TWinInet::getDllPath(QString &filepath)
{
    if (!Load()) {
        filepath = QStringLiteral("error on loading ") + iDllPath;
        return false;
    }
    Dl_info info{};
    const bool found = dladdr(reinterpret_cast<void *>(iInternetOpen), &info) != 0 && info.dli_fname;
    const QString path = found ? QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath() : QString();
    if (path.isEmpty() || path.size() >= MaxPathChars) {
        filepath = QStringLiteral("error on retrieving path information for wininet.dll");
        iLastError = found ? INET_ERROR_INSUFFICIENT_BUFFER : INET_ERROR_MOD_NOT_FOUND;
        return false;
    }
    filepath = path;
    return true;
}

quint32 TWinInet::PlatformLastError() const { return iInetGetLastError ? iInetGetLastError() : iLastError; }

QString TWinInet::ErrorText(quint32 code) const
{
    const char16_t *text = iInetErrorText ? iInetErrorText(code) : nullptr;
    return text ? QString::fromUtf16(text) : QString();
}

TWinInet &WinInet()
{
    std::unique_ptr<TWinInet> &instance = SharedInstance();
    if (!instance)
        instance = std::make_unique<TWinInet>();
    if (!instance->Loaded())
        instance->Load();
    return *instance;
}

void ReleaseWinInet() { SharedInstance().reset(); }
