#pragma once

#include "print/SystemPrinter.h"
#include "worksheet/ClassSet.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QGridLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace sbk3 {

// "Worksheet Settings": the problems, the versions, copies and keys, and the printer, for
// "New Worksheets with Settings...". OK checks what it can before anything is made: a setting
// that cannot be met is refused in the dialog with a sentence saying why.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    // The printer list's entries, the default first; "PDF file..." comes last. Without them, the
    // dialog asks the print system itself, off the window's thread, and shows "Asking the
    // printers..." meanwhile; where the print system does not answer in time, the default
    // printer is offered as such.
    SettingsDialog(const ClassSetRequest& opening,
                   const std::optional<std::vector<SystemPrinter>>& printers,
                   QWidget* parent = nullptr);

    // The print system's answer (nothing where it did not answer): the list is filled anew,
    // keeping what was chosen.
    void setPrinters(const std::optional<std::vector<SystemPrinter>>& printers);

    // The request the fields hold now.
    ClassSetRequest request() const;
    // What OK does: the refusal shown, or the questions asked (fewer different problems than
    // asked for; where the PDF goes); true when the dialog is accepted.
    bool tryAccept();
    // The sentence shown for a refused setting; empty while there is none.
    QString refusal() const;

    // The boxes OK may ask, replaceable for tests: a Yes/No question, and a save dialog (empty
    // on Cancel).
    std::function<bool(const QString&)> askYesNo;
    std::function<QString()> askPdfPath;
    // A name for settings, the current one offered; empty on Cancel.
    std::function<QString(const QString& current)> askName;

    // Named settings live in this folder (beside the worksheets); without one, the row of
    // presets is off.
    void setPresetFolder(const std::filesystem::path& folder);
    // Every field shows what the request holds.
    void fill(const ClassSetRequest& request);
    // Chooses the preset of that name, as the drop-down does; false where it cannot be used (the
    // refusal says why).
    bool choosePreset(const QString& name);
    void savePresetAs();
    void renameChosenPreset();
    void deleteChosenPreset();

private:
    // The field in the next row, beside its label, named by it for screen readers.
    template <typename Widget> Widget* labelled(const char* name, const char* label, Widget* field);
    // Binds a widget to the member of the request that member(request) gives: fill shows it,
    // request reads it back. Every setting of the dialog is one such binding.
    template <typename Widget, typename Member> Widget* bind(Widget* widget, Member member);
    QSpinBox* spin(const char* name, const char* label, int low, int high);
    // A number field of the problems, bound to its setting.
    template <typename Member>
    void number(const char* name, const char* label, int high, Member member);
    QComboBox* choice(const char* name, const char* label, const QStringList& items);
    void formChoice(int operation);
    // Builds the next rows into a page of the tabs.
    QWidget* startPage();
    QCheckBox* check(const char* name, const QString& text);
    void buildProblems();
    void buildSet();
    void buildPage();
    QLineEdit* line(const char* name, const char* label);
    void updateNote();
    // The first number field whose text is no number of its range, as a refusal; at is set to
    // it.
    std::optional<std::string> unreadableField(QWidget** at) const;
    // Shows the refusal (empty: none) and makes a screen reader read it.
    void refuse(const QString& text, QWidget* field = nullptr);

    std::vector<SystemPrinter> m_printers;
    // A setting: how its widget shows a request's value, and reads it back into a request.
    struct Field {
        std::function<void(const ClassSetRequest&)> show;
        std::function<void(ClassSetRequest&)> read;
    };
    std::vector<Field> m_fields;
    std::array<QCheckBox*, 4> m_operations{};
    std::array<QCheckBox*, 13> m_tables{};
    QCheckBox* m_useTables = nullptr;
    std::array<QCheckBox*, 13> m_divisors{}; // entry 0 unused
    QCheckBox* m_useDivisors = nullptr;
    QLabel* m_note = nullptr;
    QComboBox* m_printer = nullptr;
    QLabel* m_refusal = nullptr;
    QComboBox* m_preset = nullptr;
    QPushButton* m_savePreset = nullptr;
    QPushButton* m_renamePreset = nullptr;
    QPushButton* m_deletePreset = nullptr;
    std::filesystem::path m_presetFolder;
    void buildPresets();
    void listPresets(const QString& chosen);
    std::string m_pdfPath;
    std::string m_openingPrinter;
    QGridLayout* m_grid = nullptr;
    int m_row = 0;
};

} // namespace sbk3
