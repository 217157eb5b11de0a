// Kestrow's Huewright: the one window, its controls and what they do.
#pragma once

#include "twips_layout.h"

#include <QWidget>
#include <functional>
#include <random>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace huewright {

class ChannelBar;
class Swatch;

// Seconds since midnight, with their fraction: what "Random" seeds its numbers from.
using TimeOfDay = std::function<double()>;

double SecondsSinceMidnight();

// The controls are the program's whole state; every command reads them when it runs.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Tests pass their own clock to make "Random" repeatable; the program uses the real one.
    explicit Form1(TimeOfDay timeOfDay = SecondsSinceMidnight, QWidget* parent = nullptr);

    // Recolours `shape` from its side's bars, and says them in its tooltip.
    static void UpdateSwatch(Swatch* shape, const QScrollBar* red, const QScrollBar* green,
                             const QScrollBar* blue);

    void Generate();
    void ToClipBoard() const;
    void Swap();
    void Rndom();

    const TwipsLayout& Layout() const { return layout_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowOutputMenu(const QPoint& globalPos);
    void PaintOutputAsButtonFace(); // Text2 is output: it wears the button face
    void PlaceControls();
    void FitToFont();
    void ConnectHandlers();

    TimeOfDay timeOfDay_;
    TwipsLayout layout_{QSize(4680, 2430)};
    bool relayoutPending_ = false;
    std::mt19937_64 random_;
    QString compact_; // Text2's markup written compactly; empty after a failure

    QLabel* Label1;
    QLabel* Label2;
    Swatch* Shape1;
    Swatch* Shape2;
    QPushButton* Command4;
    ChannelBar* r1;
    ChannelBar* g1;
    ChannelBar* b1;
    ChannelBar* r2;
    ChannelBar* g2;
    ChannelBar* b2;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QCheckBox* chkBold;
    QCheckBox* chkItalic;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
};

} // namespace huewright
