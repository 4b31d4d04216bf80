// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Accessible interfaces of the main window's own widgets.
#include "platform/control_accessibility.h"

#include <QAccessibleWidget>

#include "platform/oil_price_window.h"
#include "platform/twip_label.h"

namespace brevane {
namespace {

/// A label read as a QLabel would be: its caption as the name (line breaks kept), its
/// tooltip as plain text for the description. A link label reads as a link with one
/// action, press, which does what a click does. Role and texts are read afresh on every
/// call, since the interface may be made before the window has set the label up.
class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(TwipLabel* label) : QAccessibleWidget(label) {}

    QAccessible::Role role() const override {
        return label()->isLink() ? QAccessible::Link : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name:
                return label()->caption();
            case QAccessible::Description:
                return label()->plainToolTip();
            default:
                return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = label()->isLink();
        return s;
    }

    QStringList actionNames() const override {
        return label()->isLink() ? QStringList{pressAction()} : QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (label()->isLink() && actionName == pressAction()) {
            label()->click();
        } else {
            QAccessibleWidget::doAction(actionName);
        }
    }

private:
    TwipLabel* label() const { return static_cast<TwipLabel*>(widget()); }
};

QAccessibleInterface* ControlInterface(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (className == QLatin1String(TwipLabel::staticMetaObject.className())) {
        return new LabelAccessible(static_cast<TwipLabel*>(widget));
    }
    if (className == QLatin1String(GroupFrame::staticMetaObject.className())) {
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    }
    if (className == QLatin1String(OilPrice::staticMetaObject.className())) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&ControlInterface);
        return true;
    }();
}

}  // namespace brevane
