// The source editor: text lines, coordinates, plugin line reports, line colours,
// bookmarks and gutter clicks.
#include "editor/MemoCode.h"
#include "editor/SynEditPlugin.h"
#include "tests/support/Printers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct Report
{
    bool inserted;
    int first;
    int count;
    bool operator==(const Report &) const = default;
};

class RecordingPlugin : public TSynEditPlugin
{
public:
    using TSynEditPlugin::TSynEditPlugin;
    void LinesInserted(int first, int count) override { reports.append({true, first, count}); }
    void LinesDeleted(int first, int count) override { reports.append({false, first, count}); }
    void AfterPaint(QPainter &, const QRect &, int firstRow, int lastRow) override
    {
        paintedRows = {firstRow, lastRow};
    }
    QList<Report> reports;
    QPair<int, int> paintedRows{0, 0};
};

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ed.resize(500, 300);
        ed.show();
    }
    void load(int lines)
    {
        QStringList text;
        for (int i = 1; i <= lines; ++i)
            text << QStringLiteral("line %1").arg(i);
        ed.setLines(text);
    }
    // A key press as the platform delivers it, with its native scan code.
    void pressCtrlShiftDigitRow(Qt::Key key, const QString &text, quint32 scanCode)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier | Qt::ShiftModifier, scanCode, 0, 0, text);
        QApplication::sendEvent(&ed, &press);
    }
    TMemoCode ed;
};
} // namespace

TEST_F(EditorTest, LinesSurviveLoadingWithNulUmlautsAndAFinalEmptyLine)
{
    const QStringList lines{QStringLiteral("a\u0000b"), QStringLiteral("grün ä"), QString(), QString()};
    ed.setLines(lines);
    EXPECT_EQ(ed.Lines(), lines);
    EXPECT_EQ(ed.LineCount(), 4);
    EXPECT_EQ(ed.LineText(2), QStringLiteral("grün ä"));
    EXPECT_FALSE(ed.isUndoAvailable());

    ed.ClearAll();
    EXPECT_TRUE(ed.Lines().isEmpty());
    EXPECT_EQ(ed.LineCount(), 0);
}

TEST_F(EditorTest, LoadingWorksWhileReadOnlyAndKeepsTheFlag)
{
    ed.setReadOnly(true);
    ed.setLines({QStringLiteral("x")});
    EXPECT_EQ(ed.Lines(), QStringList{QStringLiteral("x")});
    EXPECT_TRUE(ed.isReadOnly());
}

TEST_F(EditorTest, CaretCoordinatesCountUtf16UnitsFromOne)
{
    ed.setLines({QStringLiteral("abc"), QStringLiteral("äöü xyz")});
    ed.setCaretXY({4, 2});
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{4, 2}));
    QTest::keyClicks(&ed, QStringLiteral("ß"));
    EXPECT_EQ(ed.LineText(2), QStringLiteral("äöüß xyz"));
    EXPECT_EQ(ed.CaretX(), 5);

    ed.setSelection({2, 2}, {4, 2});
    EXPECT_TRUE(ed.SelAvail());
    EXPECT_EQ(ed.SelText(), QStringLiteral("öü"));
    EXPECT_EQ(ed.BlockBegin(), (TBufferCoord{2, 2}));
    EXPECT_EQ(ed.WordAt({7, 2}), QStringLiteral("xyz"));

    ed.setCaretXY({99, 9}); // beyond the text: the end of the last line
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{9, 2}));
}

TEST_F(EditorTest, TypedAndDeletedLinesAreReportedButLoadingIsNot)
{
    RecordingPlugin plugin(&ed);
    load(10);
    EXPECT_TRUE(plugin.reports.isEmpty());

    ed.setCaretXY({7, 5}); // end of line 5: the new line is 6
    QTest::keyClick(&ed, Qt::Key_Return);
    ed.setCaretXY({1, 5}); // start of line 5: line 5 itself moves
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_EQ(plugin.reports, (QList<Report>{{true, 6, 1}, {true, 5, 1}}));

    plugin.reports.clear();
    ed.setSelection({1, 2}, {1, 5}); // three whole lines
    QTest::keyClick(&ed, Qt::Key_Delete);
    ed.setSelection({3, 3}, {2, 4}); // joins two lines
    QTest::keyClick(&ed, Qt::Key_Delete);
    EXPECT_EQ(plugin.reports, (QList<Report>{{false, 2, 3}, {false, 4, 1}}));

    plugin.reports.clear();
    ed.undo();
    ed.undo();
    ed.redo();
    EXPECT_EQ(plugin.reports, (QList<Report>{{true, 4, 1}, {true, 2, 3}, {false, 2, 3}}));

    plugin.reports.clear();
    ed.ClearAll();
    EXPECT_TRUE(plugin.reports.isEmpty());
}

// A replace-all and its undo are reported line by line from the notices before each change.
TEST_F(EditorTest, LinesMadeOrRemovedByAReplaceAllAreReported)
{
    RecordingPlugin plugin(&ed);
    ed.setLines({"a;b", "c", "d;e"});
    ed.setSearchEngine(TSynSearchEngine::Regex);
    EXPECT_EQ(ed.SearchReplace(";", "\\n", ssoReplace | ssoReplaceAll | ssoEntireScope), 2);
    EXPECT_EQ(ed.Lines(), (QStringList{"a", "b", "c", "d", "e"}));
    QTest::keyClick(&ed, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ed.Lines(), (QStringList{"a;b", "c", "d;e"}));
    EXPECT_EQ(plugin.reports, (QList<Report>{{true, 2, 1}, {true, 5, 1}, {false, 5, 1}, {false, 2, 1}}));
}

TEST_F(EditorTest, PluginLeavesTheEditorWhenDestroyed)
{
    auto plugin = std::make_unique<RecordingPlugin>(&ed);
    load(3);
    plugin.reset();
    ed.setCaretXY({1, 1});
    QTest::keyClick(&ed, Qt::Key_Return); // would reach a dead plugin
    EXPECT_EQ(ed.LineCount(), 4);
}

TEST_F(EditorTest, PluginsArePaintedWithTheVisibleRows)
{
    RecordingPlugin plugin(&ed);
    load(5);
    ed.grab();
    EXPECT_EQ(plugin.paintedRows.first, 1);
    EXPECT_EQ(plugin.paintedRows.second, 5);
}

namespace {
bool hasBackground(TMemoCode &ed, int line)
{
    return ed.SendScintilla(QsciScintillaBase::SCI_MARKERGET, line - 1) != 0;
}

bool hasTextColour(TMemoCode &ed, int line)
{
    const long pos = ed.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line - 1);
    for (int ind = 0; ind < 32; ++ind)
        if (ed.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, ind, pos))
            return true;
    return false;
}
} // namespace

TEST_F(EditorTest, SpecialLinesAndTheCaretLineAreColouredWhenPainted)
{
    load(6);
    int special = 3;
    ed.setOnSpecialLineColors([&](int line, bool &sp, QColor &fg, QColor &bg) {
        if (line == special) {
            sp = true;
            fg = Qt::white;
            bg = Qt::red;
        }
    });
    ed.setCaretXY({1, 5});
    ed.grab();
    EXPECT_TRUE(hasBackground(ed, 3));
    EXPECT_TRUE(hasTextColour(ed, 3));
    EXPECT_TRUE(hasBackground(ed, 5)); // active line
    EXPECT_FALSE(hasTextColour(ed, 5));
    EXPECT_FALSE(hasBackground(ed, 4));

    special = 4;
    ed.setOptions(ed.Options() | eoSpecialLineDefaultFg);
    ed.grab();
    EXPECT_FALSE(hasBackground(ed, 3));
    EXPECT_FALSE(hasTextColour(ed, 3));
    EXPECT_TRUE(hasBackground(ed, 4));
    EXPECT_FALSE(hasTextColour(ed, 4));
}

TEST_F(EditorTest, BookmarksFollowTheirLinesAndAreListedAsMarks)
{
    load(6);
    ed.setCaretXY({1, 3});
    pressCtrlShiftDigitRow(Qt::Key_At, "@", 11); // "2" on a US keyboard
    EXPECT_EQ(ed.bookmarkLine(2), 3);
    ed.setCaretXY({1, 1});
    QTest::keyClick(&ed, Qt::Key_Return);
    EXPECT_TRUE(ed.hasBookmarkOn(4));
    EXPECT_EQ(ed.Marks().size(), 1);
    EXPECT_EQ(ed.Marks().first().Line, 4);

    QTest::keyClick(&ed, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(ed.CaretY(), 4);
    pressCtrlShiftDigitRow(Qt::Key_At, "@", 11);
    EXPECT_EQ(ed.bookmarkLine(2), 0);
}

// With Shift held a keyboard sends the layout's shifted character, never the digit; the
// scan codes are those of X11 for the digit row.
TEST_F(EditorTest, CtrlShiftOnTheDigitRowSetsBookmarksOnUsAndGermanKeyboards)
{
    const struct
    {
        const char *layout;
        Qt::Key key;
        QString text;
        quint32 scanCode;
        int bookmark;
    } keys[] = {
        {"US", Qt::Key_Exclam, "!", 10, 1},    {"US", Qt::Key_At, "@", 11, 2},
        {"US", Qt::Key_ParenLeft, "(", 18, 9}, {"US", Qt::Key_ParenRight, ")", 19, 0},
        {"DE", Qt::Key_Exclam, "!", 10, 1},    {"DE", Qt::Key_QuoteDbl, "\"", 11, 2},
        {"DE", Qt::Key_section, "§", 12, 3},   {"DE", Qt::Key_ParenRight, ")", 18, 9},
        {"DE", Qt::Key_Equal, "=", 19, 0},
    };
    load(12);
    for (const auto &k : keys) {
        const int line = k.bookmark + 2;
        ed.setCaretXY({1, line});
        pressCtrlShiftDigitRow(k.key, k.text, k.scanCode);
        EXPECT_EQ(ed.bookmarkLine(k.bookmark), line) << k.layout << " " << k.text.toStdString();
        EXPECT_EQ(ed.LineText(line), QStringLiteral("line %1").arg(line)) << "typed into the script";
        ed.clearBookmark(k.bookmark);
    }
}

TEST_F(EditorTest, GutterClicksReportTheLineAndDoNotMoveTheCaret)
{
    load(8);
    ed.setCaretXY({2, 1});
    QList<QPair<Qt::MouseButton, int>> clicks;
    ed.setOnGutterClick([&](Qt::MouseButton b, int, int, int line) { clicks.append({b, line}); });
    const int y = ed.LineHeight() * 2 + ed.LineHeight() / 2;
    QTest::mouseClick(ed.viewport(), Qt::LeftButton, {}, QPoint(5, y));
    QTest::mouseClick(ed.viewport(), Qt::RightButton, {}, QPoint(5, y));
    QTest::mouseClick(ed.viewport(), Qt::LeftButton, {}, QPoint(5, ed.LineHeight() * 20)); // below the text
    EXPECT_EQ(clicks, (QList<QPair<Qt::MouseButton, int>>{{Qt::LeftButton, 3}, {Qt::RightButton, 3}}));
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{2, 1}));
}

TEST_F(EditorTest, ComponentKeyBindingsCanBeFreedForTheWindow)
{
    load(3);
    ed.setCaretXY({1, 2});
    QTest::keyClick(&ed, Qt::Key_L, Qt::ControlModifier); // no line cut here
    QTest::keyClick(&ed, Qt::Key_D, Qt::ControlModifier); // no duplicate
    EXPECT_EQ(ed.LineCount(), 3);

    ed.FreeKey(QKeyCombination(Qt::CTRL, Qt::Key_Z).toCombined());
    QTest::keyClicks(&ed, QStringLiteral("x"));
    QTest::keyClick(&ed, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ed.LineText(2), QStringLiteral("xline 2"));
}

TEST_F(EditorTest, TheCaretColumnCountsPastTheEndOfTheLine)
{
    ed.setLines({QStringLiteral("ab"), QStringLiteral("")});
    ed.setCaretXY({3, 1});
    QTest::keyClick(&ed, Qt::Key_Right);
    QTest::keyClick(&ed, Qt::Key_Right);
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{5, 1}));
    ed.setOptions(ed.Options() | eoKeepCaretX); // without it Down ends at the shorter line's end
    QTest::keyClick(&ed, Qt::Key_Down);
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{5, 2}));
    ed.setOptions(ed.Options() & ~eoScrollPastEol);
    ed.setCaretXY({1, 1});
    QTest::keyClick(&ed, Qt::Key_End);
    QTest::keyClick(&ed, Qt::Key_Right);
    EXPECT_EQ(ed.CaretXY(), (TBufferCoord{1, 2})) << "without the option the caret wraps";
}

// A replace-all and its undo are one change each for whoever follows the text, and
// undoing back to the save point leaves the text unmodified.
TEST_F(EditorTest, ReplaceAllAndItsUndoReportOneChangeEach)
{
    QStringList text;
    for (int i = 0; i < 30; ++i)
        text << QStringLiteral("int a%1 = b%1;").arg(i);
    ed.setLines(text);
    EXPECT_TRUE(ed.Modified()) << "a loaded text has no save point yet";
    ed.SetSavePoint();
    EXPECT_FALSE(ed.Modified());
    int changes = 0;
    ed.setOnChange([&] { ++changes; });

    EXPECT_EQ(ed.SearchReplace("b", "cc", ssoReplace | ssoReplaceAll | ssoEntireScope), 30);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(ed.Modified());
    QTest::keyClick(&ed, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(ed.Modified());
    EXPECT_EQ(ed.Lines(), text);
    QTest::keyClick(&ed, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(changes, 3);
    QTest::keyClicks(&ed, "x");
    EXPECT_EQ(changes, 4) << "typing still reports every key";
}
