// The modal seam of the engine for tests: records what would be shown modally
// while it lives, instead of printing it.
#pragma once

#include "base/uModalHook.h"

#include <QList>
#include <QStringList>

#include <utility>

class TModalRecorder
{
public:
    TModalRecorder()
    {
        setModalHook([this](const QString &text, TModalKind kind) { shown.append({text, kind}); });
    }
    ~TModalRecorder() { setModalHook(nullptr); }
    TModalRecorder(const TModalRecorder &) = delete;
    TModalRecorder &operator=(const TModalRecorder &) = delete;

    QStringList texts() const
    {
        QStringList list;
        for (const auto &[text, kind] : shown)
            list.append(text);
        return list;
    }

    QList<std::pair<QString, TModalKind>> shown;
};
