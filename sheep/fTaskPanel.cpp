#include "sheep/fTaskPanel.h"

#include "sheep/uTask.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Teachers' texts are shown as written, never read as markup.
QLabel *textLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

bool startsItsOwnLine(const QString &line)
{
    static const QRegularExpression marker(QStringLiteral("^(\\s|[-*•]|\\d+[.)]\\s)"));
    return marker.match(line).hasMatch();
}

// The description as the panel shows it: a paragraph's lines flow together
// so that the narrow panel can wrap them; blank lines, indented lines and
// list items keep their own lines.
QString flowedText(const QStringList &lines)
{
    QStringList shown;
    bool inParagraph = false;
    for (const QString &line : lines) {
        const bool blank = line.trimmed().isEmpty();
        if (inParagraph && !blank && !startsItsOwnLine(line))
            shown.last() += u' ' + line.trimmed();
        else
            shown.append(blank ? QString() : line);
        inParagraph = !blank;
    }
    return shown.join(u'\n');
}

QString worldLabel(const TTask &task, int world)
{
    return QStringLiteral("Welt %1: %2").arg(world + 1).arg(task.Worlds[world].Label);
}

// Enter on a row chooses it as a click does.
class TWorldList : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && currentItem()) {
            emit itemClicked(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

TTaskPanel::TTaskPanel(QWidget *parent) : QWidget(parent)
{
    createWidgets();
    nameWidgets();
    iProgressDelay = new QTimer(this);
    iProgressDelay->setSingleShot(true);
    iProgressDelay->setInterval(ProgressDelayMs);
    connect(iProgressDelay, &QTimer::timeout, Progress, &QWidget::show);
    connect(BtCheck, &QPushButton::clicked, this, &TTaskPanel::checkRequested);
    connect(ListWorlds, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit worldChosen(ListWorlds->row(item)); });
}

void TTaskPanel::createWidgets()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    LTitle = textLabel(this);
    QFont title = LTitle->font();
    title.setBold(true);
    title.setPixelSize(16);
    LTitle->setFont(title);
    LSolved = new QLabel(QStringLiteral("✔ Diese Aufgabe hast du gelöst."), this);
    LSolved->setStyleSheet(QStringLiteral("color: #1d7a1d;"));

    // The description and the goals scroll together when the panel is short.
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *texts = new QWidget(scroll);
    auto *textColumn = new QVBoxLayout(texts);
    textColumn->setContentsMargins(0, 0, 0, 0);
    LText = textLabel(texts);
    LGoals = textLabel(texts);
    LWarnings = textLabel(texts);
    LWarnings->setStyleSheet(QStringLiteral("color: #8a5a00;"));
    textColumn->addWidget(LText);
    textColumn->addWidget(caption(QStringLiteral("Ziele"), texts));
    textColumn->addWidget(LGoals);
    textColumn->addWidget(LWarnings);
    textColumn->addStretch(1);
    scroll->setWidget(texts);

    ListWorlds = new TWorldList(this);
    ListWorlds->setWordWrap(true);
    BtCheck = new QPushButton(QStringLiteral("Aufgabe prüfen"), this);
    BtCheck->setToolTip(QStringLiteral("Prüft das Skript auf allen Welten der Aufgabe (Strg+F9)"));
    Progress = new QProgressBar(this);
    Progress->hide();
    LRun = textLabel(this);

    column->addWidget(LTitle);
    column->addWidget(LSolved);
    column->addWidget(scroll, 3);
    column->addWidget(caption(QStringLiteral("Welten"), this));
    column->addWidget(ListWorlds, 1);
    column->addWidget(BtCheck);
    column->addWidget(Progress);
    column->addWidget(LRun);
}

void TTaskPanel::nameWidgets()
{
    setAccessibleName(QStringLiteral("Aufgabe"));
    LTitle->setAccessibleName(QStringLiteral("Titel der Aufgabe"));
    LText->setAccessibleName(QStringLiteral("Beschreibung der Aufgabe"));
    LGoals->setAccessibleName(QStringLiteral("Ziele der Aufgabe"));
    LWarnings->setAccessibleName(QStringLiteral("Warnungen zur Aufgabe"));
    ListWorlds->setAccessibleName(QStringLiteral("Welten der Aufgabe"));
    BtCheck->setAccessibleName(QStringLiteral("Aufgabe prüfen"));
    Progress->setAccessibleName(QStringLiteral("Fortschritt der Prüfung"));
    LRun->setAccessibleName(QStringLiteral("Ergebnis des letzten Laufs"));
}

void TTaskPanel::ShowTask(const TTask &task, bool solved, const QStringList &warnings)
{
    LTitle->setText(task.Title);
    LText->setText(flowedText(task.Description));
    QStringList goals;
    for (const QString &goal : GoalTexts(task.Goals))
        goals << QStringLiteral("• ") + goal;
    LGoals->setText(goals.join(u'\n'));
    LWarnings->setText(warnings.join(u'\n'));
    LWarnings->setVisible(!warnings.isEmpty());
    setSolved(solved);
    iWorldLabels.clear();
    ListWorlds->clear();
    for (int world = 0; world < task.Worlds.size(); ++world) {
        iWorldLabels << worldLabel(task, world);
        ListWorlds->addItem(iWorldLabels.last());
    }
    ListWorlds->setCurrentRow(0);
    ShowRunResult(QString());
    CheckEnded();
}

void TTaskPanel::setSolved(bool solved) { LSolved->setVisible(solved); }

void TTaskPanel::setWorldState(int world, const QString &state)
{
    if (QListWidgetItem *item = ListWorlds->item(world))
        item->setText(iWorldLabels.value(world) + QStringLiteral(" – ") + state);
}

void TTaskPanel::CheckStarted(int runs)
{
    Progress->setRange(0, runs);
    Progress->setValue(0);
    iProgressDelay->start();
}

void TTaskPanel::CheckProgress(int finished) { Progress->setValue(finished); }

void TTaskPanel::CheckEnded()
{
    iProgressDelay->stop();
    Progress->hide();
}

void TTaskPanel::ShowRunResult(const QString &text)
{
    LRun->setText(text);
    LRun->setVisible(!text.isEmpty());
}
