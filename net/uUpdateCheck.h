#pragma once
// The start-up question to the update server: which version is current?
#include <QString>

// The update server of this build, unless the settings name another.
QString DefaultUpdateHost();
// "http://" + host + "/version.php".
QString UpdateUrlFor(const QString &host);
// The product's information page on the update server.
QString InfoPageUrlFor(const QString &host);

// The server's answer names another version: the request succeeded, the body
// is not empty, is no HTML page and, trimmed of codes 0 to 32, differs from
// version. Any other text counts, an older version too.
bool IsNewVersion(bool succeeded, const QString &body, const QString &version);
// Asks url for the current version; false when url or version is empty or the
// request fails in any way.
bool CheckForNewVersion(const QString &url, const QString &version);
