#pragma once
#include <QString>

// The update server's host: the key "updatehost" in section "main" of the
// window settings file when present (only read, never written), otherwise the
// default of this build.
QString ConfiguredUpdateHost();
