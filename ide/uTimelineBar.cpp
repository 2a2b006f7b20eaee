#include "ide/uTimelineBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionSlider>
#include <QTimer>

#include <limits>

void TTickedSlider::setMarks(const QList<int> &values)
{
    iMarks = values;
    update();
}

// Red ticks below the groove, where the handle stands at those values.
void TTickedSlider::paintEvent(QPaintEvent *event)
{
    QSlider::paintEvent(event);
    if (iMarks.isEmpty())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    QPainter p(this);
    p.setPen(QPen(QColor(214, 48, 49), 2));
    for (int value : iMarks) {
        const int x = groove.left() + handle.width() / 2 +
                      QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown);
        p.drawLine(x, height() - 5, x, height() - 1);
    }
}

TTimelineBar::TTimelineBar(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 2);
    Slider = new TTickedSlider(this);
    Slider->setAccessibleName(QStringLiteral("Verlauf"));
    Slider->setToolTip(QStringLiteral("Verlauf"));
    Slider->setFocusPolicy(Qt::StrongFocus);
    Slider->setPageStep(10);
    LStep = new QLabel(this);
    LStep->setBuddy(Slider);
    row->addWidget(LStep);
    row->addWidget(Slider, 1);
    setMoment(0, 0);
    connect(Slider, &QSlider::valueChanged, this, [this] {
        if (iChoicePending)
            return;
        iChoicePending = true;
        QTimer::singleShot(0, this, &TTimelineBar::valueChosen);
    });
}

void TTimelineBar::setMoment(qint64 position, qint64 length)
{
    iLength = std::max<qint64>(length, 0);
    iPosition = std::clamp<qint64>(position, 0, iLength);
    const QSignalBlocker quiet(Slider);
    Slider->setRange(0, toValue(iLength));
    Slider->setValue(toValue(iPosition));
    showLabel();
}

void TTimelineBar::setBreakMoments(const QList<qint64> &moments)
{
    QList<int> values;
    for (qint64 step : moments)
        values.append(toValue(step));
    Slider->setMarks(values);
}

int TTimelineBar::toValue(qint64 step) const
{
    constexpr qint64 top = std::numeric_limits<int>::max();
    if (iLength <= top)
        return static_cast<int>(step);
    return static_cast<int>(static_cast<long double>(step) * top / iLength);
}

qint64 TTimelineBar::toStep(int value) const
{
    constexpr qint64 top = std::numeric_limits<int>::max();
    if (iLength <= top)
        return value;
    return static_cast<qint64>(static_cast<long double>(value) * iLength / top);
}

// As wide as the widest label of this run, so that the slider keeps its place
// while the moments change.
void TTimelineBar::showLabel()
{
    const QString text = QStringLiteral("Schritt %1 von %2").arg(iPosition).arg(iLength);
    LStep->setMinimumWidth(LStep->fontMetrics().horizontalAdvance(QStringLiteral("Schritt %1 von %1").arg(iLength)));
    LStep->setText(text);
    Slider->setAccessibleDescription(text);
}

// The value the slider ended up with after the events handled meanwhile.
void TTimelineBar::valueChosen()
{
    iChoicePending = false;
    const qint64 step = toStep(Slider->value());
    if (step != iPosition)
        emit momentChosen(step);
}
