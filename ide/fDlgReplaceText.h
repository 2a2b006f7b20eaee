#pragma once
// The replace dialog: the search dialog with a replacement text and its history.
#include "ide/fDlgSearchText.h"

class TTextReplaceDialog : public TTextSearchDialog
{
    Q_OBJECT
public:
    explicit TTextReplaceDialog(QWidget *owner);

    QString ReplaceText() const;
    void setReplaceText(const QString &text);
    QString ReplaceTextHistory() const;
    void setReplaceTextHistory(const QString &history);

    QLabel *Label2 = nullptr;
    QComboBox *cbReplaceText = nullptr;

protected:
    void UpdateHistories() override;
};
