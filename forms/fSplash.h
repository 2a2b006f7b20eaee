#pragma once
// The start-up panel: product picture, name, slogan, the update-search note
// and the maker. It is shown inside the main window while the program starts.
#include <QWidget>

class QFrame;
class QLabel;

class TfrmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    QFrame *Pn = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *LText = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *LSearch = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Image2 = nullptr;
};

// Fixed-pitch font of the two small windows, at the given pixel size.
QFont FormFont(int pixelSize);
// A label at a fixed place with its own font size.
QLabel *PlacedLabel(QWidget *parent, const QString &text, int left, int top, int pixelSize);
// The maker's line: "by Brimvale" and the logo, anchored to the bottom-right
// corner of parent; returns the two as label and image.
void PlaceMakerLine(QWidget *parent, QLabel *&label, QLabel *&image);
// Makes a widget paint a white background.
void PaintWhite(QWidget *widget);
