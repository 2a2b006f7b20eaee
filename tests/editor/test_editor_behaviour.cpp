// The editor's behaviour options and its highlighter.
#include "editor/MemoCode.h"
#include "editor/SynGeneralSyn.h"
#include "tests/support/Printers.h"

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
    const TSynEditorOptions noVirtualSpace = SynEditorDefaultOptions & ~TSynEditorOptions(eoScrollPastEol);
    for (const bool keep : {false, true}) {
        only(keep ? noVirtualSpace | eoKeepCaretX : noVirtualSpace);
        ed.setLines({QStringLiteral("abcdefghij"), QStringLiteral("ab"), QStringLiteral("abcdefghij")});
        ed.setCaretXY({9, 1});
        QTest::keyClick(&ed, Qt::Key_Down);
        EXPECT_EQ(ed.CaretXY(), (TBufferCoord{3, 2}));
        QTest::keyClick(&ed, Qt::Key_Down);
        EXPECT_EQ(ed.CaretXY(), (TBufferCoord{keep ? 9 : 3, 3})) << "KeepCaretX " << keep;
        QTest::keyClick(&ed, Qt::Key_Up);
        QTest::keyClick(&ed, Qt::Key_Up);
        EXPECT_EQ(ed.CaretXY(), (TBufferCoord{keep ? 9 : 3, 1})) << "KeepCaretX " << keep;
    }
}

// Whether a scroll bar's style lays out an arrow button.
static bool hasArrowButton(QScrollBar *bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.subControls = QStyle::SC_All;
    return !bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, bar).isEmpty();
}

TEST_F(OptionsTest, DisableScrollArrowsTakesTheArrowButtonsOffTheScrollBars)
{
    ed.setLines(QStringList(100, QString(300, u'x')));
    EXPECT_TRUE(hasArrowButton(ed.verticalScrollBar()));
    only(SynEditorDefaultOptions | eoDisableScrollArrows);
    EXPECT_FALSE(hasArrowButton(ed.verticalScrollBar()));
    EXPECT_FALSE(hasArrowButton(ed.horizontalScrollBar()));
    only(SynEditorDefaultOptions);
    EXPECT_TRUE(hasArrowButton(ed.horizontalScrollBar()));
}

TEST(Highlighter, StylesKeywordsInAnyCaseCommentsStringsNumbersAndSymbols)
{
    TSynGeneralSyn syn;
    syn.setKeyWords({QStringLiteral("IF"), QStringLiteral("int")});
    using S = TSynGeneralSyn::Style;
    const QByteArray line = "if INT1 x=12 \"a//b\" // c";
    const QList<S> styles = syn.styleLine(line);
    ASSERT_EQ(styles.size(), line.size());
    EXPECT_EQ(styles[0], S::Keyword);
    EXPECT_EQ(styles[3], S::Identifier); // INT1 is no keyword
    EXPECT_EQ(styles[9], S::Symbol);
    EXPECT_EQ(styles[10], S::Number);
    EXPECT_EQ(styles[line.indexOf('"')], S::String);
    EXPECT_EQ(styles.mid(line.indexOf("//")), QList<S>(line.size() - line.indexOf("//"), S::Comment))
        << "the parser cuts the line at the first //, inside quotes too";
    EXPECT_EQ(syn.styleLine("\"open").last(), S::String);
    const QByteArray url = "s = \"http://x\" // Adr\xC3\xA4sse";
    const QList<S> urlStyles = syn.styleLine(url);
    ASSERT_EQ(urlStyles.size(), url.size());
    EXPECT_EQ(urlStyles[url.indexOf("http")], S::String);
    EXPECT_EQ(urlStyles[url.indexOf("//")], S::Comment);
    EXPECT_EQ(urlStyles.last(), S::Comment);

    TMemoCode ed;
    ed.setLines({QString::fromUtf8(url)});
    ed.recolor();
    const auto styleAt = [&ed](qsizetype byte) {
        return ed.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(byte));
    };
    EXPECT_EQ(styleAt(url.indexOf("http")), S::String);
    EXPECT_EQ(styleAt(url.indexOf("//")), S::Comment);
    EXPECT_EQ(styleAt(url.size() - 1), S::Comment);
    EXPECT_EQ(syn.defaultColor(S::Comment), QColor(0, 159, 0));
}

// The slider reports its new place before the text scrolls: the hint names the line then on top.
TEST_F(OptionsTest, TheScrollHintNamesTheLineNowAtTheTop)
{
    QStringList text;
    for (int i = 1; i <= 300; ++i)
        text << QStringLiteral("zeile %1").arg(i);
    ed.setLines(text);
    QScrollBar *bar = ed.verticalScrollBar();
    bar->setSliderDown(true);
    for (int top : {40, 41, 120}) {
        bar->setSliderPosition(top - 1);
        EXPECT_EQ(ed.TopLine(), top);
        EXPECT_EQ(QToolTip::text(), QStringLiteral("Zeile: %1").arg(top));
    }
    bar->setSliderDown(false);
}
