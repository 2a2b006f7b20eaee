// The editor's behaviour options and its highlighter.
#include "editor/MemoCode.h"
#include "editor/SynGeneralSyn.h"
#include "parser/uKeloLines.h"
#include "tests/support/Printers.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {
class OptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ed.resize(500, 300);
        ed.show();
    }
    void only(TSynEditorOptions on) { ed.setOptions(on); }
    TMemoCode ed;
};
} // namespace

TEST_F(OptionsTest, TabInsertsSpacesOrATabCharacter)
{
    ed.setLines({QString()});
    QTest::keyClick(&ed, Qt::Key_Tab);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("   ")); // tab width 3

    ed.setOptions(SynEditorDefaultOptions & ~TSynEditorOptions(eoTabsToSpaces));
    ed.setLines({QString()});
    QTest::keyClick(&ed, Qt::Key_Tab);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("\t"));
}

TEST_F(OptionsTest, HomeAndEndKeysFollowTheirOptions)
{
    ed.setLines({QStringLiteral("   abc   ")});
    ed.setCaretXY({6, 1});
    QTest::keyClick(&ed, Qt::Key_Home);
    EXPECT_EQ(ed.CaretX(), 1);
    QTest::keyClick(&ed, Qt::Key_End);
    EXPECT_EQ(ed.CaretX(), 7); // after the last non-blank
    QTest::keyClick(&ed, Qt::Key_End);
    EXPECT_EQ(ed.CaretX(), 10); // then the line's end
    QTest::keyClick(&ed, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(ed.SelText(), QStringLiteral("   abc   "));

    only(SynEditorDefaultOptions | eoEnhanceHomeKey);
    ed.setCaretXY({6, 1});
    QTest::keyClick(&ed, Qt::Key_Home);
    EXPECT_EQ(ed.CaretX(), 4); // first non-blank
}

TEST_F(OptionsTest, TrailingBlanksOfAnEditedLineAreTrimmedWhenTheCaretLeavesIt)
{
    ed.setLines({QStringLiteral("a"), QStringLiteral("kept  ")});
    ed.setCaretXY({2, 1});
    QTest::keyClicks(&ed, QStringLiteral("b  "));
    EXPECT_EQ(ed.LineText(1), QStringLiteral("ab  "));
    QTest::keyClick(&ed, Qt::Key_Down);
    QTest::keyClick(&ed, Qt::Key_Up);
    EXPECT_EQ(ed.Lines(), (QStringList{QStringLiteral("ab"), QStringLiteral("kept  ")}));

    only(SynEditorDefaultOptions & ~TSynEditorOptions(eoTrimTrailingSpaces));
    ed.setCaretXY({3, 1});
    QTest::keyClicks(&ed, QStringLiteral("  "));
    QTest::keyClick(&ed, Qt::Key_Down);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("ab  "));
}

TEST_F(OptionsTest, UndoGroupsTypingOnlyWithGroupUndo)
{
    ed.setLines({QString()});
    QTest::keyClicks(&ed, QStringLiteral("ab"));
    ed.undo();
    EXPECT_EQ(ed.LineText(1), QString());

    only(SynEditorDefaultOptions & ~TSynEditorOptions(eoGroupUndo));
    ed.setLines({QString()});
    QTest::keyClicks(&ed, QStringLiteral("ab"));
    ed.undo();
    EXPECT_EQ(ed.LineText(1), QStringLiteral("a"));
}

TEST_F(OptionsTest, NewLinesAreIndentedLikeThePreviousOne)
{
    ed.setLines({QStringLiteral("   IF x")});
    ed.setCaretXY({8, 1});
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{4, 2}));

    only(SynEditorDefaultOptions & ~TSynEditorOptions(eoAutoIndent));
    ed.setCaretXY({8, 1});
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{1, 2}));
}

TEST_F(OptionsTest, SmartTabsJumpBelowTheNextWordOfTheLineAbove)
{
    only(SynEditorDefaultOptions | eoSmartTabs);
    ed.setLines({QStringLiteral("int   x = 5"), QString(), QString()});
    ed.setCaretXY({1, 3});
    QTest::keyClick(&ed, Qt::Key_Tab);
    EXPECT_EQ(ed.CaretX(), 7);
    QTest::keyClick(&ed, Qt::Key_Tab);
    EXPECT_EQ(ed.CaretX(), 9);
}

TEST_F(OptionsTest, SmartTabDeleteGoesBackToAnOuterIndentation)
{
    only(SynEditorDefaultOptions | eoSmartTabDelete);
    ed.setLines({QStringLiteral("a"), QStringLiteral("  b"), QStringLiteral("      c")});
    ed.setCaretXY({7, 3});
    QTest::keyClick(&ed, Qt::Key_Backspace);
    EXPECT_EQ(ed.LineText(3), QStringLiteral("  c"));
    QTest::keyClick(&ed, Qt::Key_Backspace);
    EXPECT_EQ(ed.LineText(3), QStringLiteral("c"));
    ed.setCaretXY({2, 1});
    QTest::keyClick(&ed, Qt::Key_Backspace); // not in leading blanks: one character
    EXPECT_EQ(ed.LineText(1), QString());
}

TEST_F(OptionsTest, TabIndentsASelectionWithinOneLine)
{
    ed.setLines({QStringLiteral("abc def")});
    ed.setSelection({1, 1}, {4, 1});
    QTest::keyClick(&ed, Qt::Key_Tab);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("   abc def"));
    QTest::keyClick(&ed, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("abc def"));

    only(SynEditorDefaultOptions & ~TSynEditorOptions(eoTabIndent));
    ed.setSelection({1, 1}, {4, 1});
    QTest::keyClick(&ed, Qt::Key_Tab);
    EXPECT_EQ(ed.LineText(1), QStringLiteral("    def"));
}

TEST_F(OptionsTest, HalfPageScrollMovesTheCaretByHalfAPageLessOne)
{
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QString::number(i);
    ed.setLines(lines);
    const int screen = int(ed.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    only(SynEditorDefaultOptions | eoHalfPageScroll);
    QTest::keyClick(&ed, Qt::Key_PageDown);
    EXPECT_EQ(ed.CaretY(), 1 + screen / 2 - 1);
    QTest::keyClick(&ed, Qt::Key_PageUp);
    EXPECT_EQ(ed.CaretY(), 1);
}

TEST_F(OptionsTest, SelectionCaretAndScrollingOptionsReachTheComponent)
{
    only(SynEditorDefaultOptions | eoNoSelection | eoNoCaret | eoScrollPastEof);
    ed.setLines({QStringLiteral("abc")});
    ed.setSelection({1, 1}, {3, 1});
    EXPECT_FALSE(ed.SelAvail());
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETCARETSTYLE), QsciScintillaBase::CARETSTYLE_INVISIBLE);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETENDATLASTLINE), 0);

    only(SynEditorDefaultOptions);
    ed.setSelection({1, 1}, {3, 1});
    EXPECT_TRUE(ed.SelAvail());
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETENDATLASTLINE), 1);
}

TEST_F(OptionsTest, KeepCaretXDecidesWhetherTheCaretReturnsToItsColumnAfterAShortLine)
{
    const TSynEditorOptions base = SynEditorDefaultOptions & ~TSynEditorOptions(eoScrollPastEol | eoKeepCaretX);
    for (const bool pastEol : {false, true})
        for (const bool keep : {false, true}) {
            only(base | (pastEol ? eoScrollPastEol : TSynEditorOption(0)) |
                 (keep ? eoKeepCaretX : TSynEditorOption(0)));
            ed.setLines({QStringLiteral("abcdefghij"), QStringLiteral("ab"), QStringLiteral("abcdefghij")});
            ed.setCaretXY({9, 1});
            QList<int> columns; // on the short line, below it, on it again, back on top
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up}) {
                QTest::keyClick(&ed, key);
                columns.append(ed.CaretX());
            }
            const int after = keep ? 9 : 3, onShortLine = pastEol ? after : 3;
            EXPECT_EQ(columns, QList<int>({onShortLine, after, onShortLine, after}))
                << "KeepCaretX " << keep << ", ScrollPastEol " << pastEol;
            EXPECT_EQ(ed.CaretY(), 1);
        }
}

// The pixels of one arrow button of a scroll bar.
static QImage arrowPixels(QScrollBar *bar, QStyle::SubControl arrow)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    return bar->grab(bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar)).toImage();
}

TEST_F(OptionsTest, DisableScrollArrowsGreysAnArrowOnlyWhileItsDirectionIsAtItsEnd)
{
    ed.setLines(QStringList(100, QString(300, u'x')));
    QScrollBar *bar = ed.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 2);
    for (const int value : {bar->minimum(), bar->maximum() / 2, bar->maximum()}) {
        bar->setValue(value);
        only(SynEditorDefaultOptions);
        const QImage up = arrowPixels(bar, QStyle::SC_ScrollBarSubLine);
        const QImage down = arrowPixels(bar, QStyle::SC_ScrollBarAddLine);
        only(SynEditorDefaultOptions | eoDisableScrollArrows);
        EXPECT_EQ(arrowPixels(bar, QStyle::SC_ScrollBarSubLine) != up, value == bar->minimum())
            << "up arrow greyed at " << value;
        EXPECT_EQ(arrowPixels(bar, QStyle::SC_ScrollBarAddLine) != down, value == bar->maximum())
            << "down arrow greyed at " << value;
    }
}

// Every line as painted: green exactly from where the parser cuts the comment.
static void expectCommentsCutAsTheParserDoes(TMemoCode &ed, const char *way)
{
    ed.grab(); // styles what is shown
    for (int line = 1; line <= ed.LineCount(); ++line) {
        const QString text = ed.LineText(line);
        const qsizetype cut = commentStart(text);
        const qsizetype size = text.toUtf8().size(), code = (cut < 0 ? text : text.left(cut)).toUtf8().size();
        const int start = int(ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line - 1));
        QString styled; // '/' where painted as a comment
        for (int byte = 0; byte < size; ++byte) {
            const long style = ed.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, start + byte);
            styled += style == TSynGeneralSyn::Comment ? u'/' : u'.';
        }
        EXPECT_EQ(styled, QString(code, u'.') + QString(size - code, u'/')) << way << ", line " << line;
    }
}

TEST_F(OptionsTest, CommentColoursFollowTheParserHoweverTheTextArrives)
{
    ed.Highlighter()->setKeyWords({QStringLiteral("int"), QStringLiteral("string")});
    const QStringList script{"int a = 1;", "message(\"http://x.de\");", "string s = \"a\" + \"//b\"; // c",
                             "message(\"Grüße\"); // Kommentar", "  // ganz \"offen"};
    ed.setLines(QStringList(60, QStringLiteral("// Kommentar \"\ntick(); \"offen")).join(u'\n').split(u'\n'));
    ed.grab();
    ed.setLines(script);
    expectCommentsCutAsTheParserDoes(ed, "loaded after another text");

    ed.setLines({QString()});
    QApplication::clipboard()->setText(script.join(u'\n'));
    ed.paste();
    expectCommentsCutAsTheParserDoes(ed, "pasted");

    ed.selectAll();
    ed.removeSelectedText();
    ed.grab();
    ed.undo();
    expectCommentsCutAsTheParserDoes(ed, "undone");

    ed.setLines(QStringList(script).replaceInStrings(QStringLiteral("//"), QStringLiteral("#")));
    ed.grab();
    ed.SearchReplace(QStringLiteral("#"), QStringLiteral("//"), ssoReplace | ssoReplaceAll | ssoEntireScope);
    EXPECT_EQ(ed.Lines(), script);
    expectCommentsCutAsTheParserDoes(ed, "replaced");
}

// The slider reports its new place before the text scrolls: the hint names the line then on top.
TEST_F(OptionsTest, TheScrollHintNamesTheLineNowAtTheTop)
{
    ed.setLines(QStringList(300, QStringLiteral("zeile")));
    QScrollBar *bar = ed.verticalScrollBar();
    bar->setSliderDown(true);
    for (int top : {40, 41, 120}) {
        bar->setSliderPosition(top - 1);
        EXPECT_EQ(ed.TopLine(), top);
        EXPECT_EQ(QToolTip::text(), QStringLiteral("Zeile: %1").arg(top));
    }
    bar->setSliderDown(false);
}
