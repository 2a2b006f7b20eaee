// Searching and replacing in the window's editor: the dialog's proposals, F3
// and Shift+F3 with wrap-around, the three messages, the replace question's
// answers and the enabled states of the actions.
#include "ide/fDlgReplaceText.h"
#include "test_files_window.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString Text = QStringLiteral("gras schaf gras\nbaum\ngras ende");

class Search : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        editor().setLines(Text.split('\n'));
    }
    // The dialog as the user leaves it: text and options, then OK.
    void DialogSearch(const QString &text, bool fromCursor = false, bool backwards = false)
    {
        dialogs.searchDialog = [=](TTextSearchDialog &dialog) {
            dialog.setSearchText(text);
            dialog.setSearchFromCursor(fromCursor);
            dialog.setSearchBackwards(backwards);
            dialog.btnOK->click();
            return true;
        };
        window->AcFindExecute();
    }
    // A search from the start with one more option ticked.
    void DialogSearchWith(const QString &text, void (TTextSearchDialog::*option)(bool))
    {
        dialogs.searchDialog = [=](TTextSearchDialog &dialog) {
            dialog.setSearchText(text);
            (dialog.*option)(true);
            dialog.btnOK->click();
            return true;
        };
        window->AcFindExecute();
    }
    void Replace(const QString &search, const QString &replacement)
    {
        dialogs.searchDialog = [=](TTextSearchDialog &dialog) {
            dialog.setSearchText(search);
            static_cast<TTextReplaceDialog &>(dialog).setReplaceText(replacement);
            dialog.btnOK->click();
            return true;
        };
        window->AcFindReplaceExecute();
    }
    TBufferCoord Found() const { return window->editor()->BlockBegin(); }
};
} // namespace

TEST_F(Search, TheDialogProposesTheOneLineSelectionElseTheLastTextElseTheWordAtTheCaret)
{
    QString proposed;
    dialogs.searchDialog = [&](TTextSearchDialog &dialog) {
        proposed = dialog.SearchText();
        return false;
    };
    editor().setCaretXY({8, 1});
    window->AcFindExecute();
    EXPECT_EQ(proposed, "schaf");
    editor().setSelection({1, 2}, {3, 2});
    window->AcFindExecute();
    EXPECT_EQ(proposed, "ba");
    window->gsSearchText = "ende";
    editor().setSelection({1, 1}, {3, 2});
    window->AcFindExecute();
    EXPECT_EQ(proposed, "ende");
}

TEST_F(Search, ADialogSearchFromTheStartFindsTheFirstOccurrence)
{
    editor().setCaretXY({1, 3});
    DialogSearch("gras");
    EXPECT_EQ(Found(), (TBufferCoord{1, 1}));
    EXPECT_EQ(editor().SelText(), "gras");
    EXPECT_FALSE(window->quickSearch);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(window->gsSearchTextHistory, "gras");
}

TEST_F(Search, F3ContinuesFromTheCaretAndWrapsAroundSilently)
{
    DialogSearch("gras");
    window->AcFindNext->trigger();
    EXPECT_EQ(Found(), (TBufferCoord{12, 1}));
    EXPECT_TRUE(window->quickSearch);
    window->AcFindNext->trigger();
    EXPECT_EQ(Found(), (TBufferCoord{1, 3}));
    window->AcFindNext->trigger();
    EXPECT_EQ(Found(), (TBufferCoord{1, 1}));
    window->AcFindPrev->trigger();
    EXPECT_EQ(Found(), (TBufferCoord{1, 3}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(Search, F3SearchesForTheSelectedTextAndReportsWhenItIsNowhere)
{
    editor().setSelection({1, 2}, {5, 2});
    window->AcFindNext->trigger();
    EXPECT_EQ(window->gsSearchText, "baum");
    EXPECT_EQ(Found(), (TBufferCoord{1, 2})) << "the only occurrence, found again after wrapping";
    EXPECT_TRUE(dialogs.shown.isEmpty());

    window->gsSearchText = "wolf";
    editor().setCaretXY({3, 2});
    window->AcFindNext->trigger();
    ASSERT_EQ(dialogs.texts(), QStringList{"Suchtext nicht gefunden!"});
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Information);
    EXPECT_FALSE(editor().SelAvail());
}

TEST_F(Search, FromTheCaretTheEndsOfTheDocumentAreReported)
{
    editor().setCaretXY({2, 3});
    DialogSearch("schaf", true);
    DialogSearch("baum", true, true);
    EXPECT_EQ(Found(), (TBufferCoord{1, 2}));
    editor().setCaretXY({1, 1});
    DialogSearch("baum", true, true);
    DialogSearch("nirgends");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Ende des Dokuments erreicht!", "Anfang des Dokuments erreicht!",
                                            "Suchtext nicht gefunden!"}));
}

TEST_F(Search, NotFoundCollapsesTheSelectionTowardsTheSearchDirection)
{
    editor().setSelection({1, 2}, {5, 2});
    window->gsSearchText = "gras";
    DialogSearch("wolf", true);
    EXPECT_FALSE(editor().SelAvail());
    EXPECT_EQ(editor().CaretXY(), (TBufferCoord{5, 2}));
    editor().setSelection({1, 2}, {5, 2});
    DialogSearch("wolf", true, true);
    EXPECT_EQ(editor().CaretXY(), (TBufferCoord{1, 2}));
}

TEST_F(Search, CancelAndEmptyTextsSearchNothingAndStoreNothing)
{
    dialogs.searchDialog = [](TTextSearchDialog &dialog) {
        dialog.setSearchText("gras");
        dialog.setSearchFromCursor(true);
        return false;
    };
    window->AcFindExecute();
    EXPECT_EQ(window->gsSearchText, "");
    EXPECT_FALSE(window->gbSearchFromCaret);
    editor().setCaretXY({1, 2});
    DialogSearch("");
    EXPECT_EQ(editor().CaretXY(), (TBufferCoord{1, 2}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(Search, TheSearchHistoryKeepsTenTextsAcrossDialogs)
{
    for (int i = 1; i <= 11; ++i)
        DialogSearch(QStringLiteral("wort%1").arg(i));
    DialogSearch("wort5");
    const QStringList history = window->gsSearchTextHistory.split("\r\n");
    EXPECT_EQ(history.size(), 10);
    EXPECT_EQ(history.first(), "wort5");
    EXPECT_EQ(history.count("wort5"), 1);
    EXPECT_FALSE(history.contains("wort1"));
}

TEST_F(Search, FindNextIsEnabledByASearchTextOrAOneLineSelection)
{
    window->AcFindNextUpdate();
    EXPECT_FALSE(window->AcFindNext->isEnabled());
    EXPECT_FALSE(window->AcFindPrev->isEnabled());
    editor().setSelection({1, 1}, {2, 2});
    window->AcFindNextUpdate();
    EXPECT_FALSE(window->AcFindNext->isEnabled());
    editor().setSelection({1, 1}, {3, 1});
    window->AcFindNextUpdate();
    EXPECT_TRUE(window->AcFindPrev->isEnabled());
    editor().setCaretXY({1, 1});
    window->gsSearchText = "gras";
    window->AcFindNextUpdate();
    EXPECT_TRUE(window->AcFindNext->isEnabled());
}

TEST_F(Search, ReplacingIsOffWhileTheEditorIsReadOnlyAndSearchingStaysOn)
{
    editor().setReadOnly(true);
    window->AcFindReplaceUpdate();
    EXPECT_FALSE(window->AcFindReplace->isEnabled());
    EXPECT_TRUE(window->AcFind->isEnabled());
    editor().setReadOnly(false);
    window->AcFindReplaceUpdate();
    EXPECT_TRUE(window->AcFindReplace->isEnabled());
}

TEST_F(Search, ReplacingIsOffDuringARun)
{
    editor().setLines({"int a = 1;", "a = 2;", "a = 3;"});
    window->AcStepExecute();
    ASSERT_TRUE(window->IsRunning());
    EXPECT_FALSE(window->AcFindReplace->isEnabled());
    EXPECT_TRUE(window->AcFind->isEnabled());
    window->StopProgram();
    EXPECT_FALSE(window->IsRunning());
    EXPECT_FALSE(editor().isReadOnly());
    EXPECT_TRUE(window->AcFindReplace->isEnabled());
}

TEST_F(Search, RegularExpressionsAreECMAScriptWithGroupsInTheReplacement)
{
    dialogs.searchDialog = [](TTextSearchDialog &dialog) {
        dialog.setSearchText("(baum|ende)");
        dialog.setSearchRegularExpression(true);
        static_cast<TTextReplaceDialog &>(dialog).setReplaceText("[\\1]");
        dialog.btnOK->click();
        return true;
    };
    dialogs.replaceAnswers = {TDlgAnswer::YesToAll};
    window->AcFindReplaceExecute();
    EXPECT_EQ(editor().Lines().join('\n'), "gras schaf gras\n[baum]\ngras [ende]");
}

TEST_F(Search, ReplacingWithTheSameTextAsksNothingAndChangesNothing)
{
    Replace("gras", "gras");
    EXPECT_TRUE(dialogs.replaceQuestions.isEmpty());
    EXPECT_EQ(editor().Lines().join('\n'), Text);
}

TEST_F(Search, TheReplaceQuestionsAnswersSkipReplaceAndStop)
{
    dialogs.replaceAnswers = {TDlgAnswer::No, TDlgAnswer::Yes, TDlgAnswer::Cancel};
    Replace("gras", "klee");
    EXPECT_EQ(dialogs.replaceQuestions, (QStringList{"gras", "gras", "gras"}));
    EXPECT_EQ(editor().Lines().join('\n'), "gras schaf klee\nbaum\ngras ende");
}

TEST_F(Search, YesToAllReplacesTheRestWithoutAsking)
{
    dialogs.replaceAnswers = {TDlgAnswer::No, TDlgAnswer::YesToAll};
    Replace("gras", "klee");
    EXPECT_EQ(dialogs.replaceQuestions.size(), 2);
    EXPECT_EQ(editor().Lines().join('\n'), "gras schaf klee\nbaum\nklee ende");
    EXPECT_EQ(window->gsReplaceTextHistory, "klee");
}

// After a search in the selection the selection is the hit; F3 goes on from it.
TEST_F(Search, F3AfterASearchInTheSelectionMovesOn)
{
    editor().setSelection({1, 1}, {5, 3});
    DialogSearchWith("gras", &TTextSearchDialog::setSearchInSelectionOnly);
    EXPECT_EQ(Found(), (TBufferCoord{1, 1}));
    for (TBufferCoord next : {TBufferCoord{12, 1}, TBufferCoord{1, 3}}) {
        window->AcFindNext->trigger();
        EXPECT_EQ(Found(), next);
    }
}

TEST_F(Search, ABrokenRegularExpressionIsReportedAsSuch)
{
    DialogSearchWith("(gras", &TTextSearchDialog::setSearchRegularExpression);
    window->AcFindNext->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList(2, "Ungültiger regulärer Ausdruck"));
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Error);
}

// No key reaches the editor when the dialog's OK button starts the search.
TEST_F(Search, TheStatusBarShowsTheHitOfADialogSearch)
{
    editor().setCaretXY({1, 1});
    window->UpdateCaretInfo();
    DialogSearch("ende");
    EXPECT_EQ(window->statusText(3), "Zeile      3");
    EXPECT_EQ(window->statusText(4), "Spalte  10 ");
}

TEST_F(Search, TheProposedSearchTextIsSelectedSoThatTypingReplacesIt)
{
    QString typedOver;
    dialogs.searchDialog = [&](TTextSearchDialog &dialog) {
        dialog.show();
        dialog.cbSearchText->setFocus();
        QTest::keyClicks(dialog.cbSearchText, "baum");
        typedOver = dialog.SearchText();
        return false;
    };
    editor().setCaretXY({8, 1});
    for (QAction *command : {window->AcFind, window->AcFindReplace}) {
        command->trigger();
        EXPECT_EQ(typedOver, "baum") << command->text().toStdString();
    }
}
