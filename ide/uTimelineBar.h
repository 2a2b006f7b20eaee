#pragma once
// The timeline "Verlauf" under the program bar: a slider over the moments of
// the run, 0 to the number of steps, with the label "Schritt k von n" and a
// tick at every moment at which a breakpoint line was reached. Dragging,
// clicking and the keys of a slider (Home, End, arrows, page keys) choose a
// moment; quick successive choices are taken as one, the last.
#include <QSlider>
#include <QWidget>

class QLabel;

// A slider that also draws ticks at chosen values.
class TTickedSlider : public QSlider
{
public:
    explicit TTickedSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent) {}
    void setMarks(const QList<int> &values);
    const QList<int> &Marks() const { return iMarks; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<int> iMarks;
};

class TTimelineBar : public QWidget
{
    Q_OBJECT
public:
    explicit TTimelineBar(QWidget *parent = nullptr);

    // Shows the moment `position` of a run of `length` steps without
    // reporting it as chosen.
    void setMoment(qint64 position, qint64 length);
    void setBreakMoments(const QList<qint64> &moments);
    qint64 Position() const { return iPosition; }
    qint64 Length() const { return iLength; }

    TTickedSlider *Slider = nullptr;
    QLabel *LStep = nullptr;

signals:
    // The user chose the moment after `step` steps.
    void momentChosen(qint64 step);

private:
    // Slider values are ints: a longer run is mapped onto their range.
    int toValue(qint64 step) const;
    qint64 toStep(int value) const;
    void showLabel();
    void valueChosen();

    qint64 iPosition = 0;
    qint64 iLength = 0;
    bool iChoicePending = false;
};
