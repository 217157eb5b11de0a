// One channel's scroll bar: it shows when it has the keyboard focus, and passes the
// keyboard's menu request on to its side's swatch.
#pragma once

#include <QPointer>
#include <QScrollBar>

namespace huewright {

class ChannelBar : public QScrollBar {
    Q_OBJECT

public:
    using QScrollBar::QScrollBar;

    // The widget whose context menu the menu key and Shift+F10 open, at its centre. The
    // swatches take no focus, so this is how the keyboard reaches their commands.
    void SetMenuWidget(QWidget* widget) { menuWidget_ = widget; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void OpenMenuWidgetMenu(QEvent& event);

    QPointer<QWidget> menuWidget_;
};

} // namespace huewright
