#pragma once
// The one seam for modal interaction of the windows: message boxes, questions,
// file dialogs. The default shows Qt dialogs; tests install a scripted fake so
// that no test can hang on a modal dialog.
#include <QList>
#include <QString>

class QWidget;

enum class TDlgKind { Information, Warning, Error, Question };
enum class TDlgAnswer { Ok, Yes, No, Cancel, YesToAll };

class TDialogs
{
public:
    virtual ~TDialogs() = default;
    virtual void message(QWidget *parent, TDlgKind kind, const QString &title, const QString &text) = 0;
    // Asks with the given buttons (in this order); returns the pressed one, Cancel when closed.
    virtual TDlgAnswer ask(QWidget *parent, TDlgKind kind, const QString &title, const QString &text,
                           const QList<TDlgAnswer> &buttons) = 0;
    // Returns the chosen file, or an empty text when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &folder,
                                 const QString &filter, const QString &defaultSuffix) = 0;
};

// The dialogs in use: Qt's unless a test installed others.
TDialogs &Dialogs();
// Installs dialogs (not owned); nullptr restores Qt's.
void setDialogs(TDialogs *dialogs);
