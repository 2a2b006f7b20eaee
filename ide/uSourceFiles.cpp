#include "ide/uSourceFiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {
bool IsWhite(QChar c) { return c.unicode() <= 32; }

QString TrimRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && IsWhite(text[end - 1]))
        --end;
    return text.left(end);
}

QString Trim(const QString &text)
{
    const QString right = TrimRight(text);
    qsizetype start = 0;
    while (start < right.size() && IsWhite(right[start]))
        ++start;
    return right.mid(start);
}

bool IsSwitch(const QString &argument)
{
    return argument.startsWith(u'/') && !argument.mid(1).contains(u'/') && !QFileInfo(argument).isFile();
}
} // namespace

bool IsBlankText(const QStringList &lines)
{
    return std::all_of(lines.begin(), lines.end(), [](const QString &line) { return Trim(line).isEmpty(); });
}

bool IsCodeModified(const QStringList &lines, const QStringList &codebak, int caretLine)
{
    if (IsBlankText(lines) && IsBlankText(codebak))
        return false;
    // The caret's line is compared first; this can only find a change.
    if (caretLine >= 1 && caretLine <= lines.size()) {
        if (codebak.size() < caretLine)
            return true;
        if (TrimRight(lines[caretLine - 1]) != TrimRight(codebak[caretLine - 1]))
            return true;
    }
    if (lines.size() != codebak.size())
        return true;
    return Trim(lines.join(u'\n')) != Trim(codebak.join(u'\n'));
}

QString CommandLineFile(const QStringList &arguments)
{
    for (const QString &argument : arguments)
        if (!IsSwitch(argument))
            return argument;
    return QString();
}

QString FirstExistingFile(const QStringList &paths)
{
    for (const QString &path : paths)
        if (!path.isEmpty() && QFileInfo(path).isFile())
            return path;
    return QString();
}

QString DialogFilter(const QString &filter)
{
    if (!filter.contains(u'|'))
        return filter; // already in the dialog's form
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')');
    return filters.join(QStringLiteral(";;"));
}

QString FilterSuffix(const QString &nameFilter)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([^ ;)*]+)"));
    return pattern.match(nameFilter).captured(1);
}

QString SaveNameForFilter(const QString &path, const QString &nameFilter)
{
    const QString suffix = FilterSuffix(nameFilter);
    if (suffix.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + u'.' + suffix;
}
