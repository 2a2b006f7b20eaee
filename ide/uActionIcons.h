#pragma once
// The IDE's own small icon set, drawn in code so that every icon shares one
// style: flat shapes with a dark outline. Each icon carries a separate greyed
// drawing for its disabled state.
#include <QIcon>

enum class TActionIcon {
    Close,
    New,
    Load,
    Save,
    SaveAs,
    Find,
    FindReplace,
    FindPrev,
    FindNext,
    FontPlus,
    FontMinus,
    AddBreak,
    RemoveBreak,
    Start,
    Stop,
    Pause,
    Step,
    StepBack,
    RunBack,
    Parse,
    Help,
    About,
    EditorOptions,
    DebugCode,
    DelayMax,
    DelayMin,
    Copy,
    Paste,
    Cut,
    SelectAll,
};

QIcon ActionIcon(TActionIcon which);
