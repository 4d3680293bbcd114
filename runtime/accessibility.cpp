#include "accessibility.h"

#include "accessible/accessible.h"

namespace runtime {

namespace {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    // Qt asks once for each class of the object's ancestry, the object's own
    // first; only that first question is answered here.
    if (!object || !object->isWidgetType() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    for (const auto interfaceFor :
         {accessible::windowInterface, accessible::buttonInterface, accessible::textInterface}) {
        if (QAccessibleInterface *made = interfaceFor(widget))
            return made;
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        accessible::installAnnouncements();
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace runtime
