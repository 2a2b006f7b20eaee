#include "ide/fDlgSearchText.h"

#include "ide/uDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int HistoryLimit = 10;

QGroupBox *RadioGroup(const QString &title, QRadioButton *&first, const QString &firstText, QRadioButton *&second,
                      const QString &secondText)
{
    auto *group = new QGroupBox(title);
    first = new QRadioButton(firstText, group);
    second = new QRadioButton(secondText, group);
    first->setChecked(true);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(first);
    layout->addWidget(second);
    return group;
}
} // namespace

TTextSearchDialog::TTextSearchDialog(QWidget *owner) : QDialog(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Suchen"));
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    Label1 = new QLabel(QStringLiteral("&Suchen nach:"));
    cbSearchText = NewHistoryBox();
    Label1->setBuddy(cbSearchText);
    TextRows = new QGridLayout;
    TextRows->addWidget(Label1, 0, 0);
    TextRows->addWidget(cbSearchText, 0, 1);

    rgSearchDirection = RadioGroup(QStringLiteral("Richtung"), rbForward, QStringLiteral("Vorwärts"), rbBackward,
                                   QStringLiteral("Rückwärts"));
    gbSearchOptions = new QGroupBox(QStringLiteral("Optionen"));
    cbSearchCaseSensitive = new QCheckBox(QStringLiteral("Groß-/Kleinschreibung"));
    cbSearchWholeWords = new QCheckBox(QStringLiteral("Nur ganze Wörter"));
    cbRegularExpression = new QCheckBox(QStringLiteral("Regular expression"));
    cbRegularExpression->setToolTip(
        QStringLiteral("Reguläre Ausdrücke in der Schreibweise von ECMAScript (C++11 std::regex),\n"
                       "z. B. a|b, \\d+, [A-Z]\\w*, (\\w+)\\s*=; ein Treffer reicht nie über das Zeilenende."));
    auto *options = new QVBoxLayout(gbSearchOptions);
    options->addWidget(cbSearchCaseSensitive);
    options->addWidget(cbSearchWholeWords);
    options->addWidget(cbRegularExpression);

    rGroupBegin = RadioGroup(QStringLiteral("Beginn"), rbFromStart, QStringLiteral("Textanfang"), rbFromCursor,
                             QStringLiteral("Ab Cursor"));
    rGroupScope = RadioGroup(QStringLiteral("Bereich"), rbWholeText, QStringLiteral("Gesamter Text"), rbSelectedText,
                             QStringLiteral("Markierter Text"));

    btnOK = new QPushButton(QStringLiteral("OK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Abbrechen"));
    connect(btnOK, &QPushButton::clicked, this, &TTextSearchDialog::onOk);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *groups = new QGridLayout;
    groups->addWidget(gbSearchOptions, 0, 0);
    groups->addWidget(rgSearchDirection, 0, 1);
    groups->addWidget(rGroupBegin, 1, 0);
    groups->addWidget(rGroupScope, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(TextRows);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TTextSearchDialog::SearchBackwards() const { return rbBackward->isChecked(); }
void TTextSearchDialog::setSearchBackwards(bool value) { (value ? rbBackward : rbForward)->setChecked(true); }
bool TTextSearchDialog::SearchCaseSensitive() const { return cbSearchCaseSensitive->isChecked(); }
void TTextSearchDialog::setSearchCaseSensitive(bool value) { cbSearchCaseSensitive->setChecked(value); }
bool TTextSearchDialog::SearchFromCursor() const { return rbFromCursor->isChecked(); }
void TTextSearchDialog::setSearchFromCursor(bool value) { (value ? rbFromCursor : rbFromStart)->setChecked(true); }
bool TTextSearchDialog::SearchInSelectionOnly() const { return rbSelectedText->isChecked(); }
void TTextSearchDialog::setSearchInSelectionOnly(bool value)
{
    (value ? rbSelectedText : rbWholeText)->setChecked(true);
}
bool TTextSearchDialog::SearchRegularExpression() const { return cbRegularExpression->isChecked(); }
void TTextSearchDialog::setSearchRegularExpression(bool value) { cbRegularExpression->setChecked(value); }
bool TTextSearchDialog::SearchWholeWords() const { return cbSearchWholeWords->isChecked(); }
void TTextSearchDialog::setSearchWholeWords(bool value) { cbSearchWholeWords->setChecked(value); }
QString TTextSearchDialog::SearchText() const { return cbSearchText->currentText(); }
// Selected, so that typing replaces the proposal.
void TTextSearchDialog::setSearchText(const QString &text)
{
    cbSearchText->setEditText(text);
    cbSearchText->lineEdit()->selectAll();
}

QString TTextSearchDialog::SearchTextHistory() const { return HistoryText(cbSearchText); }

void TTextSearchDialog::setSearchTextHistory(const QString &history) { SetHistory(cbSearchText, history); }

QComboBox *TTextSearchDialog::NewHistoryBox()
{
    auto *box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(260);
    // The history is ours to order; never complete a typed text from it.
    box->setCompleter(nullptr);
    return box;
}

void TTextSearchDialog::SetHistory(QComboBox *box, const QString &history)
{
    const QString text = box->currentText();
    box->clear();
    box->addItems(HistoryEntries(history));
    box->setEditText(text);
}

QStringList TTextSearchDialog::HistoryEntries(const QString &history)
{
    if (history.isEmpty())
        return {};
    return history.split(QStringLiteral("\r\n")).mid(0, HistoryLimit);
}

QString TTextSearchDialog::HistoryText(const QComboBox *box)
{
    QStringList entries;
    for (int i = 0; i < box->count() && i < HistoryLimit; ++i)
        entries.append(box->itemText(i));
    return entries.join(QStringLiteral("\r\n"));
}

void TTextSearchDialog::MoveToTop(QComboBox *box, const QString &text)
{
    if (text.isEmpty())
        return;
    const int found = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        box->removeItem(found);
    box->insertItem(0, text);
    box->setEditText(text);
}

void TTextSearchDialog::UpdateHistories() { MoveToTop(cbSearchText, cbSearchText->currentText()); }

void TTextSearchDialog::onOk()
{
    UpdateHistories();
    accept();
}

bool TDialogs::execSearchDialog(TTextSearchDialog &dialog) { return dialog.exec() == QDialog::Accepted; }
