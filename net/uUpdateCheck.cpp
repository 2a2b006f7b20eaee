#include "net/uUpdateCheck.h"

#include "net/uHttp.h"

namespace {
// Trims characters of codes 0 to 32 from both ends, as the version text may
// be surrounded by blanks and line breaks.
QString TrimControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}
} // namespace

QString DefaultUpdateHost() { return QStringLiteral(GRAZLO_UPDATE_HOST); }

QString UpdateUrlFor(const QString &host) { return QStringLiteral("http://") + host + QStringLiteral("/version.php"); }

QString InfoPageUrlFor(const QString &host) { return QStringLiteral("http://") + host + QStringLiteral("/"); }

bool IsNewVersion(bool succeeded, const QString &body, const QString &version)
{
    return succeeded && !body.isEmpty() && body.at(0) != QLatin1Char('<') && TrimControls(body) != version;
}

bool CheckForNewVersion(const QString &url, const QString &version)
{
    if (url.isEmpty() || version.isEmpty())
        return false;
    THttpString http;
    http.setURL(url);
    QString body;
    const bool succeeded = http.Get(body);
    return IsNewVersion(succeeded, body, version);
}
