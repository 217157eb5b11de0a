#include "form1.h"

#include "channel_bar.h"
#include "fixed_size_guard.h"
#include "generation.h"
#include "preview.h"
#include "swatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTime>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>

namespace huewright {

namespace {

template <typename Control>
Control* Make(QWidget* parent, TwipsLayout& layout, const QString& name, const QRect& twips) {
    auto* control = new Control(parent);
    control->setObjectName(name);
    layout.Add(control, twips);
    return control;
}

ChannelBar* MakeBar(QWidget* parent, TwipsLayout& layout, const QString& name, int left,
                    Channel channel) {
    auto* bar = Make<ChannelBar>(parent, layout, name, QRect(left, 1080, 255, 1215));
    bar->setOrientation(Qt::Vertical);
    bar->setRange(0, kMaxChannel); // a step of 1, the default
    bar->setPageStep(4);
    // Bars are keyboard controls here: Tab reaches them and the arrow keys move them.
    bar->setFocusPolicy(Qt::StrongFocus);
    // "Start red" to a screen reader, as a failure message says "start red".
    QString accessible = QString::fromLatin1(kChannelNames.at(static_cast<std::size_t>(channel)));
    accessible[0] = accessible[0].toUpper();
    bar->setAccessibleName(accessible);
    return bar;
}

QPushButton* MakeButton(QWidget* parent, TwipsLayout& layout, const QString& name,
                        const QString& caption, const QRect& twips) {
    auto* button = Make<QPushButton>(parent, layout, name, twips);
    button->setText(caption);
    // Enter presses the focused button; outside a dialog that is all auto-default does.
    button->setAutoDefault(true);
    return button;
}

void SetBars(QScrollBar* red, QScrollBar* green, QScrollBar* blue, const Colour& colour) {
    red->setValue(colour.red);
    green->setValue(colour.green);
    blue->setValue(colour.blue);
}

// Empties the clipboard first, so that no other format of what it held stays beside the text.
void ReplaceClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace

double SecondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

Form1::Form1(TimeOfDay timeOfDay, QWidget* parent)
    // A normal window whose title bar asks for close alone.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      timeOfDay_(std::move(timeOfDay)) {
    // First: Qt 6.8 describes the window once it is titled, and keeps that description.
    InstallAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kestrow's Huewright"));
    PlaceControls();
    Label1->setBuddy(Shape1); // the captions name the swatches to screen readers
    Label2->setBuddy(Shape2);
    FitToFont();
    new FixedSizeGuard(this); // the window owns it
    ConnectHandlers();
    r1->setFocus();
}

void Form1::PlaceControls() {
    // Back to front: the bars and the swap button sit over the swatches' edges.
    Shape1 = Make<Swatch>(this, layout_, QStringLiteral("Shape1"), {120, 360, 735, 735});
    Shape1->setAccessibleName(tr("Start colour"));
    Shape2 = Make<Swatch>(this, layout_, QStringLiteral("Shape2"), {1200, 360, 735, 735});
    Shape2->setAccessibleName(tr("End colour"));

    Label1 = Make<QLabel>(this, layout_, QStringLiteral("Label1"), {120, 120, 330, 195});
    Label1->setText(tr("Start"));
    Label2 = Make<QLabel>(this, layout_, QStringLiteral("Label2"), {1200, 120, 285, 195});
    Label2->setText(tr("End"));

    r1 = MakeBar(this, layout_, QStringLiteral("r1"), 120, Channel::StartRed);
    g1 = MakeBar(this, layout_, QStringLiteral("g1"), 360, Channel::StartGreen);
    b1 = MakeBar(this, layout_, QStringLiteral("b1"), 600, Channel::StartBlue);
    r2 = MakeBar(this, layout_, QStringLiteral("r2"), 1200, Channel::EndRed);
    g2 = MakeBar(this, layout_, QStringLiteral("g2"), 1440, Channel::EndGreen);
    b2 = MakeBar(this, layout_, QStringLiteral("b2"), 1680, Channel::EndBlue);

    Command4 = MakeButton(this, layout_, QStringLiteral("Command4"), QStringLiteral("<>"),
                          {840, 360, 375, 255});
    Command4->setAccessibleName(tr("Swap start and end colours"));

    Text1 = Make<QLineEdit>(this, layout_, QStringLiteral("Text1"), {2040, 360, 2535, 285});
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Text1->setAccessibleName(tr("Text to colour"));
    Text2 = Make<QLineEdit>(this, layout_, QStringLiteral("Text2"), {2040, 720, 2535, 285});
    Text2->setReadOnly(true);
    Text2->setMaxLength(std::numeric_limits<int>::max());
    Text2->setAccessibleName(tr("Generated markup"));
    PaintOutputAsButtonFace();
    // Its hover preview, its menu and its palette are the window's business.
    Text2->installEventFilter(this);

    chkBold = Make<QCheckBox>(this, layout_, QStringLiteral("chkBold"), {2040, 1080, 735, 255});
    chkBold->setText(tr("Bold"));
    chkItalic = Make<QCheckBox>(this, layout_, QStringLiteral("chkItalic"), {2040, 1320, 735, 255});
    chkItalic->setText(tr("Italic"));

    Command3 = MakeButton(this, layout_, QStringLiteral("Command3"), tr("To ClipBoard"),
                          {3480, 1080, 1095, 255});
    Command2 = MakeButton(this, layout_, QStringLiteral("Command2"), tr("Random"),
                          {3480, 1680, 1095, 255});
    Command1 = MakeButton(this, layout_, QStringLiteral("Command1"), tr("Generate"),
                          {3480, 2040, 1095, 255});

    const std::array<QWidget*, 14> tabOrder{r1,      g1,        b1,       r2,       g2,
                                            b2,      Text1,     Text2,    Command1, Command2,
                                            chkBold, chkItalic, Command3, Command4};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
}

void Form1::FitToFont() {
    relayoutPending_ = false;
    layout_.Apply(*this, layout_.FittingScale());
}

void Form1::changeEvent(QEvent* event) {
    // The desktop's font or style changed; the children learn of it later, so wait for them.
    if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) &&
        !relayoutPending_) {
        relayoutPending_ = true;
        QMetaObject::invokeMethod(this, &Form1::FitToFont, Qt::QueuedConnection);
    }
    QWidget::changeEvent(event);
}

void Form1::ConnectHandlers() {
    const auto wireSide = [this](Swatch* shape, ChannelBar* red, ChannelBar* green,
                                 ChannelBar* blue) {
        // Change and Scroll (a dragged thumb) of every bar recolour its side's swatch.
        const auto update = [shape, red, green, blue] { UpdateSwatch(shape, red, green, blue); };
        for (ChannelBar* bar : {red, green, blue}) {
            connect(bar, &QScrollBar::valueChanged, this, update);
            connect(bar, &QScrollBar::sliderMoved, this, update);
            bar->SetMenuWidget(shape);
        }
        // A colour picked on a swatch sets its side's bars, as a hand would.
        connect(shape, &Swatch::ColourPicked, this,
                [red, green, blue](const Colour& colour) { SetBars(red, green, blue, colour); });
        update(); // its tooltip from the start
    };
    wireSide(Shape1, r1, g1, b1);
    wireSide(Shape2, r2, g2, b2);
    connect(Command1, &QPushButton::clicked, this, &Form1::Generate);
    connect(Command2, &QPushButton::clicked, this, &Form1::Rndom);
    connect(Command3, &QPushButton::clicked, this, &Form1::ToClipBoard);
    connect(Command4, &QPushButton::clicked, this, &Form1::Swap);
}

void Form1::UpdateSwatch(Swatch* shape, const QScrollBar* red, const QScrollBar* green,
                         const QScrollBar* blue) {
    // The slider position is where the thumb is, even mid-drag before the value catches up.
    const int r = red->sliderPosition();
    const int g = green->sliderPosition();
    const int b = blue->sliderPosition();
    // A swatch shows what a screen can: a bar at 256 shows as 255.
    const auto shown = [](int value) { return std::clamp(value, 0, 255); };
    shape->SetFillColour(QColor(shown(r), shown(g), shown(b)));
    shape->setToolTip(tr("%1 (red %2, green %3, blue %4)")
                          .arg(QString::fromStdString(FormatColour({r, g, b})), QString::number(r),
                               QString::number(g), QString::number(b)));
}

void Form1::Generate() {
    Text2->setText(QString());
    const WindowGeneration generation = GenerateMarkup(
        Text1->text(), {r1->value(), g1->value(), b1->value()},
        {r2->value(), g2->value(), b2->value()}, chkBold->checkState() == Qt::Checked,
        chkItalic->checkState() == Qt::Checked);
    compact_ = generation.compact;
    Text2->setText(generation.output);
    // setText leaves the caret at the end; the start of the markup is what to see first.
    Text2->setCursorPosition(0);
    Text2->setAccessibleDescription(OutputDescription(generation.output, compact_));
    if (generation.failure) {
        QMessageBox box(QMessageBox::Critical, tr("Error"), *generation.failure, QMessageBox::Ok,
                        this);
        // The description may quote what was typed; it is never read as markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

void Form1::ToClipBoard() const {
    ReplaceClipboard(Text2->text());
}

void Form1::ShowOutputMenu(const QPoint& globalPos) {
    const std::unique_ptr<QMenu> menu(Text2->createStandardContextMenu());
    auto* compact = new QAction(tr("Copy compact markup"), menu.get());
    compact->setObjectName(QStringLiteral("copyCompactMarkup"));
    compact->setEnabled(!compact_.isEmpty());
    connect(compact, &QAction::triggered, this, [this] { ReplaceClipboard(compact_); });
    // A read-only line edit offers Copy, a separator, Select All: the new item joins Copy.
    const QList<QAction*> actions = menu->actions();
    const auto separator =
        std::ranges::find_if(actions.rbegin(), actions.rend(), &QAction::isSeparator);
    menu->insertAction(separator == actions.rend() ? nullptr : *separator, compact);
    menu->exec(globalPos);
}

void Form1::PaintOutputAsButtonFace() {
    QPalette palette = Text2->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Button));
    }
    // Only on a change: setting the palette sends PaletteChange, which brings us here again.
    if (palette != Text2->palette()) {
        Text2->setPalette(palette);
    }
}

void Form1::Swap() {
    const Colour start{r1->value(), g1->value(), b1->value()};
    SetBars(r1, g1, b1, {r2->value(), g2->value(), b2->value()});
    SetBars(r2, g2, b2, start);
}

void Form1::Rndom() {
    // A clock that fails leaves the generator as it was; the bars are still set.
    try {
        const double seconds = timeOfDay_();
        const auto bits = std::bit_cast<std::uint64_t>(seconds);
        std::seed_seq seed{static_cast<std::uint32_t>(bits),
                           static_cast<std::uint32_t>(bits >> 32)};
        random_.seed(seed);
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): ignoring is the contract
    }
    for (QScrollBar* bar : {r1, r2, g1, g2, b1, b2}) {
        // 53 random bits times 2^-53: u < 1 always, which some distributions round up from.
        const double u = static_cast<double>(random_() >> 11) * 0x1.0p-53;
        bar->setValue(static_cast<int>(std::floor(u * bar->maximum())));
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = watched == Text2 ? event->type() : QEvent::None;
    if (type == QEvent::PaletteChange) {
        // A new desktop theme: its button face, not the one of the theme before.
        PaintOutputAsButtonFace();
    } else if (type == QEvent::ContextMenu) {
        ShowOutputMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    } else if (type == QEvent::ToolTip) {
        const QString tip = PreviewToolTip(Text2->text(), compact_, QToolTip::font(),
                                           Text2->screen()->availableGeometry().size());
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, Text2);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace huewright
