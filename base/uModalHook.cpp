#include "base/uModalHook.h"

#include <cstdio>

namespace {
TModalHook &currentHook()
{
    static TModalHook hook;
    return hook;
}
} // namespace

void setModalHook(TModalHook hook) { currentHook() = std::move(hook); }

void ShowModal(const QString &text, TModalKind kind)
{
    if (currentHook()) {
        currentHook()(text, kind);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
