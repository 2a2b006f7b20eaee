#include "parser/uKeloParser.h"

void TKeloParser::Init() { iLineNumbers.clear(); }

void TKeloParser::addMessage(TKeloMessageList &list, const QString &prefix, const QString &msg)
{
    const int line = curLineNr + 1;
    list.append({prefix + QString::number(line) + QStringLiteral(" : ") + msg, line});
}

void TKeloParser::addError(const QString &msg) { addMessage(iErrorLog, QStringLiteral("Fehler: Zeile "), msg); }

void TKeloParser::addWarning(const QString &msg) { addMessage(iWarnings, QStringLiteral("Warnung: Zeile "), msg); }

bool TKeloParser::checkDirective(const QString &line)
{
    if (commentStart(line) < 0 || !line.contains(u"//!"))
        return false;
    if (line.contains(u"//!soft="))
        iSoftmode = line.contains(u"//!soft=1");
    return true;
}
