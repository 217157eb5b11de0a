#include "accessibility.h"

#include "form1.h"
#include "swatch.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace huewright {

namespace {

// Screen readers meet the swatch as a picture of its colour that offers the menu's three
// commands as its actions, since the swatch itself never takes the keyboard focus.
class AccessibleSwatch : public QAccessibleWidget {
public:
    explicit AccessibleSwatch(Swatch* swatch) : QAccessibleWidget(swatch, QAccessible::Graphic) {}

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() + Ours(); }

    QString localizedActionName(const QString& name) const override {
        return Ours().contains(name) ? name : QAccessibleWidget::localizedActionName(name);
    }

    QString localizedActionDescription(const QString& name) const override {
        return Ours().contains(name) ? name : QAccessibleWidget::localizedActionDescription(name);
    }

    void doAction(const QString& name) override {
        auto* shape = static_cast<Swatch*>(widget());
        if (name == Swatch::CopyText()) {
            shape->CopyColour();
        } else if (name == Swatch::PasteText()) {
            shape->PasteColour();
        } else if (name == Swatch::ChooseText()) {
            // The dialog runs its own event loop; the assistive tool gets its answer first.
            QMetaObject::invokeMethod(shape, &Swatch::ChooseColour, Qt::QueuedConnection);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    static QStringList Ours() {
        return {Swatch::CopyText(), Swatch::PasteText(), Swatch::ChooseText()};
    }
};

// Qt describes a plain top-level widget as a "filler"; the program's window is a window, and its
// name (the caption) is what screen readers say on entering it.
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("huewright::Form1")) {
        return new QAccessibleWidget(static_cast<Form1*>(object), QAccessible::Window);
    }
    if (className == QLatin1String("huewright::Swatch")) {
        return new AccessibleSwatch(static_cast<Swatch*>(object));
    }
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    QAccessible::installFactory(AccessibleFactory); // Qt keeps one entry however often called
}

} // namespace huewright
