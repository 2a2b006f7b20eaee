#pragma once
// Debugging state on the source editor: breakpoint lines, executable lines and
// the current execution line (all 1-based). Paints the gutter images, colours
// the current and breakpoint lines, and shifts its line numbers with edits.
#include "editor/MemoCode.h"
#include "editor/SynEditPlugin.h"
#include "ide/uIdList.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <functional>

class TKeloDebugSyneditPlugin : public TSynEditPlugin
{
public:
    using TNotifyEvent = std::function<void()>;

    // Takes over the editor's line-colour event, keeping its handler to call after its own.
    explicit TKeloDebugSyneditPlugin(TMemoCode *editor);
    ~TKeloDebugSyneditPlugin() override;

    int CurrentLine() const { return iCurrentLine; }
    void setCurrentLine(int line);
    TIdList &Breakpoints() { return iBreakpoints; }
    const TIdList &Breakpoints() const { return iBreakpoints; }
    TIdList &Executables() { return iExecutables; }
    const TIdList &Executables() const { return iExecutables; }

    const QList<QImage> *Images() const { return iImages; }
    void setImages(const QList<QImage> *images);
    int ImgExecutable() const { return iImgExecutable; }
    void setImgExecutable(int index) { iImgExecutable = index; }
    int ImgCurrentLine() const { return iImgCurrentLine; }
    void setImgCurrentLine(int index) { iImgCurrentLine = index; }
    int ImgCurrentBreakpoint() const { return iImgCurrentBreakpoint; }
    void setImgCurrentBreakpoint(int index) { iImgCurrentBreakpoint = index; }
    int ImgExecutableBreakpoint() const { return iImgExecutableBreakpoint; }
    void setImgExecutableBreakpoint(int index) { iImgExecutableBreakpoint = index; }
    int ImgBreakpoint() const { return iImgBreakpoint; }
    void setImgBreakpoint(int index) { iImgBreakpoint = index; }

    QColor BreakpointForeColor() const { return iBreakpointForeColor; }
    void setBreakpointForeColor(const QColor &c) { iBreakpointForeColor = c; }
    QColor BreakpointBackColor() const { return iBreakpointBackColor; }
    void setBreakpointBackColor(const QColor &c) { iBreakpointBackColor = c; }
    QColor CurrentLineForeColor() const { return iCurrentLineForeColor; }
    void setCurrentLineForeColor(const QColor &c) { iCurrentLineForeColor = c; }
    QColor CurrentLineBackColor() const { return iCurrentLineBackColor; }
    void setCurrentLineBackColor(const QColor &c) { iCurrentLineBackColor = c; }
    bool AutoMakeVisible() const { return iAutoMakeVisible; }
    void setAutoMakeVisible(bool on) { iAutoMakeVisible = on; }
    TNotifyEvent BreakPointsChanged() const { return iBreakPointsChanged; }
    void setBreakPointsChanged(TNotifyEvent e) { iBreakPointsChanged = std::move(e); }

    // The image index shown for a line, or -1 for none.
    int ImageIndexFor(int line) const;
    // The plugin's line-colour handler; ends by calling the kept handler.
    void SpecialLineColors(int line, bool &special, QColor &fg, QColor &bg);

    void AfterPaint(QPainter &canvas, const QRect &clip, int firstRow, int lastRow) override;
    void LinesInserted(int firstLine, int count) override;
    void LinesDeleted(int firstLine, int count) override;

private:
    void linesShifted();
    void invalidateLine(int line);

    int iCurrentLine = -1;
    TIdList iBreakpoints;
    TIdList iExecutables;
    const QList<QImage> *iImages = nullptr;
    int iImgExecutable = 0;
    int iImgCurrentLine = 1;
    int iImgCurrentBreakpoint = 2;
    int iImgExecutableBreakpoint = 3;
    int iImgBreakpoint = 4;
    QColor iBreakpointForeColor = Qt::black;
    QColor iBreakpointBackColor = QColor(0, 255, 255);
    QColor iCurrentLineForeColor = Qt::white;
    QColor iCurrentLineBackColor = QColor(0, 0, 255);
    bool iAutoMakeVisible = true;
    TNotifyEvent iBreakPointsChanged;
    TMemoCode::TSpecialLineColorsEvent iOnFormSpecialLineColor;
};
