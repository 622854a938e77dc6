#pragma once

#include <QComboBox>

namespace sbk3 {

// The drop-down list of problem types. Screen readers read it as every drop-down of the program:
// its label and its value, and each new value as it changes.
class TypeList : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;
};

} // namespace sbk3
