#pragma once

#include <QComboBox>

namespace sbk3 {

// The drop-down list of problem types. Screen readers get its accessible name (its label's
// text) as its name and the selected item as its value; Qt on Linux would name it by the
// selected item.
class TypeList : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    // Makes Qt's accessibility ask this class for the lists' interfaces; call once.
    static void installAccessibility();
};

} // namespace sbk3
