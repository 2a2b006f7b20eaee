// The debug gutter plugin and its line-number sets.
#include "editor/MemoCode.h"
#include "ide/uGutterImages.h"
#include "ide/uIdList.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "tests/support/Printers.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(IdList, AddsOnceRemovesTheFirstAndShiftsFromAnOffset)
{
    TIdList list;
    EXPECT_EQ(list.Add(7), 0);
    EXPECT_EQ(list.Add(3), 1);
    EXPECT_EQ(list.Add(7), 0);
    EXPECT_EQ(list.Count(), 2);
    list.Inc(5, -10);
    EXPECT_EQ(list.Items(0), -3);
    EXPECT_EQ(list.Items(1), 3);
    EXPECT_EQ(list.Remove(3), 1);
    EXPECT_EQ(list.Remove(3), -1);
    list.Delete(5); // out of range: nothing happens
    EXPECT_TRUE(list.isIn(-3));

    TIdList lines;
    for (int line : {1, 4, 2, 5, 9})
        lines.Add(line);
    lines.DeleteRange(2, 3);
    EXPECT_EQ((QList<int>(lines.begin(), lines.end())), (QList<int>{1, 2, 6}));
}

namespace {
class PluginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStringList lines;
        for (int i = 1; i <= 30; ++i)
            lines << QStringLiteral("x = %1").arg(i);
        ed.setLines(lines);
        ed.resize(400, 300);
        ed.show();
    }
    TMemoCode ed;
};

QColor background(TMemoCode &ed, int line)
{
    bool special = false;
    QColor fg, bg;
    ed.OnSpecialLineColors()(line, special, fg, bg);
    return special ? bg : QColor();
}
} // namespace

TEST_F(PluginTest, ChoosesTheImageOfEachLine)
{
    TKeloDebugSyneditPlugin plugin(&ed);
    plugin.Executables().Add(2);
    plugin.Executables().Add(3);
    plugin.Breakpoints().Add(3);
    plugin.Breakpoints().Add(4);
    plugin.Breakpoints().Add(5);
    plugin.setCurrentLine(5);
    EXPECT_EQ(plugin.ImageIndexFor(1), -1);
    EXPECT_EQ(plugin.ImageIndexFor(2), 0); // blue dot
    EXPECT_EQ(plugin.ImageIndexFor(3), 3); // tick: breakpoint on an executable line
    EXPECT_EQ(plugin.ImageIndexFor(4), 4); // cross: breakpoint elsewhere
    EXPECT_EQ(plugin.ImageIndexFor(5), 2); // arrow over the disc
    plugin.Breakpoints().Remove(5);
    EXPECT_EQ(plugin.ImageIndexFor(5), 1);
}

TEST_F(PluginTest, ImagesAreDrawnOnlyWithAnImageListAndBesideABookmark)
{
    TKeloDebugSyneditPlugin plugin(&ed);
    plugin.Breakpoints().Add(2);
    plugin.Breakpoints().Add(3);
    ed.setBookmark(0, 3);
    const int lh = ed.LineHeight();
    const auto pixel = [&](int x, int line) { return ed.grab().toImage().pixelColor(x, (line - 1) * lh + lh / 2); };
    const QColor plain = pixel(6, 2);
    plugin.setImages(&GutterImages());
    EXPECT_NE(pixel(6, 2), plain);      // disc at the left margin
    EXPECT_GT(pixel(12, 3).red(), 180); // disc moved right of the bookmark glyph
    EXPECT_LT(pixel(12, 3).green(), 100);
    EXPECT_EQ(pixel(4, 3), QColor(64, 128, 255)); // the glyph itself

    for (const QImage &img : GutterImages())
        EXPECT_EQ(img.size(), QSize(11, 14));
}

TEST_F(PluginTest, CurrentLineWinsOverABreakpointAndTheWindowsHandlerWinsOverBoth)
{
    int redLine = -1;
    ed.setOnSpecialLineColors([&](int line, bool &special, QColor &fg, QColor &bg) {
        if (line == redLine) {
            special = true;
            fg = Qt::white;
            bg = Qt::red;
        }
    });
    TKeloDebugSyneditPlugin plugin(&ed);
    plugin.Breakpoints().Add(4);
    EXPECT_EQ(background(ed, 4), QColor(0, 255, 255));
    plugin.setCurrentLine(4);
    EXPECT_EQ(background(ed, 4), QColor(0, 0, 255));
    redLine = 4;
    EXPECT_EQ(background(ed, 4), QColor(Qt::red));
    EXPECT_EQ(background(ed, 5), QColor());
}

TEST_F(PluginTest, SetsShiftWithInsertedAndDeletedLines)
{
    TKeloDebugSyneditPlugin plugin(&ed);
    int changes = 0;
    plugin.setBreakPointsChanged([&] { ++changes; });
    plugin.Breakpoints().Add(4);
    plugin.Breakpoints().Add(5);
    plugin.LinesInserted(5, 1);
    EXPECT_EQ(plugin.Breakpoints().Items(0), 4);
    EXPECT_EQ(plugin.Breakpoints().Items(1), 6);

    plugin.Breakpoints().Clear();
    for (int line : {9, 11, 20, 10, 13})
        plugin.Breakpoints().Add(line);
    for (int line : {12, 14})
        plugin.Executables().Add(line);
    plugin.LinesDeleted(10, 3);
    EXPECT_EQ((QList<int>(plugin.Breakpoints().begin(), plugin.Breakpoints().end())), (QList<int>{9, 17, 10}))
        << "the marks of lines 10 to 12 go with their lines";
    EXPECT_EQ((QList<int>(plugin.Executables().begin(), plugin.Executables().end())), QList<int>{11});
    EXPECT_EQ(changes, 2);
}

TEST_F(PluginTest, TypingAndLoadingMoveOrKeepTheBreakpoints)
{
    TKeloDebugSyneditPlugin plugin(&ed);
    plugin.Breakpoints().Add(5);
    ed.setCaretXY({1, 5});
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_EQ(plugin.Breakpoints().Items(0), 6);
    ed.undo();
    EXPECT_EQ(plugin.Breakpoints().Items(0), 5);
    ed.setLines({QStringLiteral("neu")});
    EXPECT_EQ(plugin.Breakpoints().Items(0), 5);
}

TEST_F(PluginTest, CurrentLineMovesTheCaretOnlyWhenAsked)
{
    TKeloDebugSyneditPlugin plugin(&ed);
    plugin.setCurrentLine(12);
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{1, 12}));
    ed.setCaretXY({3, 12});
    plugin.setCurrentLine(12); // unchanged: the caret stays
    EXPECT_EQ(ed.CaretX(), 3);
    plugin.setAutoMakeVisible(false);
    plugin.setCurrentLine(20);
    EXPECT_EQ(ed.CaretY(), 12);
    plugin.setCurrentLine(-1);
    EXPECT_EQ(plugin.CurrentLine(), -1);
}

TEST_F(PluginTest, DestroyedPluginGivesTheLineColourHandlerBack)
{
    int asked = 0;
    ed.setOnSpecialLineColors([&](int, bool &, QColor &, QColor &) { ++asked; });
    {
        TKeloDebugSyneditPlugin plugin(&ed);
        plugin.Breakpoints().Add(1);
    }
    ed.grab();
    EXPECT_GT(asked, 0);
}
