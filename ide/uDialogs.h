#pragma once
// The one seam for modal interaction of the windows: message boxes, questions,
// file dialogs. The default shows Qt dialogs; tests install a scripted fake so
// that no test can hang on a modal dialog.
#include <QList>
#include <QString>

class QRect;
class QWidget;
class TTextSearchDialog;

enum class TDlgKind { Information, Warning, Error, Question };
enum class TDlgAnswer { Ok, Yes, No, Cancel, YesToAll };

// A save dialog's answer: the file as the user named it (empty when cancelled)
// and the name filter that was chosen with it.
struct TSaveChoice
{
    QString path;
    QString filter;
};

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
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                                 const QString &defaultSuffix) = 0;
    // The save dialog for files whose type follows the chosen filter. The
    // default asks saveFileName with the first filter's extension and reports
    // that filter as chosen.
    virtual TSaveChoice saveFileChoice(QWidget *parent, const QString &caption, const QString &folder,
                                       const QString &filter);
    // Shows the search or replace dialog modally; true when it was confirmed with OK.
    virtual bool execSearchDialog(TTextSearchDialog &dialog);
    // Asks before one replacement of text, next to its occurrence at screen x
    // between rows y1 and y2 inside area; returns Yes, No, YesToAll or Cancel.
    virtual TDlgAnswer confirmReplace(const QRect &area, int x, int y1, int y2, const QString &text);
};

// The dialogs in use: Qt's unless a test installed others.
TDialogs &Dialogs();
// Installs dialogs (not owned); nullptr restores Qt's.
void setDialogs(TDialogs *dialogs);
