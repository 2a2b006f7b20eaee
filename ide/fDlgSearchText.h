#pragma once
// The search dialog: search text with its history, direction, options, where
// to begin and the scope. Its properties map one to one onto the window's
// stored search fields.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class TTextSearchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TTextSearchDialog(QWidget *owner);

    bool SearchBackwards() const;
    void setSearchBackwards(bool value);
    bool SearchCaseSensitive() const;
    void setSearchCaseSensitive(bool value);
    bool SearchFromCursor() const;
    void setSearchFromCursor(bool value);
    bool SearchInSelectionOnly() const;
    void setSearchInSelectionOnly(bool value);
    bool SearchRegularExpression() const;
    void setSearchRegularExpression(bool value);
    bool SearchWholeWords() const;
    void setSearchWholeWords(bool value);
    QString SearchText() const;
    void setSearchText(const QString &text);
    // At most the first 10 entries, most recent first, joined with CR LF.
    QString SearchTextHistory() const;
    void setSearchTextHistory(const QString &history);

    QLabel *Label1 = nullptr;
    QComboBox *cbSearchText = nullptr;
    QGroupBox *rgSearchDirection = nullptr;
    QRadioButton *rbForward = nullptr;
    QRadioButton *rbBackward = nullptr;
    QGroupBox *gbSearchOptions = nullptr;
    QCheckBox *cbSearchCaseSensitive = nullptr;
    QCheckBox *cbSearchWholeWords = nullptr;
    QCheckBox *cbRegularExpression = nullptr;
    QGroupBox *rGroupBegin = nullptr;
    QRadioButton *rbFromStart = nullptr;
    QRadioButton *rbFromCursor = nullptr;
    QGroupBox *rGroupScope = nullptr;
    QRadioButton *rbWholeText = nullptr;
    QRadioButton *rbSelectedText = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    // The entries of a history text: one per line, at most 10.
    static QStringList HistoryEntries(const QString &history);
    static QString HistoryText(const QComboBox *box);
    // Sets the box's list from a history text, keeping the edited text.
    static void SetHistory(QComboBox *box, const QString &history);
    // Moves a non-empty text to the top of the box's list, once.
    static void MoveToTop(QComboBox *box, const QString &text);

protected:
    // An editable combo box whose list is a history.
    static QComboBox *NewHistoryBox();
    // Runs when the dialog is confirmed with OK: the texts move to the top of their lists.
    virtual void UpdateHistories();
    // The grid of the text rows (label, combo box); the replace dialog adds a row.
    QGridLayout *TextRows = nullptr;

private:
    void onOk();
};
