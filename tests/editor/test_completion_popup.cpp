// The completion pop-ups of the bare editor: where they stand on the screen.
#include "editor/MemoCode.h"
#include "editor/SynCompletionProposal.h"

#include <QScreen>
#include <gtest/gtest.h>

// An editor in the screen's bottom right corner, the caret far right on its last line:
// both pop-ups move left of the screen's edge and above the caret's line.
TEST(CompletionPopup, StaysOnTheScreenAtItsRightAndBottomEdges)
{
    TMemoCode ed;
    const QRect screen = ed.screen()->availableGeometry();
    ed.setGeometry(screen.right() - 300, screen.bottom() - 120, 300, 120);
    ed.show();
    ed.setLines({QString(), QString(80, u'x') + QStringLiteral(" ab")});
    ed.setCaretXY({84, 2});
    TSynCompletionProposal list(TSynCompletionType::ctCode, &ed);
    TSynCompletionProposal hint(TSynCompletionType::ctParams, &ed);
    for (int i = 0; i < 12; ++i) {
        list.InsertList().append(QStringLiteral("ab%1").arg(i));
        list.ItemList().append(QStringLiteral("\\style{+B}ab%1\\style{-B}(int n): void").arg(i));
    }
    hint.ItemList() = QStringList(8, "\"int n\",\"string s\""); // overloads, taller than the room below
    hint.setWidth(262);

    const int lineTop = ed.mapToGlobal(ed.BufferToPixels(ed.CaretXY())).y();
    for (TSynCompletionProposal *popup : {&list, &hint}) {
        popup->Execute();
        ASSERT_TRUE(popup->Active());
        const QRect shown = popup->PopupWindow()->geometry();
        EXPECT_TRUE(screen.contains(shown))
            << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
        EXPECT_LE(shown.bottom(), lineTop) << "above the caret's line";
    }
}
