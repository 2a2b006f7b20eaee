#include "ide/uAppSetup.h"

#include "base/uModalHook.h"
#include "forms/fPictures.h"
#include "ide/uDialogs.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
void loadTranslation(QApplication &app, const QString &name)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

TDlgKind dialogKind(TModalKind kind)
{
    switch (kind) {
    case TModalKind::Information:
        return TDlgKind::Information;
    case TModalKind::Warning:
        return TDlgKind::Warning;
    case TModalKind::Error:
        return TDlgKind::Error;
    }
    return TDlgKind::Information;
}
} // namespace

void InstallFontSubstitutes()
{
    const QStringList mono{QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")};
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Courier New"), mono);
    QFont::insertSubstitutions(QStringLiteral("Lucida Console"),
                               {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
}

void SetupApplication(QApplication &app)
{
    loadTranslation(app, QStringLiteral("qtbase_de"));
    loadTranslation(app, QStringLiteral("qscintilla_de"));
    InstallFontSubstitutes();
    QApplication::setWindowIcon(ProductWindowIcon());
    setModalHook([](const QString &text, TModalKind kind) {
        Dialogs().message(QApplication::activeWindow(), dialogKind(kind), QApplication::applicationDisplayName(), text);
    });
}
