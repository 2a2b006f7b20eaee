#include "ide/uProgramBar.h"

#include <QLayout>
#include <QPushButton>
#include <QResizeEvent>

TProgramBar::TProgramBar(QWidget *parent) : QWidget(parent) {}

QSize TProgramBar::minimumSizeHint() const
{
    const QMargins margins = layout()->contentsMargins();
    int width = margins.left() + margins.right();
    for (int i = 0; i < layout()->count(); ++i) {
        QWidget *item = layout()->itemAt(i)->widget();
        if (item)
            width += (qobject_cast<QPushButton *>(item) ? CompactButtonWidth : item->sizeHint().width()) +
                     layout()->spacing();
    }
    return {width, QWidget::minimumSizeHint().height()};
}

void TProgramBar::addButton(QPushButton *button)
{
    // The buttons' fixed widths must not become the bar's minimum.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    button->setFixedWidth(iCompact ? CompactButtonWidth : ButtonWidth);
    iButtons.append(button);
    layout()->addWidget(button);
}

void TProgramBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!iCompact) {
        for (QPushButton *button : iButtons)
            button->setFixedWidth(fullWidth(button));
        iFullWidth = layout()->minimumSize().width();
    }
    setCompact(event->size().width() < iFullWidth);
}

void TProgramBar::setCompact(bool compact)
{
    if (compact == iCompact)
        return;
    iCompact = compact;
    if (compact)
        iCaptions.clear();
    for (qsizetype i = 0; i < iButtons.size(); ++i) {
        QPushButton *button = iButtons[i];
        if (compact)
            iCaptions.append(button->text());
        button->setText(compact ? QString() : iCaptions.value(i));
        button->setFixedWidth(compact ? CompactButtonWidth : fullWidth(button));
    }
}

int TProgramBar::fullWidth(const QPushButton *button) const
{
    return std::max(ButtonWidth, button->sizeHint().width());
}
