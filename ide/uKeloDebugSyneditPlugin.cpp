#include "ide/uKeloDebugSyneditPlugin.h"

#include <QPainter>

TKeloDebugSyneditPlugin::TKeloDebugSyneditPlugin(TMemoCode *editor) : TSynEditPlugin(editor)
{
    if (!editor)
        return;
    iOnFormSpecialLineColor = editor->OnSpecialLineColors();
    editor->setOnSpecialLineColors(
        [this](int line, bool &special, QColor &fg, QColor &bg) { SpecialLineColors(line, special, fg, bg); });
}

// Gives the editor its former line-colour handler back: the editor outlives the
// plugin and must not call into a destroyed object.
TKeloDebugSyneditPlugin::~TKeloDebugSyneditPlugin()
{
    if (Editor())
        Editor()->setOnSpecialLineColors(iOnFormSpecialLineColor);
}

void TKeloDebugSyneditPlugin::setImages(const QList<QImage> *images)
{
    iImages = images;
    if (Editor())
        Editor()->Invalidate();
}

int TKeloDebugSyneditPlugin::ImageIndexFor(int line) const
{
    const bool cur = line == iCurrentLine;
    const bool exe = cur || iExecutables.isIn(line);
    const bool bp = iBreakpoints.isIn(line);
    if (cur && bp)
        return iImgCurrentBreakpoint;
    if (exe && bp)
        return iImgExecutableBreakpoint;
    if (cur)
        return iImgCurrentLine;
    if (exe)
        return iImgExecutable;
    if (bp)
        return iImgBreakpoint;
    return -1;
}

void TKeloDebugSyneditPlugin::AfterPaint(QPainter &canvas, const QRect &, int firstRow, int lastRow)
{
    TMemoCode *ed = Editor();
    if (!iImages || !ed)
        return;
    const int lineHeight = ed->LineHeight();
    const int topRow = ed->TopLine();
    for (int line = ed->RowToLine(firstRow); line <= ed->RowToLine(lastRow); ++line) {
        const int index = ImageIndexFor(line);
        if (index < 0 || index >= iImages->size())
            continue;
        const QImage &image = iImages->at(index);
        const int top = (ed->LineToRow(line) - topRow) * lineHeight + (lineHeight - image.height()) / 2;
        const int left = ed->hasBookmarkOn(line) ? ed->BookmarkXOffset() : ed->BookmarkLeftMargin();
        canvas.drawImage(left, top, image);
    }
}

void TKeloDebugSyneditPlugin::SpecialLineColors(int line, bool &special, QColor &fg, QColor &bg)
{
    if (line == iCurrentLine) {
        special = true;
        bg = iCurrentLineBackColor;
        fg = iCurrentLineForeColor;
    } else if (iBreakpoints.isIn(line)) {
        special = true;
        bg = iBreakpointBackColor;
        fg = iBreakpointForeColor;
    }
    if (iOnFormSpecialLineColor)
        iOnFormSpecialLineColor(line, special, fg, bg);
}

void TKeloDebugSyneditPlugin::linesShifted()
{
    if (iBreakPointsChanged)
        iBreakPointsChanged();
    if (Editor())
        Editor()->Invalidate();
}

void TKeloDebugSyneditPlugin::LinesInserted(int firstLine, int count)
{
    iBreakpoints.Inc(firstLine, count);
    iExecutables.Inc(firstLine, count);
    linesShifted();
}

// Marks on deleted lines go with them; shifting them as well would leave
// entries on other lines or at line 0 and below.
void TKeloDebugSyneditPlugin::LinesDeleted(int firstLine, int count)
{
    iBreakpoints.DeleteRange(firstLine, count);
    iExecutables.DeleteRange(firstLine, count);
    linesShifted();
}

void TKeloDebugSyneditPlugin::invalidateLine(int line)
{
    Editor()->InvalidateGutterLine(line);
    Editor()->InvalidateLine(line);
}

void TKeloDebugSyneditPlugin::setCurrentLine(int line)
{
    if (line == iCurrentLine)
        return;
    if (Editor() && iCurrentLine > 0)
        invalidateLine(iCurrentLine);
    iCurrentLine = line;
    if (!Editor() || line <= 0)
        return;
    if (iAutoMakeVisible && Editor()->CaretY() != line)
        Editor()->setCaretXY({1, line});
    invalidateLine(line);
}
