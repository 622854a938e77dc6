#include "app/TypeList.h"

#include <QAccessibleWidget>

namespace sbk3 {
namespace {

class AccessibleTypeList : public QAccessibleWidget {
public:
    explicit AccessibleTypeList(TypeList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QString text(QAccessible::Text t) const override {
        const auto* list = static_cast<const TypeList*>(widget());
        switch (t) {
        case QAccessible::Name:
            return list->accessibleName();
        case QAccessible::Value:
            return list->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == showMenuAction())
            static_cast<TypeList*>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* typeListFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(TypeList::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new AccessibleTypeList(static_cast<TypeList*>(object));
    return nullptr;
}

} // namespace

void TypeList::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(typeListFactory);
        return true;
    }();
    (void)installed;
}

} // namespace sbk3
