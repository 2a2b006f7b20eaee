// The window's source-file commands: new text, load, save, save as, the
// question about unsaved changes, dropped files, the command-line file and the
// debugging script.
#include "ide/fKeloIDE.h"

#include "base/uRuntimeFolders.h"
#include "editor/MemoCode.h"
#include "ide/uDialogs.h"
#include "ide/uSourceFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString DebugCodeName = QStringLiteral("debugcode.klc");

QString ErrorTitle() { return QApplication::applicationDisplayName(); }
} // namespace

bool TfrmKeloIDE::IsBlankText(const QStringList &lines) { return ::IsBlankText(lines); }

// At the editor's save point the text is codebak itself: no copy of the text needed.
bool TfrmKeloIDE::IsCodeModified()
{
    return MemoCode->Modified() && ::IsCodeModified(MemoCode->Lines(), codebak, MemoCode->CaretY());
}

bool TfrmKeloIDE::CheckSaved()
{
    StopProgram();
    if (!IsCodeModified())
        return true;
    const TDlgAnswer answer =
        Dialogs().ask(this, TDlgKind::Warning, QStringLiteral("Warnung"),
                      QStringLiteral("Der Quellcode wurde noch nicht gespeichert.\r\nJetzt speichern?"),
                      {TDlgAnswer::Yes, TDlgAnswer::No, TDlgAnswer::Cancel});
    if (answer == TDlgAnswer::Cancel)
        return false;
    // A cancelled save dialog lets the caller go on; a failed write must not,
    // or the text would be lost.
    return answer != TDlgAnswer::Yes || SaveCode() != TSaveResult::Failed;
}

void TfrmKeloIDE::SetCodeFileName(const QString &path)
{
    iCodeFileName = path;
    setStatusText(5, path);
}

void TfrmKeloIDE::MemoCodeChange()
{
    AcSaveCode->setEnabled(IsCodeModified());
    UpdateCaretInfo();
}

void TfrmKeloIDE::AcNewExecute()
{
    if (!CheckSaved())
        return;
    MemoCode->ClearAll();
    SetCodeFileName(QString());
    codebak.clear();
    MemoCode->SetSavePoint();
    codeFormat = TTextFormat();
    AcSaveCode->setEnabled(false);
}

bool TfrmKeloIDE::LoadCodeFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    return CheckSaved() && ReadCodeFile(path);
}

bool TfrmKeloIDE::ReadCodeFile(const QString &path)
{
    TTextLines text;
    QString error;
    if (!ReadScriptFile(path, text, error)) {
        Dialogs().message(this, TDlgKind::Error, ErrorTitle(), error);
        return false;
    }
    MemoCode->setLines(text.Lines);
    codeFormat = text.Format;
    SetCodeFileName(path);
    codebak = MemoCode->Lines();
    MemoCode->SetSavePoint();
    AcSaveCode->setEnabled(false);
    return true;
}

void TfrmKeloIDE::AcLoadCodeExecute()
{
    const QString path =
        Dialogs().openFileName(this, QString(), DlgOpenCode.initialDir, DialogFilter(DlgOpenCode.filter));
    if (!path.isEmpty())
        LoadCodeFile(path);
}

TfrmKeloIDE::TSaveResult TfrmKeloIDE::SaveCode()
{
    if (iCodeFileName.isEmpty())
        return SaveCodeAs();
    MemoCode->TrimTrailingSpacesForSave();
    const QStringList lines = MemoCode->Lines();
    TTextFormat format = codeFormat;
    QString error;
    if (!WriteTextFile(iCodeFileName, lines, format, error)) {
        Dialogs().message(this, TDlgKind::Error, ErrorTitle(), error);
        return TSaveResult::Failed;
    }
    if (const QString notice = EncodingChangeNotice(iCodeFileName, codeFormat.Encoding, format.Encoding);
        !notice.isEmpty())
        AddMessage(notice);
    codeFormat = format;
    codebak = lines;
    MemoCode->SetSavePoint();
    AcSaveCode->setEnabled(false);
    return TSaveResult::Saved;
}

TfrmKeloIDE::TSaveResult TfrmKeloIDE::SaveCodeAs()
{
    const TSaveChoice choice =
        Dialogs().saveFileChoice(this, QString(), DlgSaveCode.initialDir, DialogFilter(DlgSaveCode.filter));
    if (choice.path.isEmpty())
        return TSaveResult::DialogCancelled;
    const QString path = SaveNameForFilter(choice.path, choice.filter);
    const QString previous = iCodeFileName;
    SetCodeFileName(path);
    const TSaveResult result = SaveCode();
    // A text that could not be written under the new name still belongs to the old one.
    if (result == TSaveResult::Failed)
        SetCodeFileName(previous);
    return result;
}

void TfrmKeloIDE::AcSaveCodeExecute() { SaveCode(); }

void TfrmKeloIDE::AcSaveCodeAsExecute() { SaveCodeAs(); }

void TfrmKeloIDE::MemoCodeDropFiles(const QStringList &paths)
{
    const QString path = FirstExistingFile(paths);
    if (!path.isEmpty())
        OpenDroppedFile(path);
}

void TfrmKeloIDE::OpenDroppedFile(const QString &path) { LoadCodeFile(path); }

void TfrmKeloIDE::LoadCommandLineFile()
{
    QString path = CommandLineFile(QCoreApplication::arguments().mid(1));
    // An installed IDE has left the folder it was called in for the working folder.
    if (RuntimeFolders().Form == TRuntimeForm::Installed && !path.isEmpty())
        path = QDir(RuntimeFolders().StartFolder).filePath(path);
    if (!path.isEmpty())
        OpenCommandLineFile(path);
}

void TfrmKeloIDE::OpenCommandLineFile(const QString &path) { LoadCodeFile(path); }

void TfrmKeloIDE::AcDebugCodeExecute()
{
    const QString path = QDir(RuntimeFolders().DataFolder).filePath(DebugCodeName);
    if (QFileInfo(path).isFile())
        LoadCodeFile(path);
    else
        Dialogs().message(this, TDlgKind::Error, QString(), QStringLiteral("Kein Debugcode gefunden."));
}
