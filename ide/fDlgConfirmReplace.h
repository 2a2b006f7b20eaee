#pragma once
// The question before each replacement, placed above or below the found line
// so that the occurrence stays visible.
#include <QDialog>

class QLabel;
class QPushButton;

class TConfirmReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    // The dialog's results: the buttons' answers.
    enum TResult { Cancel = QDialog::Rejected, Yes = 10, No, YesToAll };

    explicit TConfirmReplaceDialog(QWidget *parent = nullptr);

    // Words the question for text and moves the dialog next to the occurrence
    // whose start is at screen x, between screen rows y1 and y2, inside area.
    void PrepareShow(const QRect &area, int x, int y1, int y2, const QString &text);

    // Where the dialog of the given size goes (see PrepareShow).
    static QPoint PlacementFor(const QRect &area, const QSize &dialog, int x, int y1, int y2);

    // The one dialog of the application, created on first use.
    static TConfirmReplaceDialog *Instance();

    QLabel *Image1 = nullptr;
    QLabel *lblConfirmation = nullptr;
    QPushButton *btnReplace = nullptr;
    QPushButton *btnSkip = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnReplaceAll = nullptr;

private:
    QPushButton *addButton(const QString &caption, int result);
};
