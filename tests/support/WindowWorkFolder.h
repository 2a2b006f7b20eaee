// A window test's own settings file and working folder, both in a fresh
// temporary folder, so that every window starts from the default settings;
// the old working folder comes back when the test ends.
#pragma once

#include "ide/uWindowSettings.h"

#include <QDir>
#include <QTemporaryDir>

class TWindowWorkFolder
{
public:
    TWindowWorkFolder() : iOldDir(QDir::currentPath())
    {
        setSettingsFileName(iWork.filePath("grazlo.ini"));
        QDir::setCurrent(iWork.path());
    }
    ~TWindowWorkFolder()
    {
        setSettingsFileName(QString());
        QDir::setCurrent(iOldDir);
    }
    TWindowWorkFolder(const TWindowWorkFolder &) = delete;
    TWindowWorkFolder &operator=(const TWindowWorkFolder &) = delete;

    bool isValid() const { return iWork.isValid(); }

private:
    QTemporaryDir iWork;
    QString iOldDir;
};
