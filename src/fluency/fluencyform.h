#pragma once

#include "app/formwindow.h"
#include "fluency/backgroundwork.h"
#include "fluency/classexport.h"
#include "fluency/fluencygrid.h"

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace plovista {

class AnswerLogWriter;
class FluencyView;
class WorkProgressRow;

// The answers of this computer's last drill may still be on their way; a
// share that hangs is not waited for long (the notice then says so), and a
// cancel is not held up by it.
void waitForLatestAnswers(AnswerLogWriter &writer, const WorkProgress &progress);

// The teacher's fluency grid: pick a student from the names in the answer
// log and an operation, and see which facts the student knows. Prints the
// grid and exports the whole class for a spreadsheet. The log is read, and
// the class exported, on a thread of their own, with a progress bar and
// Cancel, so the window stays free however long the log.
class FluencyForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit FluencyForm(App &app);

    // Opens from a teacher's window, which hides until the grid is closed
    // (the Utility Menu: the hub's showUtilityMenu brings it back). The log
    // is read afresh, with this computer's latest answers in it.
    void openFrom(QWidget &opener);
    // Cancels a reading or an export under way, and waits a little for it to
    // end, so an export leaves no file behind: the program is ending.
    void stopWork();

    // Asks where the class export goes; an empty answer cancels. A file
    // dialog unless replaced.
    using SaveFileChooser = std::function<QString(const QString &suggested)>;
    void setSaveFileChooser(SaveFileChooser chooser) { m_chooseSaveFile = std::move(chooser); }

    void PrintButt_Click();
    void ClassButt_Click();
    void ExportButt_Click();
    void ExportWideButt_Click();
    void CancelButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Work { None, Reading, Exporting };

    QString logFolder() const;
    int thresholdMs() const;
    // Reads the log for the student chosen; with the list, the list of
    // students first (the student chosen before is kept when still there).
    void startReading(bool withList);
    void studentChosen();
    void studentsRead(const std::optional<QStringList> &students, const QString &student,
                      std::optional<StudentLog> log);
    void exportAs(ExportShape shape);
    void classExported(const ClassExport &result, const QString &path);
    void startWork(Work work, const QString &caption, BackgroundWork::Work piece);
    void workEnded();
    void showGrid();
    void showNotice();

    QComboBox *m_studentList = nullptr;
    QComboBox *m_operationList = nullptr;
    FluencyView *m_view = nullptr;
    QLabel *m_notice = nullptr;
    QPushButton *m_printButt = nullptr;
    QPushButton *m_classButt = nullptr;
    QPushButton *m_exportButt = nullptr;
    QPushButton *m_exportWideButt = nullptr;
    WorkProgressRow *m_workRow = nullptr;
    SaveFileChooser m_chooseSaveFile;

    QString m_student;
    std::optional<StudentLog> m_log;
    Work m_working = Work::None;
};

} // namespace plovista
