#pragma once
// What assistive technology needs beyond Qt's own accessibility: secondary
// windows built on plain widgets report themselves as windows with their
// title, and a status-bar text that screen readers announce when it changes.
#include <QAccessible>
#include <QLabel>

// Installs an accessibility factory, once however often it is called.
void InstallAccessibleFactory(QAccessible::InterfaceFactory factory);

// Makes every top-level window whose class derives directly from QWidget
// report the role Window (Qt reports such a widget as a mere client area).
// Safe to call more than once.
void InstallWindowAccessibility();

// A text in the status bar that announces itself: every new text is reported
// to assistive technology as a shown notification carrying that text.
class TLiveText : public QLabel
{
    Q_OBJECT
public:
    explicit TLiveText(QWidget *parent = nullptr);
    void Announce(const QString &text);

signals:
    void announced(const QString &text);
};
