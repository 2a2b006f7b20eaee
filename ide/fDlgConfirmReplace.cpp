#include "ide/fDlgConfirmReplace.h"

#include "ide/uDialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

TConfirmReplaceDialog::TConfirmReplaceDialog(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Ersetzen bestätigen"));
    Image1 = new QLabel;
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(iconSize, iconSize));
    Image1->setAlignment(Qt::AlignTop);
    lblConfirmation = new QLabel;
    lblConfirmation->setWordWrap(true);
    lblConfirmation->setTextFormat(Qt::PlainText);
    lblConfirmation->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *question = new QHBoxLayout;
    question->addWidget(Image1);
    question->addWidget(lblConfirmation, 1);
    auto *buttons = new QHBoxLayout;
    btnReplace = addButton(QStringLiteral("&Ja"), Yes);
    btnSkip = addButton(QStringLiteral("&Nein"), No);
    btnCancel = addButton(QStringLiteral("Abbrechen"), Cancel);
    btnReplaceAll = addButton(QStringLiteral("Ja für &alle"), YesToAll);
    for (QPushButton *button : {btnReplace, btnSkip, btnCancel, btnReplaceAll})
        buttons->addWidget(button);
    btnReplace->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(question, 1);
    layout->addLayout(buttons);
    setFixedSize(328, 98);
}

QPushButton *TConfirmReplaceDialog::addButton(const QString &caption, int result)
{
    auto *button = new QPushButton(caption);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    return button;
}

QPoint TConfirmReplaceDialog::PlacementFor(const QRect &area, const QSize &dialog, int x, int y1, int y2)
{
    const int w = area.width();
    const int h = area.height();
    const int areaRight = area.left() + w; // exclusive
    if (dialog.width() >= w)
        x = area.left() - (dialog.width() - w) / 2;
    else if (x + dialog.width() > areaRight)
        x = areaRight - dialog.width();
    const int threshold = area.top() + static_cast<int>(std::lround(h * 2.0 / 3.0));
    const int y = y2 > threshold ? y1 - dialog.height() - 4 : y2 + 4;
    return {x, y};
}

void TConfirmReplaceDialog::PrepareShow(const QRect &area, int x, int y1, int y2, const QString &text)
{
    lblConfirmation->setText(QStringLiteral("Dieses Vorkommen von \"%1\" ersetzen?").arg(text));
    move(PlacementFor(area, frameGeometry().size(), x, y1, y2));
}

namespace {
QPointer<TConfirmReplaceDialog> &sharedDialog()
{
    static QPointer<TConfirmReplaceDialog> dialog;
    return dialog;
}

// The application owns the dialog: it goes before the application does.
void deleteSharedDialog() { delete sharedDialog().data(); }
} // namespace

TConfirmReplaceDialog *TConfirmReplaceDialog::Instance()
{
    QPointer<TConfirmReplaceDialog> &dialog = sharedDialog();
    if (!dialog) {
        dialog = new TConfirmReplaceDialog;
        static const bool registered = (qAddPostRoutine(deleteSharedDialog), true);
        Q_UNUSED(registered);
    }
    return dialog;
}

TDlgAnswer TDialogs::confirmReplace(const QRect &area, int x, int y1, int y2, const QString &text)
{
    TConfirmReplaceDialog *dialog = TConfirmReplaceDialog::Instance();
    dialog->PrepareShow(area, x, y1, y2, text);
    switch (dialog->exec()) {
    case TConfirmReplaceDialog::Yes:
        return TDlgAnswer::Yes;
    case TConfirmReplaceDialog::No:
        return TDlgAnswer::No;
    case TConfirmReplaceDialog::YesToAll:
        return TDlgAnswer::YesToAll;
    default:
        return TDlgAnswer::Cancel;
    }
}
