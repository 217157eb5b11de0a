// What assistive tools are told about the window: its role and name, and which caption labels
// which swatch. (The output box's text interface is tested with the box itself.)
#include "swatch.h"
#include "window_test_support.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

namespace {

// The objects `accessible` has `relation` to.
QList<QObject*> Related(QAccessibleInterface* accessible, QAccessible::Relation relation) {
    QList<QObject*> objects;
    const auto relations = accessible->relations(relation);
    for (const auto& [other, kind] : relations) {
        objects.append(other->object());
    }
    return objects;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init() { window_ = huewright::test::ShowWindow(); }
    void cleanup() { window_.reset(); }

    void windowIsAWindowNamedByItsCaption();
    void captionsLabelTheSwatches_data();
    void captionsLabelTheSwatches();

private:
    std::unique_ptr<huewright::Form1> window_;
};

void AccessibilityTest::windowIsAWindowNamedByItsCaption() {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window_.get());
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::Window);
    QCOMPARE(accessible->text(QAccessible::Name), u"Kestrow's Huewright"_s);
}

void AccessibilityTest::captionsLabelTheSwatches_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("swatch");
    QTest::newRow("Start") << u"Label1"_s << u"Shape1"_s;
    QTest::newRow("End") << u"Label2"_s << u"Shape2"_s;
}

void AccessibilityTest::captionsLabelTheSwatches() {
    QFETCH(QString, label);
    QFETCH(QString, swatch);
    auto* caption = Find<QLabel>(*window_, label);
    auto* square = Find<huewright::Swatch>(*window_, swatch);
    // Both ends of the relation: what the caption labels, and what labels the swatch.
    const QList<QObject*> labelled =
        Related(QAccessible::queryAccessibleInterface(caption), QAccessible::Labelled);
    QCOMPARE(labelled, QList<QObject*>{square});
    const QList<QObject*> labels =
        Related(QAccessible::queryAccessibleInterface(square), QAccessible::Label);
    QCOMPARE(labels, QList<QObject*>{caption});
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
