// How long the window takes to show a generation, copy it and repaint, and how much memory
// it needs. Runs offscreen; prints one line per measurement with its goal.
#include "form1.h"
#include "generation.h"
#include "preview.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// Notes when a widget has been painted, so a timing can run until the user would see it.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* watched) { watched->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

// Notes when the hover preview's label has been painted.
class TipWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == u"qtooltip_label"_s) {
            painted = true;
        }
        return false;
    }
};

struct Timing {
    double median;
    double worst;
};

// Runs `action` `runs` times; each run lasts until `watched` has been painted.
Timing Measure(int runs, QWidget* watched, const std::function<void()>& action) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        PaintWatch watch(watched);
        QElapsedTimer timer;
        timer.start();
        action();
        // A step that paints nothing would otherwise wait for ever.
        while (!watch.painted && timer.elapsed() < 10'000) {
            QCoreApplication::processEvents();
        }
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

Timing Sorted(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Hovers over `box` `runs` times; each run lasts from the help event until the preview is
// painted, and starts with no preview showing.
Timing MeasureHover(int runs, QWidget* box) {
    std::vector<double> ms;
    TipWatch watch;
    QCoreApplication::instance()->installEventFilter(&watch);
    for (int i = 0; i < runs; ++i) {
        QToolTip::hideText();
        QElapsedTimer wait;
        wait.start();
        while (QToolTip::isVisible() && wait.elapsed() < 10'000) {
            QCoreApplication::processEvents();
        }
        watch.painted = false;
        QElapsedTimer timer;
        timer.start();
        QHelpEvent event(QEvent::ToolTip, QPoint(10, 5), box->mapToGlobal(QPoint(10, 5)));
        QApplication::sendEvent(box, &event);
        while (!watch.painted && timer.elapsed() < 10'000) {
            QCoreApplication::processEvents();
        }
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    QCoreApplication::instance()->removeEventFilter(&watch);
    return Sorted(ms);
}

// Runs `action` `runs` times, each timed on its own.
Timing MeasureCall(int runs, const std::function<void()>& action) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return Sorted(ms);
}

void Report(const char* what, Timing t, double goalMs) {
    std::printf("%-52s median %8.2f ms  worst %8.2f ms  goal %6.0f ms  %s\n", what, t.median,
                t.worst, goalMs, t.worst <= goalMs ? "ok" : "OVER");
}

QString TextOf(int characters) {
    const QString pattern = u"Huewright signature "_s;
    QString text;
    text.reserve(characters);
    for (int i = 0; i < characters; ++i) {
        text += pattern[i % pattern.size()];
    }
    return text;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in kilobytes on Linux
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    huewright::Form1 window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("window_bench: the window never appeared\n", stderr);
        return 1;
    }
    auto* text1 = window.findChild<QLineEdit*>(u"Text1"_s);
    auto* text2 = window.findChild<QLineEdit*>(u"Text2"_s);
    auto* generate = window.findChild<QPushButton*>(u"Command1"_s);
    auto* toClipBoard = window.findChild<QPushButton*>(u"Command3"_s);
    // Red falls and blue rises across the text, the usual kind of gradient.
    window.findChild<QScrollBar*>(u"r1"_s)->setValue(255);
    window.findChild<QScrollBar*>(u"b2"_s)->setValue(255);

    const auto clickGenerate = [&] { QTest::mouseClick(generate, Qt::LeftButton); };
    struct Size {
        int characters;
        int runs;
        double goalMs;
    };
    // The preview shows the first 200 characters: on both backgrounds, with the contrast line.
    text1->setText(TextOf(huewright::kPreviewCharacters));
    clickGenerate();
    // The first hover also creates the tooltip's window.
    Report("first hover preview until painted, 200 characters", MeasureHover(1, text2), 16);
    Report("hover preview until painted, 200 characters", MeasureHover(50, text2), 16);

    // A signature, a long one, a whole 60,000-character post's worth, and the most there is.
    for (const Size size :
         {Size{20, 50, 16}, Size{1'000, 50, 16}, Size{2'600, 20, 50}, Size{99'999, 7, 2'000}}) {
        text1->setText(TextOf(size.characters));
        const QByteArray what = QByteArray("Generate until Text2 painted, ") +
                                QByteArray::number(size.characters) + " chars";
        Report(what.constData(), Measure(size.runs, text2, clickGenerate), size.goalMs);
    }
    std::printf("  (output of 99,999 characters: %lld units)\n",
                static_cast<long long>(text2->text().size()));

    Report("To ClipBoard, largest output",
           Measure(7, toClipBoard,
                   [&] {
                       QTest::mouseClick(toClipBoard, Qt::LeftButton);
                       toClipBoard->update();
                   }),
           200);
    if (QGuiApplication::clipboard()->text().size() != text2->text().size()) {
        std::fputs("window_bench: the clipboard did not get the whole output\n", stderr);
        return 1;
    }

    Report("repaint of the whole window", Measure(20, &window, [&] { window.update(); }), 200);
    Report("Ctrl+A in Text2, repaint",
           Measure(7, text2,
                   [&] {
                       text2->deselect();
                       QTest::keyClick(text2, Qt::Key_A, Qt::ControlModifier);
                   }),
           200);
    Report("Home, then End in Text2, repaint",
           Measure(7, text2,
                   [&] {
                       QTest::keyClick(text2, Qt::Key_Home);
                       QTest::keyClick(text2, Qt::Key_End);
                   }),
           200);
    Report("click and drag in Text2, repaint",
           Measure(7, text2,
                   [&] {
                       QTest::mousePress(text2, Qt::LeftButton, {}, QPoint(5, 9));
                       QTest::mouseMove(text2, QPoint(text2->width() + 30, 9));
                       QTest::mouseRelease(text2, Qt::LeftButton, {},
                                           QPoint(text2->width() + 30, 9));
                   }),
           200);
    Report("hover preview of the largest output until painted", MeasureHover(7, text2), 200);
    // What the window's description reads: the compact form of the same generation.
    const huewright::WindowGeneration largest =
        huewright::GenerateMarkup(text1->text(), {255, 0, 0}, {0, 0, 255}, false, false);
    qsizetype said = 0;
    Report("contrast line, largest output (compact form)",
           MeasureCall(7, [&] { said += huewright::ContrastLine(largest.compact).size(); }), 16);
    Report("contrast line, largest output (full form)",
           MeasureCall(7, [&] { said += huewright::ContrastLine(text2->text()).size(); }), 16);
    if (said == 0) {
        std::fputs("window_bench: no contrast line for a red-to-blue gradient\n", stderr);
        return 1;
    }
    // What a screen reader asks while reading the middle of the largest output by character,
    // word and line, then selecting there; timed until the box shows the selection.
    QAccessibleTextInterface* reader =
        QAccessible::queryAccessibleInterface(text2)->textInterface();
    const int middle = static_cast<int>(text2->text().size() / 2);
    qsizetype answered = 0;
    Report("screen reader: 7 reads by boundary, select, repaint",
           Measure(7, text2,
                   [&] {
                       text2->deselect(); // so that every run changes the selection
                       int from = 0;
                       int to = 0;
                       for (const auto boundary :
                            {QAccessible::CharBoundary, QAccessible::WordBoundary,
                             QAccessible::LineBoundary}) {
                           answered += reader->textAtOffset(middle, boundary, &from, &to).size();
                           answered += reader->textAfterOffset(middle, boundary, &from, &to).size();
                       }
                       answered += reader->characterRect(reader->cursorPosition()).width();
                       reader->setSelection(0, middle, middle + 24);
                   }),
           16);
    if (answered == 0) {
        return 1;
    }
    std::printf("%-52s %8.1f MB  goal    300 MB  %s\n", "peak memory (ru_maxrss)", PeakMegabytes(),
                PeakMegabytes() <= 300 ? "ok" : "OVER");

    return 0;
}
