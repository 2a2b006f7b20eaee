#include "ide/uUpdateHost.h"

#include "base/uIniFile.h"
#include "ide/uWindowSettings.h"
#include "net/uUpdateCheck.h"

QString ConfiguredUpdateHost()
{
    const QString host =
        TIniFile(SettingsFileName()).ReadString(QStringLiteral("main"), QStringLiteral("updatehost"), QString());
    return host.trimmed().isEmpty() ? DefaultUpdateHost() : host.trimmed();
}
