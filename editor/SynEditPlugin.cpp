#include "editor/SynEditPlugin.h"

#include "editor/MemoCode.h"

TSynEditPlugin::TSynEditPlugin(TMemoCode *editor) : iEditor(editor)
{
    if (iEditor)
        iEditor->AddPlugin(this);
}

TSynEditPlugin::~TSynEditPlugin()
{
    if (iEditor)
        iEditor->RemovePlugin(this);
}

void TSynEditPlugin::AfterPaint(QPainter &, const QRect &, int, int) {}
void TSynEditPlugin::LinesInserted(int, int) {}
void TSynEditPlugin::LinesDeleted(int, int) {}
