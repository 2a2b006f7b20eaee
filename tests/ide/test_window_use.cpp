// The window as a learner meets it: variable view, line marker at top speed, a small screen.
#include "ide_run_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace {
// What the learner sees of a list: top and bottom rows in view, the current and the selected rows.
QList<int> seen(const QListWidget *list)
{
    QList<int> rows = {list->indexAt(QPoint(1, 1)).row(),
                       list->indexAt(QPoint(1, list->viewport()->height() - 2)).row(), list->currentRow()};
    for (const QListWidgetItem *item : list->selectedItems())
        rows.append(list->row(item));
    return rows;
}

void turnWheel(QListWidget *list)
{
    const QPoint at = list->viewport()->rect().center();
    QWheelEvent event(at, list->viewport()->mapToGlobal(at), {}, {0, -360}, {}, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &event);
}
} // namespace

TEST_F(RunTest, TheVariableViewsNamesAndValuesMoveAsOneWhateverMovesThem)
{
    QStringList script;
    for (int i = 1; i <= 40; ++i)
        script << QStringLiteral("int var%1 = %2;").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    script << "int einNameDerNichtInDieSpalteDerNamenPasstUndLaengerIst = 0;"
           << "tick();";
    setScript(script);
    plugin().Breakpoints().Add(script.size());
    window->show();
    window->AcStartExecute();
    QListWidget *names = window->lBoxCodeVarNames, *values = window->lBoxCodeVarValues;
    ASSERT_GE(names->count(), 41);

    const std::pair<const char *, std::function<void(QListWidget *)>> ways[] = {
        {"wheel", turnWheel},
        {"scroll bar", [](QListWidget *l) { l->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum); }},
        {"End key", [](QListWidget *l) { QTest::keyClick(l, Qt::Key_End); }},
        {"click", [](QListWidget *l) { QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, QPoint(5, 5)); }},
    };
    for (const auto &[from, to] : {std::pair{names, values}, std::pair{values, names}})
        for (const auto &[way, move] : ways) {
            for (QListWidget *list : {names, values}) {
                list->setCurrentRow(-1);
                list->clearSelection();
                list->verticalScrollBar()->setValue(0);
            }
            move(from);
            const std::string where = std::string(way) + (from == names ? " on the names" : " on the values");
            EXPECT_TRUE(seen(from)[0] > 0 || from->currentRow() >= 0) << where << " moved nothing";
            EXPECT_EQ(seen(to), seen(from)) << where;
        }
}

TEST_F(RunTest, AtFullSpeedPauseAndBreakpointsShowTheLineThatRunsNextAndStopClearsIt)
{
    setScript({"int i = 0;", "while (i < 50)", "  tick();", "  i = i + 1;", "endwhile"});
    window->SetSpeed(100);
    QList<int> markerAtTick;
    window->box.onTick = [&] {
        markerAtTick.append(plugin().CurrentLine());
        if (window->box.ticks == 20)
            QMetaObject::invokeMethod(
                window.get(), [this] { window->AcPauseExecute(); }, Qt::QueuedConnection); // as a click
        if (window->box.ticks == 30)
            plugin().Breakpoints().Add(3);
    };
    window->AcStartExecute();
    EXPECT_EQ(window->box.ticks, 20);
    EXPECT_EQ(markerAtTick, QList<int>(20, 1)) << "the marker stands still during the run";
    EXPECT_EQ(plugin().CurrentLine(), 4) << "paused before i = i + 1";
    EXPECT_EQ(window->statusText(3), "Zeile      4");

    window->AcStartExecute();
    EXPECT_EQ(window->box.ticks, 30);
    EXPECT_EQ(plugin().CurrentLine(), 3) << "stopped at the breakpoint";
    EXPECT_EQ(markerAtTick.mid(20), QList<int>(10, 4));

    window->AcStopExecute();
    EXPECT_EQ(plugin().CurrentLine(), -1);
}

TEST_F(RunTest, InA640By480WindowTheSpeedButtonsStayAtHandAndTheEditorKeepsAThird)
{
    QFile ini(settingsDir.filePath(QStringLiteral("grazlo.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[main]\nleft=0\ntop=0\nwidth=640\nheight=480\npanelleft=900\nsearch4update=0\n");
    ini.close();
    window->show();
    ASSERT_EQ(window->width(), 640);
    EXPECT_GE(3 * window->editor()->width(), window->centralWidget()->width()) << "the editor keeps a third";

    for (const auto &[tip, delay] : {std::pair{"Höchste Ausführungsgeschwindigkeit", 0},
                                     std::pair{"Niedrigste Ausführungsgeschwindigkeit", 1000}}) {
        QToolButton *button = nullptr;
        for (QToolButton *b : window->findChildren<QToolButton *>())
            button = b->toolTip() == QString::fromUtf8(tip) ? b : button;
        ASSERT_NE(button, nullptr);
        window->SetSpeed(50);
        const QRect shown(button->mapTo(window.get(), QPoint()), button->size());
        EXPECT_TRUE(button->isVisible() && window->rect().contains(shown)) << tip;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(window->delay(), delay) << tip;
    }
}
