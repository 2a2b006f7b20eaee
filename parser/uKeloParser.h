#pragma once
// The Kelo code parser: turns the editor's lines into the code model, with
// numbered error and warning lists and the list of executable lines.
#include "parser/uKeloLines.h"

#include <QList>
#include <QString>
#include <QStringList>

class TCode;
class TFunctionValue;

// One parser message: its full text ("Fehler: Zeile 5 : ...") and the 1-based
// editor line it refers to, so a list entry leads back to its line.
struct TKeloMessage {
    QString Text;
    int Line = 0;
};
using TKeloMessageList = QList<TKeloMessage>;
using TFunctionValueList = QList<TFunctionValue *>;

// State shared by the statement and the expression parser while one script
// is read. Not safe for nested or concurrent parses.
class TKeloParser
{
public:
    TKeloParser() = default;

    // Clears the list of executable lines only; the message lists are cleared
    // at the start of every parse.
    void Init();
    void addError(const QString &msg);
    void addWarning(const QString &msg);
    // True for a directive line ("//!" anywhere); "//!soft=" switches soft mode.
    bool checkDirective(const QString &line);

    const TKeloMessageList &ErrorLog() const { return iErrorLog; }
    const TKeloMessageList &Warnings() const { return iWarnings; }
    const QList<int> &LineNumbers() const { return iLineNumbers; }
    bool Softmode() const { return iSoftmode; }

    // The scope being filled and the 0-based first line of the logical line
    // being parsed; every message is numbered from curLineNr.
    TCode *curCode = nullptr;
    int curLineNr = 0;

private:
    void addMessage(TKeloMessageList &list, const QString &prefix, const QString &msg);

    TKeloMessageList iErrorLog;
    TKeloMessageList iWarnings;
    TFunctionValueList *iBinCalls = nullptr;
    QList<int> iLineNumbers;
    bool iSoftmode = false;
};
