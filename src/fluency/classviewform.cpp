#include "fluency/classviewform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "fluency/answerlogwriter.h"
#include "fluency/classpainter.h"
#include "fluency/fluencyform.h"
#include "fluency/workprogressrow.h"
#include "platform/clock.h"
#include "platform/printing.h"
#include "settings/settingkeys.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace plovista {

namespace {

constexpr std::array ViewOperations = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                       Operation::Division, Operation::FactsOfTen};

const QString ReadingCaption = QStringLiteral("Reading the answer log...");

} // namespace

// The class drawn as on paper, as wide as the window and as tall as the
// class needs.
class ClassPanel final : public QWidget
{
public:
    explicit ClassPanel(QWidget *parent)
        : QWidget(parent)
    {
        setAutoFillBackground(true);
        QPalette paper = palette();
        paper.setColor(QPalette::Window, Qt::white);
        setPalette(paper);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    void showView(ClassView view)
    {
        // A screen reader hears the drawn title, then each student's total.
        setAccessibleName(QStringLiteral("Class: %1").arg(operationName(view.operation)));
        QStringList lines;
        for (const ClassStudent &student : view.students)
            lines << QStringLiteral("%1: knows %2 of %3").arg(student.name).arg(student.known).arg(student.drilled);
        setAccessibleDescription(lines.join(QStringLiteral("; ")));
        m_view = std::move(view);
        m_message.clear();
        updateGeometry();
        update();
    }
    void showMessage(const QString &message)
    {
        m_view.reset();
        m_message = message;
        setAccessibleName(message);
        setAccessibleDescription({});
        updateGeometry();
        update();
    }
    const std::optional<ClassView> &view() const { return m_view; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        if (!m_view)
            return 200;
        const QSizeF frame = classViewFrame(*m_view, ClassMedium::Screen);
        return static_cast<int>((width - 24) * frame.height() / frame.width()) + 24;
    }
    QSize sizeHint() const override { return {900, heightForWidth(900)}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRectF area = QRectF(rect()).adjusted(12, 12, -12, -12);
        if (m_view)
            paintClassView(painter, area, *m_view, ClassMedium::Screen);
        else
            painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_message);
    }

private:
    std::optional<ClassView> m_view;
    QString m_message;
};

ClassViewForm::ClassViewForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("ClassViewForm"))
{
    setWindowTitle(QStringLiteral("Class View"));

    auto *operationLabel = new QLabel(QStringLiteral("&Operation:"), client());
    m_operationList = new QComboBox(client());
    m_operationList->setObjectName(QStringLiteral("OperationList"));
    for (const Operation operation : ViewOperations)
        m_operationList->addItem(operationName(operation), static_cast<int>(operation));
    operationLabel->setBuddy(m_operationList);
    m_printButt = new QPushButton(QStringLiteral("&Print"), client());
    m_printButt->setObjectName(QStringLiteral("PrintButt"));
    m_printButt->setToolTip(QStringLiteral(" print the class on one page "));

    m_panel = new ClassPanel(client());
    m_panel->setObjectName(QStringLiteral("ClassPanel"));
    // No narrower than keeps a family's mark at 12 pixels.
    m_panel->setMinimumWidth(700);
    m_scroll = new QScrollArea(client());
    m_scroll->setWidget(m_panel);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_notice = new QLabel(client());
    m_notice->setObjectName(QStringLiteral("NoticeLabel"));
    m_notice->setWordWrap(true);
    m_notice->hide();

    auto *gapsLabel = new QLabel(u'&' + practiceGapsCaption() + u':', client());
    m_gapsList = new QListWidget(client());
    m_gapsList->setObjectName(QStringLiteral("PracticeGapsList"));
    m_gapsList->setAccessibleName(practiceGapsCaption());
    gapsLabel->setBuddy(m_gapsList);
    // In columns, line after line: a short list takes a line, not the height
    // of the window.
    m_gapsList->setFlow(QListView::LeftToRight);
    m_gapsList->setWrapping(true);
    m_gapsList->setResizeMode(QListView::Adjust);
    m_gapsList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gapsList->setFixedHeight(3 * m_gapsList->fontMetrics().height() + 28);
    m_gaps = new QWidget(client());
    auto *gapsLayout = new QVBoxLayout(m_gaps);
    gapsLayout->setContentsMargins(0, 0, 0, 0);
    gapsLayout->addWidget(gapsLabel);
    gapsLayout->addWidget(m_gapsList);
    m_gaps->hide();

    m_workRow = new WorkProgressRow(client());

    auto *choices = new QHBoxLayout;
    choices->addWidget(operationLabel);
    choices->addWidget(m_operationList);
    choices->addStretch();
    choices->addWidget(m_printButt);
    auto *layout = new QVBoxLayout(client());
    layout->addLayout(choices);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_gaps);
    layout->addWidget(m_workRow);
    layout->addWidget(m_notice);
    resize(1000, 720);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &ClassViewForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &ClassViewForm::Quit_Click);

    connect(m_operationList, &QComboBox::currentIndexChanged, this, &ClassViewForm::startReading);
    connect(m_printButt, &QPushButton::clicked, this, &ClassViewForm::PrintButt_Click);
    connect(m_workRow, &WorkProgressRow::cancelClicked, this, &ClassViewForm::CancelButt_Click);
}

const std::optional<ClassView> &ClassViewForm::view() const
{
    return m_panel->view();
}

void ClassViewForm::openFrom(QWidget &opener, Operation operation)
{
    m_opener = &opener;
    m_app.assistForm().hide();
    opener.hide();
    show();
    raise();
    activateWindow();
    m_operationList->setFocus();
    const int index = m_operationList->findData(static_cast<int>(operation));
    if (index == m_operationList->currentIndex()) {
        startReading();
    } else {
        m_operationList->setCurrentIndex(index); // reads
    }
}

void ClassViewForm::stopWork()
{
    m_workRow->cancel(std::chrono::seconds(2));
}

void ClassViewForm::startReading()
{
    const QString folder = m_app.answerLog().folder();
    const auto operation = static_cast<Operation>(m_operationList->currentData().toInt());
    const int threshold = fluencyThresholdMs(m_app.settings().value(keys::SpeedGoal));
    const QDate today = m_app.clock().now().date();
    AnswerLogWriter &writer = m_app.answerLog();
    m_panel->showMessage(ReadingCaption);
    m_gaps->hide();
    m_printButt->setEnabled(false);
    m_workRow->start(ReadingCaption, [this, folder, operation, threshold, today, &writer](WorkProgress &progress) {
        waitForLatestAnswers(writer, progress);
        ClassView view = classView(folder, operation, threshold, today, &progress);
        return BackgroundWork::Delivery([this, view = std::move(view)]() mutable { classRead(std::move(view)); });
    });
}

void ClassViewForm::classRead(ClassView view)
{
    showPracticeGaps(practiceGaps(view));
    m_panel->showView(std::move(view));
    m_printButt->setEnabled(true);
    showNotice();
}

void ClassViewForm::showPracticeGaps(const std::vector<PracticeGap> &gaps)
{
    m_gapsList->clear();
    const QFontMetrics metrics = m_gapsList->fontMetrics();
    const QSize cell(metrics.horizontalAdvance(QStringLiteral("Maximilian Lee-Fox: 30 Nov 2026")),
                     metrics.height() + 6);
    m_gapsList->setGridSize(gaps.empty() ? QSize() : cell); // the line saying so takes its own width
    for (const PracticeGap &gap : gaps) {
        // A long name is cut short, as on the page, so its date stays in sight.
        const QString date = QStringLiteral(": ") + lastPractisedText(gap.lastPractised);
        const int room = cell.width() - metrics.horizontalAdvance(date) - 16;
        auto *item = new QListWidgetItem(metrics.elidedText(gap.name, Qt::ElideRight, room) + date, m_gapsList);
        item->setToolTip(gap.name + date);
    }
    if (gaps.empty())
        m_gapsList->addItem(practiceGapsNone());
    m_gaps->show();
}

void ClassViewForm::showNotice()
{
    QStringList notes;
    const QStringList waiting = describeBacklog(m_app.answerLog().backlog());
    if (!waiting.isEmpty())
        notes << QStringLiteral("Answers given on this computer are missing from the log: %1").arg(waiting.join(u' '));
    if (view())
        notes << view()->notes;
    m_notice->setText(notes.join(u' '));
    m_notice->setVisible(!notes.isEmpty());
}

void ClassViewForm::PrintButt_Click()
{
    m_app.speech().QuietPeedy();
    const std::optional<ClassView> &shown = view();
    if (!shown)
        return;
    const QString job = QStringLiteral("Class fluency %1").arg(operationName(shown->operation));
    const PrintOutcome outcome = m_app.printing().printPainted(
        job, [&](QPainter &painter, const QRectF &page) { paintClassView(painter, page, *shown, ClassMedium::Page); });
    if (!outcome.printed && !outcome.cancelled)
        m_app.tell(QStringLiteral("The class could not be printed: %1").arg(outcome.error),
                   QStringLiteral("Class Not Printed"), MsgIcon::Critical);
}

void ClassViewForm::CancelButt_Click()
{
    m_workRow->cancel();
    m_gaps->hide();
    m_panel->showMessage(QStringLiteral("Reading the answer log was cancelled. Choose an operation to read it."));
}

void ClassViewForm::help_Click()
{
    m_app.showAssist(
        QStringLiteral("Class View"),
        QStringLiteral("One row for each student, one column for each fact family of the operation (x7: the "
                       "times-7 facts). A cell shows the share of the family's facts the student knows, coloured "
                       "dark when four in five are known, orange when one in five of those asked is to be taught, "
                       "yellow between, white when none was asked. The line beside shows the facts known week by "
                       "week. Below, the class's hardest facts: those the most students are to be taught.\n\n"
                       "Below the class, the students who have not practised any operation for %1 days or more, "
                       "with the day they last did.\n\n"
                       "Print prints the class on one page.")
            .arg(PracticeGapDays));
}

void ClassViewForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void ClassViewForm::closeEvent(QCloseEvent *event)
{
    m_workRow->cancel();
    m_panel->showMessage(QString());
    m_app.assistForm().hide();
    event->accept();
    if (m_opener)
        m_opener->show();
}

} // namespace plovista
