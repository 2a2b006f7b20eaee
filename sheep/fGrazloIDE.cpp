#include "sheep/fGrazloIDE.h"

#include "base/uVersion.h"
#include "forms/fAbout.h"
#include "forms/fSplash.h"
#include "ide/uUpdateHost.h"
#include "net/uUpdateCheck.h"
#include "sheep/fLawnGrid.h"
#include "sheep/fTaskPanel.h"
#include "sheep/uSandboxSheep.h"
#include "sheep/uTile.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// The three columns of an environment value: "zSteps  =", the value shown
// before the first run, and "(Schrittzähler)". The heading's label ends in a blank.
QString systemLabel(const TSheepValue &value)
{
    return value.Name.leftJustified(8) + (value.Type == TType::dir ? "= " : "=");
}

QString systemBlankValue(const TSheepValue &value) { return value.Type == TType::dir ? DirToValue(tdSouth) : "0"; }

QString systemComment(const TSheepValue &value) { return "(" + value.Help + ")"; }

QStringList systemColumn(QString (*text)(const TSheepValue &))
{
    QStringList column;
    for (const TSheepValue &value : SheepValues())
        column << text(value);
    return column;
}

const QStringList LevelCaptions = {"Level 1 - grüne Wiese", "Level 2 - Acker",   "Level 3 - Baum",
                                   "Level 4 - gemein",      "Level 5 - Wandern", "Level 6 - Wald"};

// Rows 13 pixels high, so the eight environment values fit their 105-pixel panel.
class TRowHeight13 : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 13};
    }
};

// A borderless, pale yellow list in the fixed-pitch font of the variable view.
QListWidget *systemList(QWidget *parent, const QStringList &items)
{
    auto *box = new QListWidget(parent);
    box->setFrameShape(QFrame::NoFrame);
    QFont fixed("Lucida Console");
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPixelSize(13);
    box->setFont(fixed);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 204));
    box->setPalette(pal);
    box->setUniformItemSizes(true);
    box->setItemDelegate(new TRowHeight13(box));
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFocusPolicy(Qt::NoFocus);
    box->setTextElideMode(Qt::ElideNone);
    box->addItems(items);
    return box;
}

// The designed width, or wider where the fixed-pitch font standing in here needs more.
int fittingWidth(const QListWidget *box, int designed)
{
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->item(i)->text()));
    return std::max(designed, widest + 2 * box->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4);
}

// The yellow score strip. Its label has a fixed size that follows the strip,
// so a new score repaints the label alone instead of laying out the window
// again after every step.
class TScoreStrip : public QFrame
{
public:
    explicit TScoreStrip(QWidget *parent) : QFrame(parent) {}
    QLabel *label = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QFrame::resizeEvent(event);
        const QRect area = contentsRect().adjusted(4, 0, -4, 0);
        label->move(area.topLeft());
        label->setFixedSize(area.size().expandedTo(QSize(0, 0)));
    }
};

} // namespace

TfrmGrazloIDE::TfrmGrazloIDE(QWidget *parent) : TfrmKeloIDE(parent), ilGrazlo(TLawnIcons::Create())
{
    // The sandbox comes first: the generic creation steps already ask for it.
    createSandbox();
    createLawnView();
    createSystemPanel();
    createLawnMenu();
    createTaskView();
    createTaskActions();
    nameSystemPanel();
    setWindowTitle("Grazlo");
    DlgOpenCode.filter = DlgSaveCode.filter = "GrazloCode (*.gzc);;KeloCode (*.klc);;Alle Dateien (*)";
    FormCreate();
}

TfrmGrazloIDE::~TfrmGrazloIDE()
{
    // The generic steps write the settings and free the program, whose built-ins
    // still point at the sandbox; only then does the sandbox go.
    rememberTask(taskSolved);
    FormDestroy();
    sb.reset();
}

void TfrmGrazloIDE::createSandbox()
{
    sb = std::make_unique<TSandboxSheep>();
    sb->Field().SetSize(10, 10);
    sb->setOnRefresh([this](TSandboxSheep *) { SandboxRefresh(); });
}

void TfrmGrazloIDE::FormCreate()
{
    TfrmKeloIDE::FormCreate();
    setInEdit(false);
}

void TfrmGrazloIDE::createLawnView()
{
    auto *strip = new TScoreStrip(PnModule);
    PnPoints = strip;
    PnPoints->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PnPoints->setFixedHeight(20);
    PnPoints->setAutoFillBackground(true);
    QPalette pal = PnPoints->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 0));
    PnPoints->setPalette(pal);
    LPoints = strip->label = new QLabel("Punkte: 0", PnPoints);

    PnGrid = new TLawnPanel(*sb, ilGrazlo, PnModule);
    PnGrid->setOnBeforeEdit([this] { StopProgram(); });
    connect(PnGrid, &TLawnPanel::cellHovered, this, &TfrmGrazloIDE::showCell);
    connect(PnGrid, &TLawnPanel::lawnChanged, this, &TfrmGrazloIDE::UpdateSysVars);
    // A run cannot be repeated on a lawn that changed since it started.
    connect(PnGrid, &TLawnPanel::lawnChanged, this, &TfrmGrazloIDE::EndTimeline);

    auto *column = static_cast<QVBoxLayout *>(PnModule->layout());
    column->setSpacing(0);
    column->addWidget(PnPoints);
    column->addWidget(PnGrid, 1);
}

void TfrmGrazloIDE::createSystemPanel()
{
    PnSystem = new QWidget(PnCodeVars);
    PnSystem->setFixedHeight(105);
    ListBoxSystem = systemList(PnSystem, systemColumn(systemLabel));
    ListBoxSystem->setFixedWidth(fittingWidth(ListBoxSystem, 81));
    LBoxSysVars = systemList(PnSystem, systemColumn(systemBlankValue));
    lBoxSysVarNames = systemList(PnSystem, systemColumn(systemComment));
    lBoxSysVarNames->setFixedWidth(fittingWidth(lBoxSysVarNames, 193));
    auto *row = new QHBoxLayout(PnSystem);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(ListBoxSystem);
    row->addWidget(LBoxSysVars, 1);
    row->addWidget(lBoxSysVarNames);
    static_cast<QVBoxLayout *>(PnCodeVars->layout())->insertWidget(0, PnSystem);
}

void TfrmGrazloIDE::nameSystemPanel()
{
    PnPoints->setAccessibleName("Punkte");
    ListBoxSystem->setAccessibleName("Namen der Umgebungswerte");
    LBoxSysVars->setAccessibleName("Umgebungswerte");
    lBoxSysVarNames->setAccessibleName("Bedeutung der Umgebungswerte");
}

QWidget *TfrmGrazloIDE::SandboxFocusWidget() { return PnGrid->dg; }

QString TfrmGrazloIDE::EndOfRunText()
{
    return TfrmKeloIDE::EndOfRunText() + ". Punkte: " + QString::number(sb->Punkte(IsRunning()));
}

void TfrmGrazloIDE::createLawnMenu()
{
    AcGreenEdit = new QAction(ilGrazlo.edit, "Bearbeiten", this);
    AcGreenEdit->setToolTip("Rasen bearbeiten");
    AcGreenEdit->setStatusTip("Rasen bearbeiten");
    connect(AcGreenEdit, &QAction::triggered, this, [this] { setInEdit(true); });

    QMenu *lawn = menuBar()->addMenu("&Rasen");
    miLevels = lawn->addMenu(ilGrazlo.level, "&Meisterschaft");
    for (int i = 0; i < int(AcLv.size()); ++i) {
        AcLv[i] = miLevels->addAction(ilGrazlo.level, LevelCaptions[i]);
        connect(AcLv[i], &QAction::triggered, this, [this, i] {
            PnGrid->Level(i + 1);
            Announce(LevelCaptions[i] + " geladen");
        });
    }
    lawn->addSeparator();
    miEditGreen = AcGreenEdit;
    lawn->addAction(miEditGreen);
    miLoadGreen = PnGrid->AcGreenLoad;
    lawn->addAction(miLoadGreen);
}

TKeloSandBox *TfrmGrazloIDE::sandbox() { return sb.get(); }

void TfrmGrazloIDE::ReloadSandBox()
{
    // A continuous run at the highest speed leaves the list alone, as it would
    // change faster than it could be read; whenever the sheep stands still
    // (end, Pause, breakpoint, single step) it shows the current values.
    if (!(IsRunning() && doRun && delay() <= 0))
        UpdateSysVars();
    LPoints->setText("Punkte: " + QString::number(sb->Punkte(IsRunning())));
    // Resets such as the heading before a run change the picture without a refresh.
    PnGrid->SandboxRefresh();
    QApplication::processEvents();
}

void TfrmGrazloIDE::UpdateSysVars()
{
    LBoxSysVars->setUpdatesEnabled(false);
    LBoxSysVars->clear();
    QStringList items;
    for (const TSheepValue &value : SheepValues())
        items.append(value.Read(*sb));
    LBoxSysVars->addItems(items);
    // Screen readers get each value with its name and meaning: "zSteps = 3 (Schrittzähler)".
    const QList<TSheepValue> &values = SheepValues();
    for (int i = 0; i < LBoxSysVars->count() && i < values.size(); ++i)
        LBoxSysVars->item(i)->setData(Qt::AccessibleTextRole,
                                      values[i].Name + " = " + items[i] + " " + systemComment(values[i]));
    LBoxSysVars->setUpdatesEnabled(true);
}

void TfrmGrazloIDE::SandboxRefresh()
{
    if (PnGrid && !isReplaying())
        PnGrid->SandboxRefresh();
}

void TfrmGrazloIDE::SandboxRestored() { PnGrid->RepaintLawn(); }

void TfrmGrazloIDE::showCell(int col, int row)
{
    setStatusText(0, "Spalte " + QString::number(col));
    setStatusText(1, "Zeile " + QString::number(row));
}

// Created hidden as the window's child on first use; the start-up shows it.
QWidget *TfrmGrazloIDE::getSplash()
{
    if (!splash)
        splash = new TfrmSplash(this);
    splash->LSearch->setVisible(doSearch4Update);
    return splash;
}

QString TfrmGrazloIDE::getUpdateUrl() { return UpdateUrlFor(ConfiguredUpdateHost()); }

QString TfrmGrazloIDE::getVersion() { return QString::fromLatin1(GrazloVersion); }

void TfrmGrazloIDE::ShowAbout()
{
    if (!about)
        about = new TfrmAbout(getVersion(), InfoPageUrlFor(ConfiguredUpdateHost()), this);
    ShowOrRaise(about);
}

namespace {
bool isTaskFile(const QString &path) { return QFileInfo(path).suffix().compare(u"gza", Qt::CaseInsensitive) == 0; }
} // namespace

void TfrmGrazloIDE::OpenDroppedFile(const QString &path)
{
    if (isTaskFile(path))
        OpenTask(path);
    else
        TfrmKeloIDE::OpenDroppedFile(path);
}

void TfrmGrazloIDE::OpenCommandLineFile(const QString &path)
{
    if (isTaskFile(path))
        OpenTask(path);
    else if (QFileInfo(path).suffix().compare(u"glw", Qt::CaseInsensitive) == 0)
        PnGrid->LoadGreen(path);
    else
        TfrmKeloIDE::OpenCommandLineFile(path);
}
