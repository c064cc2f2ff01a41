#include "teacher/subutility.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/twips.h"
#include "drill/recordline.h"
#include "records/recordsform.h"
#include "records/savedrecords.h"
#include "records/savedrecordsform.h"
#include "records/saverecordsform.h"
#include "selection/optionbutton.h"
#include "settings/settingkeys.h"
#include "teacher/formsize.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace plovista {

namespace {

struct Shape
{
    const char *caption;
    int width;
    int height;
    std::array<const char *, 6> captions; // nullptr: hidden
    std::array<const char *, 6> tips;
};

const Shape &shapeOf(UtilityChoice choice)
{
    static const Shape menuBar {
        "Menu Bar", 2300, 2700, {"Visible", "Invisible", nullptr, nullptr, nullptr, nullptr}, {}};
    static const Shape facts {"Number of Facts", 2700, 4500, {"10", "20", "30", "40", "50", nullptr}, {}};
    static const Shape speed {"Speed Goal", 2700, 4500, {"5.0", "3.5", "3.0", "2.5", "2.0", nullptr}, {}};
    static const Shape accuracy {"Accuracy Goal", 2700, 4500, {"80", "85", "90", "95", "100", nullptr}, {}};
    static const Shape records {"Records",
                                7000,
                                2900,
                                {"View", "Delete", "Save", "View", "Delete", "Rename"},
                                {" View current records ", " Delete current records ",
                                 " Save current records to a file ", " Retrieve saved record files for viewing ",
                                 " Remove saved record files ", " Rename saved record files "}};
    switch (choice) {
    case UtilityChoice::MenuBar:
        return menuBar;
    case UtilityChoice::SetSpeedGoals:
        return speed;
    case UtilityChoice::SetAccuracyGoals:
        return accuracy;
    case UtilityChoice::Records:
        return records;
    default:
        return facts;
    }
}

const QString NoCurrentRecords = QStringLiteral("There are no current records.");
const QString NoSavedRecords = QStringLiteral("There are no saved records.");

constexpr int ColumnLeft = 720;
constexpr int FirstTop = 240;
constexpr int ColumnStep = 540;
constexpr int AcceptWidth = 1215;
constexpr int AcceptHeight = 420;

} // namespace

SubUtility::SubUtility(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("SubUtility"))
{
    setWindowTitle(QStringLiteral("Number of Facts"));
    for (int i = 0; i < 6; ++i) {
        auto *option = new OptionButton(QStringLiteral("Option%1").arg(i + 1), QString(), client());
        QFont font = option->font();
        font.setPointSize(10);
        option->setFont(font);
        connect(option, &OptionButton::doubleClicked, this, &SubUtility::Accept_Click);
        m_options[static_cast<std::size_t>(i)] = option;
    }
    m_currentLabel = new QLabel(QStringLiteral("Current Records:"), client());
    m_currentLabel->setObjectName(QStringLiteral("CurrentLabel"));
    m_savedLabel = new QLabel(QStringLiteral("Saved Records:"), client());
    m_savedLabel->setObjectName(QStringLiteral("SavedLabel"));
    for (QLabel *label : {m_currentLabel, m_savedLabel}) {
        QFont bold = label->font();
        bold.setPointSize(10);
        bold.setBold(true);
        label->setFont(bold);
    }

    m_accept = new QPushButton(QStringLiteral("Accept"), client());
    m_accept->setObjectName(QStringLiteral("Accept"));
    connect(m_accept, &QPushButton::clicked, this, &SubUtility::Accept_Click);
    setDefaultButton(m_accept);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &SubUtility::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &SubUtility::Quit_Click);

    reshape(UtilityChoice::SetFacts);
}

void SubUtility::reshape(UtilityChoice choice)
{
    m_shape = choice;
    const Shape &shape = shapeOf(choice);
    setWindowTitle(QString::fromLatin1(shape.caption));
    int visible = 0;
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        OptionButton *option = m_options[i];
        const bool shown = shape.captions[i] != nullptr;
        option->setText(shown ? QString::fromLatin1(shape.captions[i]) : QString());
        option->setToolTip(shape.tips[i] ? QString::fromLatin1(shape.tips[i]) : QString());
        option->setVisible(shown);
        visible += shown ? 1 : 0;
    }
    const bool records = choice == UtilityChoice::Records;
    m_currentLabel->setVisible(records);
    m_savedLabel->setVisible(records);
    if (records)
        layOutRecords();
    else
        layOutColumn(visible);
    setFormSizeTwips(*this, shape.width, shape.height);
    centreOnNextShow(*this);
}

void SubUtility::layOutColumn(int visible)
{
    for (int i = 0; i < visible; ++i)
        placeTwips(m_options[static_cast<std::size_t>(i)], ColumnLeft, FirstTop + i * ColumnStep);
    placeTwips(m_accept, 480, FirstTop + visible * ColumnStep + 60, AcceptWidth, AcceptHeight);
}

void SubUtility::layOutRecords()
{
    // Two rows of three, each after its label.
    placeTwips(m_currentLabel, 240, 300);
    placeTwips(m_savedLabel, 240, 900);
    for (int i = 0; i < 6; ++i)
        placeTwips(m_options[static_cast<std::size_t>(i)], 2160 + (i % 3) * 1500, i < 3 ? 280 : 880);
    placeTwips(m_accept, 2880, 1560, AcceptWidth, AcceptHeight);
}

void SubUtility::clearOptions()
{
    // Exclusive options cannot be unchecked while they are exclusive.
    for (OptionButton *option : m_options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void SubUtility::select(int index)
{
    if (index >= 0 && index < 6)
        m_options[static_cast<std::size_t>(index)]->setChecked(true);
}

int SubUtility::selectedIndex() const
{
    for (std::size_t i = 0; i < m_options.size(); ++i)
        if (!m_options[i]->isHidden() && m_options[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void SubUtility::openFor(UtilityChoice choice)
{
    reshape(choice);
    showAgain();
    // A choice left from another shape never carries over: each shape shows
    // the value in force, or nothing.
    clearOptions();
    const Settings &settings = m_app.settings();
    const Shape &shape = shapeOf(choice);
    auto captionIs = [&shape](const QString &value) {
        for (int i = 0; i < 6; ++i)
            if (shape.captions[static_cast<std::size_t>(i)] &&
                value == QLatin1String(shape.captions[static_cast<std::size_t>(i)]))
                return i;
        return -1;
    };
    switch (choice) {
    case UtilityChoice::MenuBar:
        select(settings.value(keys::MenuBarState) == QLatin1String("Visible") ? 0 : 1);
        m_accept->setFocus();
        break;
    case UtilityChoice::SetFacts:
        select(captionIs(QString::number(settings.value(keys::FactsCount))));
        break;
    case UtilityChoice::SetSpeedGoals:
        select(captionIs(settings.value(keys::SpeedGoal)));
        break;
    case UtilityChoice::SetAccuracyGoals:
        select(captionIs(settings.value(keys::AccuracyGoal)));
        break;
    default:
        break;
    }
}

void SubUtility::showAgain()
{
    show();
    raise();
    activateWindow();
}

void SubUtility::backToMenu()
{
    hide();
    m_app.utilityForm().showAgain();
}

void SubUtility::Accept_Click()
{
    m_app.playClick();
    m_app.assistForm().hide();
    const int selected = selectedIndex();
    switch (m_shape) {
    case UtilityChoice::MenuBar:
        applyMenuBar(selected);
        break;
    case UtilityChoice::SetFacts:
        applyFacts(selected);
        break;
    case UtilityChoice::SetSpeedGoals:
        applyGoal(selected, keys::SpeedGoal);
        break;
    case UtilityChoice::SetAccuracyGoals:
        applyGoal(selected, keys::AccuracyGoal);
        break;
    case UtilityChoice::Records:
        recordsAccept(selected);
        break;
    default:
        break;
    }
}

void SubUtility::applyMenuBar(int selected)
{
    QString state = m_app.settings().value(keys::MenuBarState);
    if (selected == 0)
        state = QStringLiteral("Visible");
    else if (selected == 1)
        state = QStringLiteral("Invisible");
    // The start screen shows or hides its menus as the setting changes. A
    // failed write is told by the hub; the message that the bar changed then
    // stays away, since the change would not outlast the run.
    if (m_app.writeSetting(keys::MenuBarState, state)) {
        if (selected == 0)
            m_app.tell(QStringLiteral("The Menu Bar is now visible."), QStringLiteral("Visible"));
        else if (selected == 1)
            m_app.tell(QStringLiteral("The Menu Bar is now invisible."), QStringLiteral("Invisible"));
    }
    m_app.playClick();
    backToMenu();
}

void SubUtility::applyFacts(int selected)
{
    int facts = m_app.settings().value(keys::FactsCount);
    if (selected >= 0 && selected < 5)
        facts = (selected + 1) * 10;
    m_app.writeSetting(keys::FactsCount, facts);
    m_app.utilityForm().clearSetFacts();
    backToMenu();
}

void SubUtility::applyGoal(int selected, const Setting<QString> &goal)
{
    QString value = m_app.settings().value(goal);
    if (selected >= 0 && selected < 5)
        value = m_options[static_cast<std::size_t>(selected)]->text();
    m_app.writeSetting(goal, value);
    backToMenu();
}

void SubUtility::recordsAccept(int selected)
{
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();
    switch (selected) {
    case 0:
        viewCurrentRecords();
        return;
    case 1:
        deleteCurrentRecords();
        return;
    case 2:
        saveCurrentRecords();
        return;
    case 3:
    case 4:
    case 5:
        openSavedList(selected);
        return;
    default:
        backToMenu();
        return;
    }
}

void SubUtility::watchViewer(RecordsForm &viewer)
{
    connect(&viewer, &RecordsForm::teacherViewClosed, this, &SubUtility::viewerClosed, Qt::UniqueConnection);
}

void SubUtility::viewerClosed()
{
    // Saved files were viewed from their list, which comes back; the current
    // records from here.
    const int selected = selectedIndex();
    if (m_shape == UtilityChoice::Records && selected >= 3) {
        m_app.savedRecordsForm().showAgain();
        return;
    }
    if (m_app.existingSaveRecordsForm() && m_app.existingSaveRecordsForm()->isVisible())
        return;
    showAgain();
}

void SubUtility::dismissViewer()
{
    if (RecordsForm *viewer = m_app.existingRecordsForm()) {
        viewer->hide();
        m_app.unloadRecordsForm();
    }
}

void SubUtility::backFromRecords()
{
    dismissViewer();
    showAgain();
}

void SubUtility::viewCurrentRecords()
{
    RecordsForm &viewer = m_app.recordsForm();
    watchViewer(viewer);
    if (!viewer.openForTeacher()) {
        showAgain();
        m_app.tell(NoCurrentRecords, QStringLiteral("No Current Records"));
        return;
    }
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();
    hide();
}

void SubUtility::deleteCurrentRecords()
{
    RecordsForm &viewer = m_app.recordsForm();
    watchViewer(viewer);
    if (!viewer.openForTeacher()) {
        m_app.tell(NoCurrentRecords, QStringLiteral("No Records"));
        return;
    }
    // Out of the way of the records the question is about: a window manager
    // raises the box's owner, this menu, with the box.
    hide();
    const int answer =
        m_app.ask(QStringLiteral("All current records will be lost!\n\nIf you want to save these records to a file "
                                 "before you delete them, select ''No''.   Then select ''Save Current'' from the "
                                 "Records menu.\n\nAre you sure you want to delete these records at this time?"),
                  QStringLiteral("Delete Current Records"), MsgIcon::Critical, MsgButtons::YesNo, MsgNo);
    dismissViewer();
    if (answer == MsgYes) {
        // Emptied, not removed: the drills to come append to it.
        const QString path = QDir(m_app.workingFolder()).filePath(CurrentRecordsFile);
        const WriteResult emptied = writeTextFileAtomically(path, QString());
        if (emptied.ok) {
            m_app.playClick();
            m_app.tell(QStringLiteral("Current records have been deleted."), QStringLiteral("Current Records Deleted"));
        } else {
            m_app.tell(QStringLiteral("The current records could not be deleted: %1.\n\nThey are still in the "
                                      "records file.")
                           .arg(emptied.error),
                       QStringLiteral("Records Not Deleted"), MsgIcon::Critical);
        }
    }
    showAgain();
}

void SubUtility::saveCurrentRecords()
{
    RecordsForm &viewer = m_app.recordsForm();
    watchViewer(viewer);
    // The question speaks of the records on show, so they show even when
    // there are none; records that cannot be read cannot be saved (the
    // viewer has told why).
    if (!viewer.openForTeacher(true))
        return;
    hide();
    if (m_app.ask(QStringLiteral("Save these records to a file?"), QStringLiteral("Save Current Records"),
                  MsgIcon::Question, MsgButtons::YesNo) == MsgYes) {
        m_app.saveRecordsForm().open();
        return;
    }
    dismissViewer();
    if (m_app.settings().value(keys::PeedyEnabled)) {
        m_app.company().setPerchVisible(true);
        m_app.speech().PerchPeedy();
    }
    showAgain();
}

void SubUtility::openSavedList(int selected)
{
    SavedRecordsForm &list = m_app.savedRecordsForm();
    const SavedAction action =
        selected == 3 ? SavedAction::View : (selected == 4 ? SavedAction::Delete : SavedAction::Rename);
    list.prepare(action, QDir(m_app.workingFolder()).filePath(QStringLiteral("SDat")));
    if (list.ListCount() == 0) {
        showAgain();
        m_app.tell(NoSavedRecords,
                   action == SavedAction::Rename ? QStringLiteral("No Saved Records")
                                                 : QStringLiteral("No Records Lists"));
        return;
    }
    if (action != SavedAction::View)
        hide();
    list.showAgain();
}

void SubUtility::help_Click()
{
    // Each text talks about this window's options and its Accept button.
    switch (m_shape) {
    case UtilityChoice::MenuBar:
        m_app.showAssist(QStringLiteral("Menu Bar"),
                         QStringLiteral("The Menu Bar at the top of the initial progam screen has pull-down menus "
                                        "with instructions and information that you may not want those using the "
                                        "program to view.  Double-click on  'Invisible'  to prevent viewing."),
                         frameGeometry());
        return;
    case UtilityChoice::SetSpeedGoals:
        m_app.showAssist(QStringLiteral("Set Speed Goal"),
                         QStringLiteral("Select the desired speed goal for and press the Accept button."),
                         frameGeometry());
        return;
    case UtilityChoice::SetAccuracyGoals:
        m_app.showAssist(QStringLiteral("Set Accuracy Goals"),
                         QStringLiteral("Select the desired accuracy goal and press the Accept button."),
                         frameGeometry());
        return;
    case UtilityChoice::Records:
        m_app.showAssist(QStringLiteral("Records"),
                         QStringLiteral("Double-click on an option or select an option and press the Accept button."),
                         frameGeometry());
        return;
    default:
        m_app.showAssist(QStringLiteral("Set Number of Facts"),
                         QStringLiteral("Select the desired number of problems and press the Accept button."),
                         frameGeometry());
        return;
    }
}

void SubUtility::Quit_Click()
{
    m_app.quitFrom(*this);
}

void SubUtility::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.utilityForm().showAgain();
}

} // namespace plovista
