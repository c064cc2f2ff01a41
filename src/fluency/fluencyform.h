#pragma once

#include "app/formwindow.h"
#include "fluency/fluencygrid.h"

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace plovista {

class FluencyView;

// The teacher's fluency grid: pick a student from the names in the answer
// log and an operation, and see which facts the student knows. Prints the
// grid and exports the whole class for a spreadsheet.
class FluencyForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit FluencyForm(App &app);

    // Opens from a teacher's window, which hides until the grid is closed
    // (the Utility Menu: the hub's showUtilityMenu brings it back). The log
    // is read afresh, with this computer's latest answers in it.
    void openFrom(QWidget &opener);

    // Asks where the class export goes; an empty answer cancels. A file
    // dialog unless replaced.
    using SaveFileChooser = std::function<QString(const QString &suggested)>;
    void setSaveFileChooser(SaveFileChooser chooser) { m_chooseSaveFile = std::move(chooser); }

    void PrintButt_Click();
    void ExportButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString logFolder() const;
    int thresholdMs() const;
    void loadStudents();
    void studentChosen();
    void showGrid();
    void showNotice();

    QComboBox *m_studentList = nullptr;
    QComboBox *m_operationList = nullptr;
    FluencyView *m_view = nullptr;
    QLabel *m_notice = nullptr;
    QPushButton *m_printButt = nullptr;
    QPushButton *m_exportButt = nullptr;
    SaveFileChooser m_chooseSaveFile;

    QString m_student;
    std::optional<StudentLog> m_log;
};

} // namespace plovista
