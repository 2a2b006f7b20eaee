#include "ide/uDialogs.h"

#include "ide/uSourceFiles.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
QMessageBox::Icon iconOf(TDlgKind kind)
{
    switch (kind) {
    case TDlgKind::Information:
        return QMessageBox::Information;
    case TDlgKind::Warning:
        return QMessageBox::Warning;
    case TDlgKind::Error:
        return QMessageBox::Critical;
    case TDlgKind::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton buttonOf(TDlgAnswer answer)
{
    switch (answer) {
    case TDlgAnswer::Ok:
        return QMessageBox::Ok;
    case TDlgAnswer::Yes:
        return QMessageBox::Yes;
    case TDlgAnswer::No:
        return QMessageBox::No;
    case TDlgAnswer::Cancel:
        return QMessageBox::Cancel;
    case TDlgAnswer::YesToAll:
        return QMessageBox::YesToAll;
    }
    return QMessageBox::NoButton;
}

class TQtDialogs final : public TDialogs
{
public:
    void message(QWidget *parent, TDlgKind kind, const QString &title, const QString &text) override
    {
        QMessageBox box(iconOf(kind), title, text, QMessageBox::Ok, parent);
        box.exec();
    }

    TDlgAnswer ask(QWidget *parent, TDlgKind kind, const QString &title, const QString &text,
                   const QList<TDlgAnswer> &buttons) override
    {
        QMessageBox box(iconOf(kind), title, text, QMessageBox::NoButton, parent);
        for (TDlgAnswer answer : buttons)
            box.addButton(buttonOf(answer));
        const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
        for (TDlgAnswer answer : buttons)
            if (buttonOf(answer) == pressed)
                return answer;
        return TDlgAnswer::Cancel;
    }

    QString openFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }

    QString saveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                         const QString &defaultSuffix) override
    {
        QFileDialog dialog(parent, caption, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    }

    TSaveChoice saveFileChoice(QWidget *parent, const QString &caption, const QString &folder,
                               const QString &filter) override
    {
        QFileDialog dialog(parent, caption, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The dialog's own overwrite question must see the name that will be written.
        dialog.setDefaultSuffix(FilterSuffix(dialog.selectedNameFilter()));
        QObject::connect(&dialog, &QFileDialog::filterSelected,
                         [&dialog](const QString &chosen) { dialog.setDefaultSuffix(FilterSuffix(chosen)); });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return {dialog.selectedFiles().first(), dialog.selectedNameFilter()};
    }
};

TDialogs *&installedDialogs()
{
    static TDialogs *dialogs = nullptr;
    return dialogs;
}
} // namespace

TSaveChoice TDialogs::saveFileChoice(QWidget *parent, const QString &caption, const QString &folder,
                                     const QString &filter)
{
    const QString first = filter.section(QStringLiteral(";;"), 0, 0);
    return {saveFileName(parent, caption, folder, filter, FilterSuffix(first)), first};
}

TDialogs &Dialogs()
{
    static TQtDialogs qtDialogs;
    TDialogs *installed = installedDialogs();
    return installed ? *installed : qtDialogs;
}

void setDialogs(TDialogs *dialogs) { installedDialogs() = dialogs; }
