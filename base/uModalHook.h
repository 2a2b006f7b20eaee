#pragma once
// Process-wide seam for "show this text modally" from engine code that links no
// widgets (sandbox messages without a receiver, missing image files). The IDE
// installs a hook that shows a message box of the right kind; a headless program
// installs one that prints. Until a hook is installed the text goes to stderr.
#include <QString>
#include <functional>

enum class TModalKind { Information = 0, Warning = 1, Error = 2 };

using TModalHook = std::function<void(const QString &text, TModalKind kind)>;

// Installs the hook; an empty function restores the stderr default.
void setModalHook(TModalHook hook);
void ShowModal(const QString &text, TModalKind kind);
