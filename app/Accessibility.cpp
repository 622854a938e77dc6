#include "app/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace sbk3 {
namespace {

class Watcher : public QAccessible::ActivationObserver {
public:
    Watcher() { QAccessible::installActivationObserver(this); }
    void accessibilityActiveChanged(bool active) override {
        on = active;
        if (active)
            Q_EMIT signals.turnedOn();
    }
    bool on = false;
    AssistiveTechnologySignals signals;
};

Watcher& watcher() {
    static Watcher watching;
    return watching;
}

// A text box as screen readers read it. Qt's own answers a word asked for at the end of the text
// by spinning for ever (Qt 6.4), and every run of attributes as empty, after which a screen reader
// reads a selected text without its last character. This one answers both, and the rest as
// Qt's does.
class AccessibleLineEdit : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit AccessibleLineEdit(QLineEdit* edit)
        : QAccessibleWidget(edit, QAccessible::EditableText) {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    }

    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }

    // What is shown: dots for a password.
    QString shown() const { return edit()->displayText(); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return edit()->echoMode() == QLineEdit::Normal ? edit()->text() : shown();
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value && !edit()->isReadOnly())
            edit()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !edit()->isReadOnly();
        state.readOnly = edit()->isReadOnly();
        state.selectableText = true;
        state.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text interface.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !edit()->hasSelectedText())
            return;
        *startOffset = edit()->selectionStart();
        *endOffset = edit()->selectionEnd();
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0)
            edit()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0)
            edit()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override {
        if (startOffset > endOffset)
            return {};
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QRect characterRect(int offset) const override {
        // The cursor's rectangle moved to the character, as wide as it.
        const QLineEdit* box = edit();
        const QString text = shown();
        const QRect cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QFontMetrics metrics = box->fontMetrics();
        const int at = cursor.x() + metrics.horizontalAdvance(text.left(offset)) -
                       metrics.horizontalAdvance(text.left(box->cursorPosition()));
        const int width =
            offset >= 0 && offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 0;
        return QRect(box->mapToGlobal(QPoint(at, cursor.y())), QSize(width, cursor.height()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }
    // One run over the whole text, of the box's own look: a text box has no runs of its own.
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        (void)offset;
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    // A word or sentence asked for at the end of the text is the one the text ends in.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override {
        const int count = characterCount();
        if (count > 0 && offset >= count &&
            (boundaryType == QAccessible::WordBoundary ||
             boundaryType == QAccessible::SentenceBoundary))
            offset = count - 1;
        return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
    }

    // The editable text interface.
    void deleteText(int startOffset, int endOffset) override {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        if (edit()->isReadOnly() || startOffset > endOffset)
            return;
        QString now = edit()->text();
        now.replace(startOffset, endOffset - startOffset, text);
        edit()->setText(now);
    }
};

// A drop-down read with its value: "Type: Addition, combo box" on focus. Screen readers take a
// labelled box's label for its name and read no value when it takes focus, and they ignore a
// box's change of name: so the box is named by its label and its value, labels no longer
// stand for it, and each new value is announced.
class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: {
            QString label = box()->accessibleName();
            if (label.isEmpty())
                return box()->currentText();
            if (!label.endsWith(QLatin1Char(':')))
                label += QLatin1Char(':');
            return label + QLatin1Char(' ') + box()->currentText();
        }
        case QAccessible::Value:
            return box()->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        return QAccessibleWidget::relations(match & ~QAccessible::Relation(QAccessible::Label));
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == showMenuAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

// What announce shows: a notification, read as it appears.
class AccessibleAnnouncement : public QAccessibleWidget {
public:
    explicit AccessibleAnnouncement(QWidget* shown)
        : QAccessibleWidget(shown, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// Read, never seen: it paints nothing.
class Announcement : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {}
};

QAccessibleInterface* ownFactory(const QString& className, QObject* object) {
    (void)className;
    if (auto* line = qobject_cast<QLineEdit*>(object))
        return new AccessibleLineEdit(line);
    if (auto* box = qobject_cast<QComboBox*>(object)) {
        // Asked for once a box: its new values are announced from then on, while it has focus.
        QObject::connect(box, &QComboBox::currentIndexChanged, box, [box] {
            if (box->hasFocus() && !box->view()->isVisible())
                announce(box, box->currentText());
        });
        return new AccessibleComboBox(box);
    }
    if (auto* shown = qobject_cast<Announcement*>(object))
        return new AccessibleAnnouncement(shown);
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        watcher();
        QAccessible::installFactory(ownFactory);
        return true;
    }();
    (void)installed;
}

AssistiveTechnologySignals& assistiveTechnologySignals() {
    return watcher().signals;
}

bool assistiveTechnologyOn() {
    return QAccessible::isActive() || watcher().on;
}

void announce(QWidget* window, const QString& text) {
    if (!window || text.isEmpty())
        return;
    window = window->window();
    auto* shown = window->findChild<Announcement*>(QStringLiteral("announcement"),
                                                   Qt::FindDirectChildrenOnly);
    if (!shown) {
        shown = new Announcement(window);
        shown->setObjectName(QStringLiteral("announcement"));
        shown->setGeometry(0, 0, 1, 1); // a point in the corner, under the window's controls
    }
    shown->hide();
    shown->setText(text);
    shown->lower();
    shown->show();
}

} // namespace sbk3

#include "Accessibility.moc"
