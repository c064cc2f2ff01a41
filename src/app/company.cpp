#include "app/company.h"

#include "app/agentmissing.h"
#include "app/app.h"
#include "app/assistform.h"
#include "app/contactform.h"
#include "app/fontfamilies.h"
#include "app/frmabout.h"
#include "app/namecheck.h"
#include "app/screensize.h"
#include "app/shapes.h"
#include "app/startup.h"
#include "app/svgpicture.h"
#include "app/twips.h"
#include "app/vistanotice.h"
#include "platform/character.h"
#include "platform/systeminfo.h"
#include "selection/mainmenu.h"
#include "settings/settingkeys.h"
#include "teacher/getpassw.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace plovista {

namespace {

const QString kQuitText = QStringLiteral("Do you want to quit?");

QString paragraphs(std::initializer_list<const char *> parts)
{
    QStringList list;
    for (const char *p : parts)
        list << QString::fromUtf8(p);
    return list.join(QStringLiteral("\n\n"));
}

} // namespace

Company::Company(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("Company"))
{
    setWindowTitle(QStringLiteral("Brevandi Plovista"));
    setClientSizeTwips(11790, 7935);
    client()->setAutoFillBackground(true);
    QPalette sky = client()->palette();
    sky.setColor(QPalette::Window, QColor(0xdd, 0xee, 0xfb));
    client()->setPalette(sky);

    // The perch Peedy stands on: a branch on two posts at the top left.
    auto *shape1 =
        new ShapeControl(QStringLiteral("Shape1"), client(), QColor(0x5b, 0x3a, 0x1e), QColor(0x8b, 0x5a, 0x2b), 2, 5);
    auto *line1 = new LineControl(QStringLiteral("Line1"), client(), QColor(0x6b, 0x46, 0x23));
    auto *line2 = new LineControl(QStringLiteral("Line2"), client(), QColor(0x6b, 0x46, 0x23));
    m_perchParts = {shape1, line1, line2};
    placePerch();

    auto *logo =
        new SvgPicture(app.systemInfo().systemFolder() + QStringLiteral("/logo.svg"), QStringLiteral("Logo"), client());
    logo->setGeometry(624, 26, 140, 140);

    buildPanel();
    buildMenuBar();

    Settings &settings = app.settings();
    settings.watch(keys::MenuBarState, this, [this] { applyMenuBarState(); });
    settings.watch(keys::PerchStyle, this, [this] { placePerch(); });
}

void Company::buildPanel()
{
    m_frame1 = new QFrame(client());
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setAutoFillBackground(true);
    QPalette cream = m_frame1->palette();
    cream.setColor(QPalette::Window, QColor(0xff, 0xfb, 0xea));
    m_frame1->setPalette(cream);
    placeTwips(m_frame1, 3000, 1800, 6000, 4770);

    auto *shape3 =
        new ShapeControl(QStringLiteral("Shape3"), m_frame1, QColor(0x1f, 0x5f, 0x9f), Qt::transparent, 2, 6);
    placeTwips(shape3, 90, 90, 5830, 4600);

    // Alt+H reaches it from the name box, as Help is reached on the fact menu.
    auto *help =
        button(m_frame1, QStringLiteral("HelpButt"), QStringLiteral("&Help"), QStringLiteral(" press for help "));
    // Small enough that Quit, at its designed left, stays inside the panel's border.
    placeTwips(help, 300, 300, 660);
    connect(help, &QPushButton::clicked, this, &Company::HelpButt_Click);
    auto *quit = button(m_frame1, QStringLiteral("QuitButt"), QStringLiteral("Quit"), QStringLiteral(" exit program "));
    placeTwips(quit, 5200, 300, 660);
    connect(quit, &QPushButton::clicked, this, &Company::QuitButt_Click);

    auto *corvanel = label(m_frame1, QStringLiteral("CorvanelLabel"), QStringLiteral("Corvanel"), 9);
    placeTwips(corvanel, 1750, 840);
    auto *ab = label(m_frame1, QStringLiteral("AbLabel"), QStringLiteral("Brevandi"), 13, true);
    placeTwips(ab, 1600, 1080);
    auto *title = label(m_frame1, QStringLiteral("TitleLabel"), QStringLiteral("Plovista"), 26, true);
    QFont comic = title->font();
    comic.setFamilies(installedFirst(
        {QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"), QStringLiteral("Comic Relief")}));
    title->setFont(comic);
    QPalette blue = title->palette();
    blue.setColor(QPalette::WindowText, QColor(0x1f, 0x5f, 0x9f));
    title->setPalette(blue);
    placeTwips(title, 1700, 1600 - 120);
    auto *version = label(m_frame1, QStringLiteral("VersionLabel"), QStringLiteral("Version"), 8);
    placeTwips(version, 2640, 2200 + 120);
    auto *versionNo = label(m_frame1, QStringLiteral("VersionNo"), QStringLiteral("7.1"), 8);
    placeTwips(versionNo, 3250, 2200 + 120);
    auto *nameLabel = label(m_frame1, QStringLiteral("NameBoxLabel"), QStringLiteral("First and Last name:"), 10);
    placeTwips(nameLabel, 1150, 2700);

    m_text1 = new QLineEdit(m_frame1);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral(" enter your first and last name "));
    m_text1->setAccessibleName(QStringLiteral("First and Last name:"));
    QFont nameFont = m_text1->font();
    nameFont.setPointSize(12);
    m_text1->setFont(nameFont);
    placeTwips(m_text1, 1150, 3000, 3615);
    m_text1->installEventFilter(this);

    m_startButt =
        button(m_frame1, QStringLiteral("StartButt"), QStringLiteral("Start"), QStringLiteral(" press to begin "));
    placeTwips(m_startButt, 2500, 4150, 1215);
    connect(m_startButt, &QPushButton::clicked, this, &Company::StartButt_Click);
    setDefaultButton(m_startButt);
}

void Company::informationItem(const QString &title, const QString &text, bool perchPeedy)
{
    if (perchPeedy)
        m_app.speech().QuietPeedy();
    m_app.showAssist(title, text);
}

void Company::buildMenuBar()
{
    QMenuBar *bar = formMenuBar();
    auto item = [this](QMenu *menu, const QString &name, const QString &caption, auto handler) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto info = [this, item](QMenu *menu, const QString &name, const QString &caption, const QString &title,
                             const QString &text, bool perch) {
        return item(menu, name, caption, [this, title, text, perch] { informationItem(title, text, perch); });
    };
    auto menu = [this, bar](const QString &name, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        m_topMenus << m->menuAction();
        return m;
    };
    auto command = [this](const QString &name, const QString &caption) {
        QAction *action = addMenuCommand(name, caption);
        m_topMenus << action;
        return action;
    };

    command(QStringLiteral("MenuBar"), QStringLiteral("MENU BAR:"));

    QMenu *directions = menu(QStringLiteral("Directions"), QStringLiteral("* Directions *"));
    item(directions, QStringLiteral("SpeechSupport"), QStringLiteral("Speech Support"), &Company::SpeechSupport_Click);
    info(directions, QStringLiteral("ChageSettings"), QStringLiteral("Changing Settings"),
         QStringLiteral("Changing Settings"),
         QStringLiteral("To change the display settings, click on Display Settings in this Menu Bar.  To change all "
                        "other settings, access the Utility Menu by typing 'kq' in the namebox,  pressing the  Enter  "
                        "key or the  Start  button,  and  typing  'maple'  for the password."),
         false);
    info(
        directions, QStringLiteral("MenuBarMenu"), QStringLiteral("MENU BAR"), QStringLiteral("Menu Bar"),
        paragraphs({"The information contained in the  Menu Bar  is for the teacher,  parent  or supervising adult.   "
                    "Allowing students to view this information can compromise program security. ",
                    "You can make the menu bar invisible for students  and visible when you need to review the "
                    "information.",
                    "To access the Utility Menu to make the  Menu Bar invisible,  type  'kq'  in the name box,   press "
                    "the  Start button or the  Enter key,  and enter  'maple'  for the password.   Select  "
                    "'Invisible'  in the Menu Bar pull-down menu and press the Menu Bar button.",
                    "Make a note of this procedure so that you can get back into the Utility Menu to make the "
                    "pull-down menus visible in the menu bar."}),
        false);
    info(directions, QStringLiteral("Password"), QStringLiteral("Password"), QStringLiteral("Password"),
         QStringLiteral("A password is required to enter the Utility Menu to change settings.  The initial password "
                        "is  'maple'."),
         false);

    QAction *contact = command(QStringLiteral("ContactCorvanel"), QStringLiteral("Contact Corvanel"));
    connect(contact, &QAction::triggered, this, &Company::ContactCorvanel_Click);

    QMenu *display = menu(QStringLiteral("Display"), QStringLiteral("Display Settings"));
    item(display, QStringLiteral("Screen"), QStringLiteral("Screen Size"), &Company::Screen_Click);
    info(display, QStringLiteral("Colors"), QStringLiteral("Screen Colors"), QStringLiteral("Screen Colors"),
         QStringLiteral("The best 'Colors' setting for this program is 'High Color(32 bit)' or 'High Color(16 bit)'.   "
                        "If your current Colors setting is 256 colors,  change it to one of those settings."),
         true);
    m_peedysPerch =
        info(display, QStringLiteral("PeedysPerch"), QStringLiteral("Peedy's Perch"), QStringLiteral("Peedy's Perch"),
             QStringLiteral("You may need to adjust Peedy's position on his perch for the Windows Standard or Classic "
                            "style display setting.  Make the adjustment by selecting the Peedy option in the Control "
                            "Speech menu."),
             false);

    QAction *uninstall = command(QStringLiteral("Uninstall"), QStringLiteral("Uninstall"));
    // Debian's way, with the folders this run really uses: the package's data
    // folder, and the working folder (the user's own or a class's), which
    // removing the package leaves.
    connect(uninstall, &QAction::triggered, this, [this] {
        informationItem(QStringLiteral("Uninstall Plovista"),
                        paragraphs({"To remove  Plovista  from this computer, remove the package  plovista  with the "
                                    "package manager, for example with   sudo apt remove plovista",
                                    "That removes the program and its data folder   %1",
                                    "The settings and records stay in the folder   %2   Remove it too to remove "
                                    "them."})
                            .arg(m_app.systemInfo().systemFolder(), m_app.workingFolder()),
                        false);
    });

    QMenu *teaching = menu(QStringLiteral("Teaching"), QStringLiteral("Teaching Strategies"));
    info(teaching, QStringLiteral("Speed"), QStringLiteral("Speed Goal"), QStringLiteral("Speed Goal"),
         QStringLiteral("The speed goal, or average seconds per math fact, can be decreased as the student improves."),
         true);
    info(teaching, QStringLiteral("Accuracy"), QStringLiteral("Accuracy Goal"), QStringLiteral("Accuracy Goal"),
         QStringLiteral("The accuracy goal, or percentage correct, can be varied to encourage students to make "
                        "improvement."),
         true);
    info(teaching, QStringLiteral("Tests"), QStringLiteral("Printed Tests"), QStringLiteral("Printed Tests"),
         QStringLiteral("The printed tests can be used to verify student progress."), true);

    QMenu *about = menu(QStringLiteral("About"), QStringLiteral("About"));
    item(about, QStringLiteral("Program"), QStringLiteral("The Program"), &Company::Program_Click);
    info(about, QStringLiteral("Author"), QStringLiteral("The Author"), QStringLiteral("The Author"),
         paragraphs({"Plovista was written by a classroom teacher who wanted every student to know the basic "
                     "arithmetic facts by heart, quickly and without a slip.",
                     "Short drills, a patient voice and clear goals for speed and accuracy let a student see "
                     "progress from one day to the next, and give the teacher a record of every drill.",
                     "The program has grown over many years of use in classrooms and at home, shaped by the "
                     "suggestions of the teachers, parents and students who use it."}),
         true);
}

void Company::applyMenuBarState()
{
    const QString state = m_app.settings().value(keys::MenuBarState);
    if (state != QLatin1String("Visible") && state != QLatin1String("Invisible"))
        return;
    const bool visible = state == QLatin1String("Visible");
    for (QAction *action : std::as_const(m_topMenus))
        action->setVisible(visible);
    // With every menu hidden the bar itself goes, so students see no trace of it.
    formMenuBar()->setVisible(visible);
}

void Company::placePerch()
{
    // Peedy stands with his toes 134 pixels below the top of his frame, which
    // sits at a fixed screen point; the branch goes right under them, wherever
    // the window manager put this window.
    const QPoint branch = client()->mapFromGlobal(QPoint(Speech::PerchLeft + 6, m_app.speech().perchTop() + 134));
    m_perchParts[0]->setGeometry(branch.x(), branch.y(), 128, 10);
    m_perchParts[1]->setGeometry(branch.x() + 22, branch.y() + 10, 5, 96);
    m_perchParts[2]->setGeometry(branch.x() + 100, branch.y() + 10, 5, 96);
}

void Company::moveEvent(QMoveEvent *event)
{
    FormWindow::moveEvent(event);
    placePerch();
}

void Company::showEvent(QShowEvent *event)
{
    FormWindow::showEvent(event);
    placePerch();
}

void Company::setPerchVisible(bool visible)
{
    for (QWidget *part : std::as_const(m_perchParts))
        part->setVisible(visible);
}

void Company::showAtStart()
{
    m_peedysPerch->setVisible(m_app.startup().xpStyle);
    placePerch();
    applyMenuBarState();
    setPerchVisible(m_app.settings().value(keys::PeedyEnabled));

    placeFrameAt(screen() ? screen()->availableGeometry().topLeft() : QPoint(0, 0));
    setEnabled(true);
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

void Company::hideNamePanel()
{
    m_frame1->hide();
}

bool Company::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text1 && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return false; // reaches the Start button
        const QString text = key->text();
        // Arrows, Delete and the like are not typed characters, and Tab moves
        // the focus on. X gives Delete the text 127 and Tab the text 9, which
        // the filter would otherwise throw away with the key.
        if (text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab)
            return false;
        // A letter with Alt is a command, never part of a name; X gives it
        // the letter's text all the same.
        if (key->modifiers() & Qt::AltModifier)
            return true;
        if (m_app.settings().value(keys::PeedyEnabled))
            m_app.speech().StopPeedy();
        const char32_t code = text.toStdU32String().front();
        return !nameKeyAllowed(code);
    }
    return FormWindow::eventFilter(watched, event);
}

bool Company::nameCheck()
{
    const AppState &s = m_app.state();
    setEnabled(true);
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();
    const std::optional<NameRejection> rejected = checkName(s.StudentName);
    if (!rejected)
        return true;
    const bool heard = m_app.speech().SayComment({QStringLiteral("LookDownLeftBlink"), QStringLiteral("GestureLeft")},
                                                 rejected->spoken);
    if (!rejected->boxText.isEmpty())
        m_app.tell(rejected->boxText, rejected->title, MsgIcon::Information);
    else if (!heard)
        m_app.tell(rejected->spoken, rejected->title, MsgIcon::Information);
    m_text1->setEnabled(true);
    m_text1->setFocus();
    return false;
}

void Company::StartButt_Click()
{
    AppState &s = m_app.state();
    Settings &settings = m_app.settings();
    Speech &speech = m_app.speech();
    setEnabled(false);
    s.StudentName = m_text1->text();
    const bool teacher = s.StudentName == AccessCode;
    if (settings.value(keys::PeedyEnabled) && !teacher) {
        setPerchVisible(true);
        speech.PerchPeedy();
        speech.ShowPeedy();
        speech.StopPeedy();
    }
    if (!teacher && !nameCheck())
        return;
    m_app.getPassW().prepare();
    m_app.assistForm().hide();
    speech.QuietPeedy();
    if (!teacher) {
        m_frame1->hide();
        setEnabled(false);
        MainMenu &menu = m_app.mainMenu();
        menu.show();
        menu.raise();
        menu.activateWindow();
        s.FirstName = firstNameOf(s.StudentName);
        if (const auto customName = settings.reread(keys::CustomName))
            s.SpokenName = spokenNameFrom(*customName, s.FirstName);
        if (settings.value(keys::PeedyEnabled))
            speech.PerchPeedy();
        return;
    }
    if (settings.value(keys::PeedyEnabled) && !settings.value(keys::PeedyTeacher)) {
        speech.HidePeedy();
        setPerchVisible(false);
    }
    // The access code would otherwise stay in the name box for the next
    // student to read, and to run into the name typed after it.
    m_text1->clear();
    m_app.getPassW().openForEntry();
}

QRect Company::nameArea() const
{
    QRect area;
    for (const QWidget *control : {static_cast<QWidget *>(m_text1), static_cast<QWidget *>(m_startButt)})
        area |= QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
    return area;
}

void Company::HelpButt_Click()
{
    // The text talks about the name box and the Start button: they stay in sight.
    m_app.showAssist(QStringLiteral("Help"),
                     QStringLiteral("To begin the math facts exercises, type your first and last name, properly "
                                    "capitalized, and press the Enter key or the Start button."),
                     nameArea());
    // Back from the directions, the student types on in the name box (Alt+H
    // and a click leave the keyboard on the Help button).
    m_text1->setFocus();
}

bool Company::confirmQuit()
{
    m_frame1->show();
    m_app.speech().QuietPeedy();
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.character().speak(kQuitText);
    if (m_app.ask(kQuitText, QStringLiteral("Quit Program"), MsgIcon::Question, MsgButtons::YesNo) == MsgYes)
        return true;
    // The box gives the keyboard back to the Quit button that opened it: a
    // name typed next would press it again on the blank, and the Enter that
    // ends the name would answer the box's Yes.
    m_text1->setFocus();
    return false;
}

void Company::QuitButt_Click()
{
    if (confirmQuit())
        m_app.quitProgram();
}

void Company::closeEvent(QCloseEvent *event)
{
    // While a student's or the teacher's windows are in use the start screen
    // is disabled and cannot be closed; their own Quit ends the program.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    if (!confirmQuit()) {
        event->ignore();
        return;
    }
    event->accept();
    m_app.quitProgram();
}

void Company::minimisedChanged(bool minimised)
{
    const bool peedy = m_app.settings().value(keys::PeedyEnabled);
    if (minimised) {
        if (peedy) {
            m_app.speech().StopPeedy();
            m_app.speech().HidePeedy();
        }
        return;
    }
    if (peedy && !m_app.startup().peedyMissing) {
        m_app.speech().PerchPeedy();
        m_app.speech().ShowPeedy();
    }
}

void Company::returnToStart()
{
    m_frame1->show();
    setEnabled(true);
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

void Company::SpeechSupport_Click()
{
    const Settings &settings = m_app.settings();
    QString text;
    if (settings.value(keys::PeedyEnabled))
        text = paragraphs({"This program is currently set to use all the speech and animation features of the "
                           "Microsoft Agent character Peedy the parrot.",
                           " You also have the option to use a Microsoft text-to-speech voice for speech support.",
                           "To change the settings, see 'Changing Settings'."});
    if (settings.value(keys::VoiceEnabled))
        text = paragraphs({"This program is currently set to use the default voice of the Microsoft text-to-speech "
                           "voice.",
                           "You also have the option to use the speech and animation features of the Microsoft Agent "
                           "character Peedy the parrot.",
                           "To change the settings, see 'Changing Settings'."});
    if (text.isEmpty())
        text = paragraphs({"Speech is currently switched off: neither Peedy the parrot nor the text-to-speech voice "
                           "will speak.",
                           "To change the settings, see 'Changing Settings'."});
    m_app.showAssist(QStringLiteral("Speech Support"), text);
}

void Company::Screen_Click()
{
    // The window tells the mode found at start.
    m_app.captureDisplayMode();
    m_app.screenSize().open();
}

void Company::ContactCorvanel_Click()
{
    ContactForm &form = m_app.contactForm();
    form.show();
    form.raise();
    form.activateWindow();
}

void Company::Program_Click()
{
    m_app.speech().QuietPeedy();
    frmAbout &about = m_app.aboutBox();
    about.show();
    about.raise();
    about.activateWindow();
}

} // namespace plovista
