#include "app/TypeList.h"

#include "app/Accessibility.h"

namespace sbk3 {

void TypeList::installAccessibility() {
    sbk3::installAccessibility();
}

} // namespace sbk3
