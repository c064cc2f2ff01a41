#pragma once

#include "app/formwindow.h"
#include "settings/textlines.h"

#include <optional>

class QAction;
class QLabel;

namespace plovista {

class RecordsView;

// The records viewer: the current records file, unchanged, in a fixed-pitch
// box between two rows of column headings. The one window destroyed when it
// closes: open it through app.recordsForm().
class RecordsForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit RecordsForm(App &app);

    // The operation menu's "View Records". With no records the menu comes
    // back with a message and the viewer goes away unseen.
    void openForStudent();
    // The teacher's records sub-menu: shows the viewer with "Print" and
    // returns true, or returns false with the viewer not shown: when there
    // are no records (the sub-menu tells the teacher) unless evenWhenEmpty,
    // or when the file cannot be read (the viewer has told the teacher why).
    // Closing the teacher's view emits teacherViewClosed for the sub-menu to
    // come back.
    bool openForTeacher(bool evenWhenEmpty = false);
    // A saved record file, for the teacher: its records under the caption,
    // with "Print"; closing it emits teacherViewClosed too.
    void showSavedForTeacher(const QString &caption, TextLines records);

    void PrintRecords_Click();
    void help_Click();

Q_SIGNALS:
    void teacherViewClosed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Loads the current records into the box (empty when there are none).
    // Why they could not be read, if they could not.
    std::optional<QString> GetCurrentRecords();
    void tellUnreadable(const QString &why);

    RecordsView *m_recordsBox = nullptr;
    QAction *m_printRecords = nullptr;
    QList<QLabel *> m_headings;
    bool m_teacherView = false;
};

} // namespace plovista
