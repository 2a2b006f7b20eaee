// The search, replace and confirmation dialogs: histories, options and the
// placement of the confirmation next to the found line.
#include "ide/fDlgConfirmReplace.h"
#include "ide/fDlgReplaceText.h"
#include "tests/support/Printers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {
// Confirms the dialog with text as if typed and OK pressed.
void ConfirmWith(TTextSearchDialog &dialog, const QString &text)
{
    dialog.setSearchText(text);
    dialog.btnOK->click();
}
} // namespace

TEST(SearchHistory, KeepsTheTenMostRecentTextsMostRecentFirst)
{
    QString history;
    for (int i = 1; i <= 11; ++i) {
        TTextSearchDialog dialog(nullptr);
        dialog.setSearchTextHistory(history);
        ConfirmWith(dialog, QStringLiteral("text%1").arg(i));
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        history = dialog.SearchTextHistory();
    }
    const QStringList entries = history.split("\r\n");
    ASSERT_EQ(entries.size(), 10);
    EXPECT_EQ(entries.first(), "text11");
    EXPECT_EQ(entries.last(), "text2");
}

TEST(SearchHistory, AnEnteredTextMovesToTheTopOnce)
{
    TTextSearchDialog dialog(nullptr);
    dialog.setSearchTextHistory("eins\r\nzwei\r\ndrei");
    ConfirmWith(dialog, "drei");
    EXPECT_EQ(dialog.SearchTextHistory(), "drei\r\neins\r\nzwei");
    EXPECT_EQ(dialog.SearchText(), "drei");
    // Exact comparison: another letter case is another text.
    TTextSearchDialog second(nullptr);
    second.setSearchTextHistory(dialog.SearchTextHistory());
    ConfirmWith(second, "Drei");
    EXPECT_EQ(second.SearchTextHistory(), "Drei\r\ndrei\r\neins\r\nzwei");
}

TEST(SearchHistory, EmptyTextsAndCancelLeaveTheListAlone)
{
    TTextSearchDialog dialog(nullptr);
    dialog.setSearchTextHistory("eins\r\nzwei");
    ConfirmWith(dialog, "");
    EXPECT_EQ(dialog.SearchTextHistory(), "eins\r\nzwei");

    TTextSearchDialog cancelled(nullptr);
    cancelled.setSearchTextHistory("eins");
    cancelled.setSearchText("neu");
    cancelled.btnCancel->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.SearchTextHistory(), "eins");
}

TEST(SearchHistory, WritingAHistoryKeepsTheTypedTextAndAtMostTenEntries)
{
    TTextSearchDialog dialog(nullptr);
    dialog.setSearchText("Schaf");
    dialog.setSearchTextHistory("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11");
    EXPECT_EQ(dialog.SearchText(), "Schaf");
    EXPECT_EQ(dialog.cbSearchText->count(), 10);
}

TEST(ReplaceDialog, KeepsBothHistoriesAndItsOwnCaptions)
{
    TTextReplaceDialog dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Suchen und Ersetzen");
    EXPECT_EQ(dialog.cbSearchWholeWords->text(), "Ganze Wörter");
    EXPECT_EQ(dialog.rbForward->text(), "&Vorwärts");
    EXPECT_EQ(dialog.Label2->text(), "E&rsetzen mit:");
    dialog.setSearchTextHistory("alt");
    dialog.setReplaceTextHistory("neu\r\nalt");
    dialog.setReplaceText("alt");
    ConfirmWith(dialog, "x");
    EXPECT_EQ(dialog.SearchTextHistory(), "x\r\nalt");
    EXPECT_EQ(dialog.ReplaceTextHistory(), "alt\r\nneu");
    EXPECT_EQ(dialog.ReplaceText(), "alt");
}

TEST(SearchDialog, OptionsMapOntoTheSecondItemOfEachGroup)
{
    TTextSearchDialog dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Suchen");
    EXPECT_FALSE(dialog.SearchBackwards() || dialog.SearchFromCursor() || dialog.SearchInSelectionOnly());
    dialog.setSearchBackwards(true);
    dialog.setSearchFromCursor(true);
    dialog.setSearchInSelectionOnly(true);
    EXPECT_TRUE(dialog.rbBackward->isChecked() && !dialog.rbForward->isChecked());
    EXPECT_TRUE(dialog.rbFromCursor->isChecked() && !dialog.rbFromStart->isChecked());
    EXPECT_TRUE(dialog.rbSelectedText->isChecked() && !dialog.rbWholeText->isChecked());
    dialog.setSearchBackwards(false);
    EXPECT_TRUE(dialog.rbForward->isChecked());
    EXPECT_FALSE(dialog.cbRegularExpression->toolTip().isEmpty());
}

TEST(ConfirmReplacePlacement, GoesBelowALineInTheUpperTwoThirdsAndAboveOtherwise)
{
    const QRect area(100, 50, 900, 600); // threshold 50 + 400 = 450
    const QSize dialog(336, 124);
    EXPECT_EQ(TConfirmReplaceDialog::PlacementFor(area, dialog, 300, 430, 450), QPoint(300, 454));
    EXPECT_EQ(TConfirmReplaceDialog::PlacementFor(area, dialog, 300, 440, 451), QPoint(300, 440 - 124 - 4));
}

TEST(ConfirmReplacePlacement, StaysInsideTheAreaHorizontally)
{
    const QRect area(100, 50, 900, 600); // right edge 1000, exclusive
    const QSize dialog(336, 124);
    EXPECT_EQ(TConfirmReplaceDialog::PlacementFor(area, dialog, 700, 60, 74).x(), 664);
    EXPECT_EQ(TConfirmReplaceDialog::PlacementFor(area, dialog, 664, 60, 74).x(), 664);
    // A dialog wider than the area is centred on it.
    EXPECT_EQ(TConfirmReplaceDialog::PlacementFor(QRect(100, 50, 300, 600), dialog, 150, 60, 74).x(), 82);
}

TEST(ConfirmReplaceDialog, AsksAboutTheTextAndIsSharedUntilDestroyed)
{
    TConfirmReplaceDialog *dialog = TConfirmReplaceDialog::Instance();
    EXPECT_EQ(TConfirmReplaceDialog::Instance(), dialog);
    dialog->PrepareShow(QRect(0, 0, 800, 600), 10, 20, 34, "Schaf");
    EXPECT_EQ(dialog->lblConfirmation->text(), "Dieses Vorkommen von \"Schaf\" ersetzen?");
    EXPECT_EQ(dialog->size(), QSize(328, 98));
    dialog->btnReplaceAll->click();
    EXPECT_EQ(dialog->result(), TConfirmReplaceDialog::YesToAll);
    delete dialog;
    EXPECT_NE(TConfirmReplaceDialog::Instance(), nullptr);
}
