#pragma once
// The program bar above the editor: its run buttons carry icon and caption, and
// only their icons (the hint stays as tooltip) when the bar is too narrow for
// the captions, so that a small window keeps every button within reach.
#include <QWidget>

class QPushButton;

class TProgramBar : public QWidget
{
public:
    static constexpr int ButtonWidth = 100;
    static constexpr int CompactButtonWidth = 32;

    explicit TProgramBar(QWidget *parent = nullptr);
    // Adds a button to the row; its caption may be set later.
    void addButton(QPushButton *button);
    bool isCompact() const { return iCompact; }
    // Small enough for the compact buttons, so that the window may shrink.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setCompact(bool compact);
    // The designed width, or what a longer caption needs.
    int fullWidth(const QPushButton *button) const;

    QList<QPushButton *> iButtons;
    QStringList iCaptions; // the captions while compact
    bool iCompact = false;
    int iFullWidth = 0; // the width the captions need, measured while shown with them
};
