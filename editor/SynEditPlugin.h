#pragma once
// Base of the editor's plugins: links a plugin to its editor, which calls the
// hooks after painting and when whole lines were inserted or deleted by editing.
#include <QPointer>
#include <QRect>

class TMemoCode;
class QPainter;

class TSynEditPlugin
{
public:
    explicit TSynEditPlugin(TMemoCode *editor);
    virtual ~TSynEditPlugin();
    TSynEditPlugin(const TSynEditPlugin &) = delete;
    TSynEditPlugin &operator=(const TSynEditPlugin &) = delete;

    TMemoCode *Editor() const { return iEditor; }

    // Rows are the painted display rows, counted from 1.
    virtual void AfterPaint(QPainter &canvas, const QRect &clip, int firstRow, int lastRow);
    // Lines are counted from 1: `firstLine` is the first line that moved.
    virtual void LinesInserted(int firstLine, int count);
    virtual void LinesDeleted(int firstLine, int count);

private:
    QPointer<TMemoCode> iEditor;
};
