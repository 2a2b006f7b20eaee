#include "ide/fDlgReplaceText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

TTextReplaceDialog::TTextReplaceDialog(QWidget *owner) : TTextSearchDialog(owner)
{
    setWindowTitle(QStringLiteral("Suchen und Ersetzen"));
    cbSearchWholeWords->setText(QStringLiteral("Ganze Wörter"));
    rbForward->setText(QStringLiteral("&Vorwärts"));
    rbBackward->setText(QStringLiteral("&Rückwärts"));

    Label2 = new QLabel(QStringLiteral("E&rsetzen mit:"));
    cbReplaceText = NewHistoryBox();
    Label2->setBuddy(cbReplaceText);
    TextRows->addWidget(Label2, 1, 0);
    TextRows->addWidget(cbReplaceText, 1, 1);
    setTabOrder(cbSearchText, cbReplaceText);
}

QString TTextReplaceDialog::ReplaceText() const { return cbReplaceText->currentText(); }
void TTextReplaceDialog::setReplaceText(const QString &text) { cbReplaceText->setEditText(text); }
QString TTextReplaceDialog::ReplaceTextHistory() const { return HistoryText(cbReplaceText); }

void TTextReplaceDialog::setReplaceTextHistory(const QString &history) { SetHistory(cbReplaceText, history); }

void TTextReplaceDialog::UpdateHistories()
{
    TTextSearchDialog::UpdateHistories();
    MoveToTop(cbReplaceText, cbReplaceText->currentText());
}
