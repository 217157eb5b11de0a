// One channel's scroll bar: it shows its focus, and passes the menu key on to its swatch.
#pragma once

#include <QPointer>
#include <QScrollBar>

namespace huewright {

class ChannelBar : public QScrollBar {
    Q_OBJECT

public:
    using QScrollBar::QScrollBar;

    // Whose menu the menu key and Shift+F10 open: the keyboard's way to a swatch's commands.
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
