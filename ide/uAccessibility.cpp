#include "ide/uAccessibility.h"

#include <QAccessibleWidget>
#include <QSet>

namespace {

QAccessibleInterface *windowFactory(const QString &className, QObject *object)
{
    // Asked with the most derived class first: answering only then leaves the
    // dialogs, main windows and Qt's own pop-ups to Qt.
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow() || className != QLatin1String(object->metaObject()->className()) ||
        object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

// A notification whose name is the text shown.
class TLiveTextAccessible : public QAccessibleWidget
{
public:
    explicit TLiveTextAccessible(TLiveText *label) : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *liveTextFactory(const QString &className, QObject *object)
{
    auto *label = qobject_cast<TLiveText *>(object);
    if (!label || className != QLatin1String(TLiveText::staticMetaObject.className()))
        return nullptr;
    return new TLiveTextAccessible(label);
}

} // namespace

void InstallAccessibleFactory(QAccessible::InterfaceFactory factory)
{
    static QSet<QAccessible::InterfaceFactory> installed;
    if (installed.contains(factory))
        return;
    installed.insert(factory);
    QAccessible::installFactory(factory);
}

void InstallWindowAccessibility() { InstallAccessibleFactory(windowFactory); }

TLiveText::TLiveText(QWidget *parent) : QLabel(parent)
{
    InstallAccessibleFactory(liveTextFactory);
    setObjectName(QStringLiteral("LAnnounce"));
    // A long text is cut rather than widening the status bar and the window;
    // screen readers get it whole.
    setMinimumWidth(1);
}

// Screen readers speak a notification when it is shown; the text change
// alone is reported as a new name.
void TLiveText::Announce(const QString &text)
{
    setText(text);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    emit announced(text);
}
