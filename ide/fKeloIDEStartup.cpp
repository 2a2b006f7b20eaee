// The update part of the window's first activation: ask the update server for
// the current version, and tell the user when it names another one.
#include "ide/fKeloIDE.h"

#include "ide/uDialogs.h"
#include "net/uUpdateCheck.h"

#include <QApplication>

void TfrmKeloIDE::SearchForUpdate()
{
    // Any failure (no network, unknown host, no library) just means "no news".
    isNewVersion = CheckForNewVersion(getUpdateUrl(), getVersion());
    QApplication::processEvents();
}

void TfrmKeloIDE::ShowNewVersionNotice()
{
    Dialogs().message(this, TDlgKind::Information, QString(),
                      QStringLiteral("Es steht eine neue Version zum Download bereit."));
}
