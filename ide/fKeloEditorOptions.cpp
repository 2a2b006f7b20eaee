#include "ide/fKeloEditorOptions.h"

#include "base/uIniFile.h"
#include "ide/fKeloIDE.h"
#include "ide/uDialogs.h"
#include "ide/uWindowSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

const TOptionInfo EditorOptionInfos[SynEditorOptionCount] = {
    {"AltSetsColumnMode", "Spaltenweises Selektieren bei gedrückter Alt-Taste."},
    {"AutoIndent", "Setzt den Cursor für neue Zeilen auf die Position des ersten sichtbaren Zeichens der vorigen "
                   "Zeile."},
    {"AutoSizeMaxScrollWidth", "Setzt die Maximale Scroll-Breite automatisch, wenn Text eingefügt wird."},
    {"DisableScrollArrows", "Deaktiviert die Scrollbar-Knöpfe, wenn nicht mehr in die jeweilige Richtung gescrollt "
                            "werden kann."},
    {"DragDropEditing", "Es können per Drag&Drop Textblöcke verschoben werden."},
    {"DropFiles", "Aktiviert das Laden von Dateien per Drag&Drop."},
    {"EnhanceHomeKey", "Verbessertes Pos-1(Taste) Verhalten. (ähnlich wie in  Visual Studio)"},
    {"EnhanceEndKey", "Verbessertes Ende(Taste) Verhalten. (ähnlich wie in JDeveloper)"},
    {"GroupUndo", "Blockweises Rückgängig/Wiederherstellen. Alle Änderungen einer Art werden zusammen behandelt."},
    {"HalfPageScroll", "Bild Auf/Ab scrollt nur eine halbe Seite."},
    {"HideShowScrollbars", "Scrollbars sind nur sichtbar wenn nötig."},
    {"KeepCaretX", "Die X-Position des Cursors wird beim Zeilenwechsel beibehalten."},
    {"NoCaret", "Nicht sichtbare Eingabeaufforderung."},
    {"NoSelection", "Text kann nicht selektiert werden."},
    {"RightMouseMovesCursor", "Bei einem Rechtsklick wird der Cursor auf die Mausposition gesetzt."},
    {"ScrollByOneLess", "Bild Auf/Ab scrollt immer eine Zeile weniger."},
    {"ScrollHintFollows", "Der Scroll-Hint folgt der Maus."},
    {"ScrollPastEof", "Der Cursor kann hinter der dem letzten Zeichen des Quelltextes positioniert werden."},
    {"ScrollPastEol", "Der Cursor kann hinter der dem letzten Zeichen der Zeile positioniert werden."},
    {"ShowScrollHint", "Zeigt beim Scrollen einen Hint mit der obersten sichtbaren Zeile."},
    {"ShowSpecialChars", "Zeigt nicht sichtbare Zeichen."},
    {"SmartTabDelete", "Wie SmartTabs nur beim Löschen von Zeichen."},
    {"SmartTabs", "Tab setzt den Cursor auf die Position das nächsten sichtbaren Zeichens der vorigen Zeile. "
                  "(SmartTabs)"},
    {"SpecialLineDefaultFg", "Deaktiviert vordifierte Vordergrund-Textfarben."},
    {"TabIndent", "<Tab> und <Shift><Tab> fungieren als Blockeinzug vergrößern/verringern."},
    {"TabsToSpaces", "Tabs werden als Leerzeichen umgesetzt."},
    {"TrimTrailingSpaces", "Nicht sichtbare Zeichen an Zeilenenden werden nicht gespeichert."},
};

namespace {
const char *const SectionEditor = "editor";

QFont pixelFont(int pixels)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    return font;
}

TSynEditorOption optionOfBit(int bit) { return TSynEditorOption(1u << bit); }

const char *const AboutText = "Ein wichtiges Element dieser Enticklungsumgebung ist der Editor.\n"
                              "Dieser wurde mit der Open-Source Komponente QScintilla umgesetzt.\n"
                              "\n"
                              "QScintilla ist die Qt-Fassung der Editor-Komponente Scintilla.\n"
                              "Sie bringt Syntaxhervorhebung, Zeilennummern, Randmarkierungen,\n"
                              "Suchen und Ersetzen sowie Rückgängig und Wiederherstellen mit.";
} // namespace

TfrmKeloEditorOptions::TfrmKeloEditorOptions(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmKeloEditorOptions"));
    setWindowTitle(QStringLiteral("About Editor"));
    setFont(pixelFont(13));
    resize(562, 387);

    pctrl = new QTabWidget(this);
    pctrl->setObjectName(QStringLiteral("pctrl"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pctrl);
    tsOptions = createOptionsPage();
    tsHotkeys = createHotkeysPage();
    tsAboutSynedit = createAboutPage();
    pctrl->addTab(tsOptions, QStringLiteral("Optionen"));
    pctrl->addTab(tsHotkeys, QStringLiteral("Tastenkürzel"));
    pctrl->addTab(tsAboutSynedit, QStringLiteral("about QScintilla"));
    pctrl->setTabVisible(1, false);

    AcClose2 = new QAction(QStringLiteral("AcClose"), this);
    AcClose2->setShortcut(Qt::Key_Escape);
    AcClose2->setShortcutContext(Qt::WindowShortcut);
    addAction(AcClose2);
    connect(AcClose2, &QAction::triggered, this, &TfrmKeloEditorOptions::BtCancelClick);
    FormCreate();
}

// The page shows nearly all of its area: a flat tab widget.
void TfrmKeloEditorOptions::FormCreate()
{
    pctrl->setDocumentMode(true);
    auto *box = new QWidget;
    box->setAutoFillBackground(true);
    box->setPalette(QPalette(Qt::white));
    box->setFont(pixelFont(11));
    auto *boxes = new QVBoxLayout(box);
    boxes->setContentsMargins(4, 4, 4, 4);
    boxes->setSpacing(4);
    for (int bit = 0; bit < SynEditorOptionCount; ++bit) {
        auto *cbox = new QCheckBox(QString::fromUtf8(EditorOptionInfos[bit].caption), box);
        cbox->setObjectName(QStringLiteral("cbox%1").arg(bit));
        cbox->setToolTip(QString::fromUtf8(EditorOptionInfos[bit].caption).remove(u'&'));
        cbox->setChecked(SynEditorDefaultOptions & optionOfBit(bit));
        boxes->addWidget(cbox);
        Options.insert(optionOfBit(bit), cbox);
    }
    boxes->addStretch();
    ScrollBoxOptions->setWidget(box);
}

QPushButton *TfrmKeloEditorOptions::button(const QString &name, const QString &caption,
                                           void (TfrmKeloEditorOptions::*handler)())
{
    auto *bt = new QPushButton(caption);
    bt->setObjectName(name);
    connect(bt, &QPushButton::clicked, this, handler);
    return bt;
}

QWidget *TfrmKeloEditorOptions::bottomPanel(const QString &name, QList<QPushButton *> leftButtons,
                                            QList<QPushButton *> rightButtons)
{
    auto *panel = new QWidget;
    panel->setObjectName(name);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 6, 6, 6);
    for (QPushButton *bt : leftButtons)
        row->addWidget(bt);
    row->addStretch();
    for (QPushButton *bt : rightButtons)
        row->addWidget(bt);
    return panel;
}

QWidget *TfrmKeloEditorOptions::createOptionsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsOptions"));
    ScrollBoxOptions = new QScrollArea(page);
    ScrollBoxOptions->setObjectName(QStringLiteral("ScrollBoxOptions"));
    ScrollBoxOptions->setWidgetResizable(true);
    // Long captions stay readable in a narrow window: the list scrolls sideways.
    ScrollBoxOptions->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    BtDefault = button(QStringLiteral("BtDefault"), QStringLiteral("Standard wiederherstellen"),
                       &TfrmKeloEditorOptions::BtDefaultClick);
    BtDefault->setFixedWidth(194);
    BtCancel = button(QStringLiteral("BtCancel"), QStringLiteral("Abbrechen"), &TfrmKeloEditorOptions::BtCancelClick);
    BtOk = button(QStringLiteral("BtOk"), QStringLiteral("OK"), &TfrmKeloEditorOptions::BtOkClick);
    BtOk->setDefault(true);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBoxOptions, 1);
    layout->addWidget(bottomPanel(QStringLiteral("PnBottom"), {BtDefault}, {BtCancel, BtOk}));
    return page;
}

QWidget *TfrmKeloEditorOptions::createHotkeysPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsHotkeys"));
    LKeysTodo = new QLabel(QStringLiteral("folgt in Kürze...."), page);
    LKeysTodo->setObjectName(QStringLiteral("LKeysTodo"));
    BtOkKeys = button(QStringLiteral("BtOkKeys"), QStringLiteral("OK"), &TfrmKeloEditorOptions::BtCancelClick);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(LKeysTodo, 1, Qt::AlignCenter);
    layout->addWidget(bottomPanel(QStringLiteral("PnBottomKeys"), {}, {BtOkKeys}));
    return page;
}

QWidget *TfrmKeloEditorOptions::createAboutPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsAboutSynedit"));
    Memo = new QPlainTextEdit(QString::fromUtf8(AboutText), page);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    const auto link = [this, page](const QString &name, const QString &url, const QString &text) {
        auto *label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(url, text), page);
        label->setObjectName(name);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(label, &QLabel::linkActivated, this, &TfrmKeloEditorOptions::LinkLabelAbout1LinkClick);
        return label;
    };
    LinkLabelAbout1 = link(QStringLiteral("LinkLabelAbout1"),
                           QStringLiteral("https://www.riverbankcomputing.com/software/qscintilla/"),
                           QStringLiteral("QScintilla Home Page"));
    LinkLabelAbout2 = link(QStringLiteral("LinkLabelAbout2"), QStringLiteral("https://www.scintilla.org/"),
                           QStringLiteral("Scintilla Projekt Seite"));
    BtOkAbout = button(QStringLiteral("BtOkAbout"), QStringLiteral("OK"), &TfrmKeloEditorOptions::BtCancelClick);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Memo, 1);
    layout->addWidget(LinkLabelAbout1);
    layout->addWidget(LinkLabelAbout2);
    layout->addWidget(bottomPanel(QStringLiteral("PnBottomAbout"), {}, {BtOkAbout}));
    return page;
}

void TfrmKeloEditorOptions::setEditor(TMemoCode *editor)
{
    iEditor = editor;
    if (iEditor)
        Load(iEditor->Options());
}

void TfrmKeloEditorOptions::Load(TSynEditorOptions options)
{
    for (auto it = Options.constBegin(); it != Options.constEnd(); ++it)
        it.value()->setChecked(options & it.key());
}

void TfrmKeloEditorOptions::BtDefaultClick() { Load(SynEditorDefaultOptions); }

// Cancel, the OK buttons of the other pages and Esc: hide, the editor stays as it is.
void TfrmKeloEditorOptions::BtCancelClick() { hide(); }

void TfrmKeloEditorOptions::BtOkClick()
{
    TSynEditorOptions options = iEditor ? iEditor->Options() : SynEditorDefaultOptions;
    for (auto it = Options.constBegin(); it != Options.constEnd(); ++it)
        options.setFlag(it.key(), it.value()->isChecked());
    writeSettings(options);
    if (iEditor) {
        iEditor->setOptions(options);
        iEditor->Invalidate();
    }
    hide();
}

// All 27 keys as 1/0; a settings file that cannot be written is reported, and
// the choice still reaches the editor.
void TfrmKeloEditorOptions::writeSettings(TSynEditorOptions options)
{
    try {
        TIniFile ini(SettingsFileName());
        for (int bit = 0; bit < SynEditorOptionCount; ++bit)
            ini.WriteBool(QString::fromLatin1(SectionEditor), QString::fromLatin1(EditorOptionInfos[bit].ident),
                          options & optionOfBit(bit));
        ini.UpdateFile();
    } catch (const TIniWriteError &error) {
        Dialogs().message(this, TDlgKind::Error, QString(), SettingsWriteErrorText(error.Path));
    }
}

void TfrmKeloEditorOptions::LinkLabelAbout1LinkClick(const QString &link) { QDesktopServices::openUrl(QUrl(link)); }

// Centred on the main window the first time it is shown.
void TfrmKeloEditorOptions::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (iPlaced || !parentWidget())
        return;
    iPlaced = true;
    const QRect owner = parentWidget()->window()->frameGeometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));
}

void TfrmKeloIDE::AcEditorOptionsExecute()
{
    auto *frm = findChild<TfrmKeloEditorOptions *>(QString(), Qt::FindDirectChildrenOnly);
    if (!frm)
        frm = new TfrmKeloEditorOptions(this);
    frm->setEditor(MemoCode);
    ShowOrRaise(frm);
}
