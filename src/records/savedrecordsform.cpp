#include "records/savedrecordsform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/fontfamilies.h"
#include "app/twips.h"
#include "records/recordsform.h"
#include "records/savedrecords.h"
#include "settings/settingkeys.h"
#include "settings/textfile.h"
#include "settings/textlines.h"
#include "teacher/formsize.h"
#include "teacher/subutility.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QtMath>

namespace plovista {

namespace {

// The preview shows the beginning of a file; the viewer shows all of it.
constexpr int PreviewLines = 200;

constexpr int ListLeft = 240;
constexpr int ListTop = 480;
constexpr int ListWidth = 3600;
// Beside the preview the list gives up some of its width, so the window
// with whole records still fits an 800-pixel screen.
constexpr int ListWidthBesidePreview = 3000;
constexpr int ListHeight = 3240;
constexpr int PreviewLeft = ListLeft + ListWidthBesidePreview + 240;
// A drill's record is 72 characters; a few more leave room for a speed or a
// name longer than its column. Longer lines scroll.
constexpr int PreviewColumns = 76;
constexpr int RenameTop = 3840;
constexpr int ButtonTop = 4320;

QString quoted(const QString &name)
{
    return QStringLiteral("\"%1\"").arg(name);
}

} // namespace

SavedRecordsForm::SavedRecordsForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("SavedRecordsForm"))
{
    setWindowTitle(QStringLiteral("View Saved Records"));
    auto *label = new QLabel(QStringLiteral("Saved record files:"), client());
    label->setObjectName(QStringLiteral("FilesLabel"));
    placeTwips(label, ListLeft, 180);

    m_file1 = new QListWidget(client());
    m_file1->setObjectName(QStringLiteral("File1"));
    m_file1->setSelectionMode(QAbstractItemView::SingleSelection);
    label->setBuddy(m_file1);
    // A list takes no name from its label by itself.
    m_file1->setAccessibleName(label->text());
    connect(m_file1, &QListWidget::itemSelectionChanged, this, &SavedRecordsForm::File1_Click);
    connect(m_file1, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_acceptFileButt->isEnabled())
            AcceptFileButt_Click();
    });

    m_previewFile = new QPlainTextEdit(client());
    m_previewFile->setObjectName(QStringLiteral("PreviewFile"));
    m_previewFile->setReadOnly(true);
    m_previewFile->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier(QStringLiteral("Courier New"));
    courier.setFamilies(installedFirst(
        {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPointSize(8);
    m_previewFile->setFont(courier);
    // Wide enough for whole records beside the scroll bar, in whatever face
    // stood in for Courier New.
    const int previewPixels = QFontMetrics(courier).horizontalAdvance(QString(PreviewColumns, QLatin1Char('0'))) +
        2 * (m_previewFile->frameWidth() + qCeil(m_previewFile->document()->documentMargin())) +
        m_previewFile->verticalScrollBar()->sizeHint().width();
    m_previewWidth = previewPixels * 15;
    placeTwips(m_previewFile, PreviewLeft, ListTop, m_previewWidth, ListHeight);
    m_previewLabel = new QLabel(QStringLiteral("Records in the chosen file:"), client());
    m_previewLabel->setObjectName(QStringLiteral("PreviewLabel"));
    m_previewLabel->setBuddy(m_previewFile);
    placeTwips(m_previewLabel, PreviewLeft, 180);

    m_newNameLabel = new QLabel(QStringLiteral("New name:"), client());
    m_newNameLabel->setObjectName(QStringLiteral("NewNameLabel"));
    placeTwips(m_newNameLabel, ListLeft, RenameTop + 40);
    m_newName = new QLineEdit(client());
    m_newName->setObjectName(QStringLiteral("NewName"));
    m_newName->setToolTip(QStringLiteral(" the new name of the chosen file "));
    m_newNameLabel->setBuddy(m_newName);
    placeTwips(m_newName, ListLeft + 1080, RenameTop, ListWidthBesidePreview - 1080);

    m_acceptFileButt = new QPushButton(QStringLiteral("View"), client());
    m_acceptFileButt->setObjectName(QStringLiteral("AcceptFileButt"));
    placeTwips(m_acceptFileButt, ListLeft, ButtonTop, 1215, 420);
    connect(m_acceptFileButt, &QPushButton::clicked, this, &SavedRecordsForm::AcceptFileButt_Click);
    setDefaultButton(m_acceptFileButt);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &SavedRecordsForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &SavedRecordsForm::Quit_Click);
}

void SavedRecordsForm::prepare(SavedAction action, const QString &folder)
{
    m_action = action;
    m_folder = folder;
    switch (action) {
    case SavedAction::View:
        setWindowTitle(QStringLiteral("View Saved Records"));
        m_acceptFileButt->setText(QStringLiteral("View"));
        break;
    case SavedAction::Delete:
        setWindowTitle(QStringLiteral("Delete Saved Records"));
        m_acceptFileButt->setText(QStringLiteral("Delete"));
        break;
    case SavedAction::Rename:
        setWindowTitle(QStringLiteral("Rename Saved Records"));
        m_acceptFileButt->setText(QStringLiteral("Rename"));
        break;
    }
    m_acceptFileButt->setVisible(true);
    layOut();
    fillList();
}

void SavedRecordsForm::layOut()
{
    // The viewer shows a file whole, so viewing needs no preview; deleting
    // and renaming show what they act on.
    const bool preview = m_action != SavedAction::View;
    const bool rename = m_action == SavedAction::Rename;
    m_previewFile->setVisible(preview);
    m_previewLabel->setVisible(preview);
    m_newNameLabel->setVisible(rename);
    m_newName->setVisible(rename);
    placeTwips(m_file1, ListLeft, ListTop, preview ? ListWidthBesidePreview : ListWidth, ListHeight);
    setClientSizeTwips(preview ? PreviewLeft + m_previewWidth + 240 : ListLeft + ListWidth + 240, ButtonTop + 660);
    centreOnNextShow(*this);
}

void SavedRecordsForm::fillList(const QString &select)
{
    m_file1->clear();
    m_file1->addItems(savedRecordFiles(m_folder));
    m_previewFile->clear();
    m_newName->clear();
    m_acceptFileButt->setEnabled(false);
    // The list opens on a file, chosen as it has the focus, so the button
    // acts on the file the teacher sees marked.
    const QList<QListWidgetItem *> hits = m_file1->findItems(select, Qt::MatchExactly);
    if (!select.isEmpty() && !hits.isEmpty())
        m_file1->setCurrentItem(hits.first());
    else if (m_file1->count() > 0)
        m_file1->setCurrentRow(0);
}

int SavedRecordsForm::ListCount() const
{
    return m_file1->count();
}

void SavedRecordsForm::showAgain()
{
    show();
    raise();
    activateWindow();
    m_file1->setFocus();
}

QString SavedRecordsForm::chosenFile() const
{
    const QList<QListWidgetItem *> chosen = m_file1->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

QString SavedRecordsForm::pathOf(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

void SavedRecordsForm::File1_Click()
{
    const QString name = chosenFile();
    // Control-click takes the mark off a file; the one with the focus is
    // still the one chosen.
    if (name.isEmpty() && m_file1->currentItem()) {
        m_file1->currentItem()->setSelected(true);
        return;
    }
    m_acceptFileButt->setEnabled(!name.isEmpty());
    if (name.isEmpty())
        return;
    if (m_previewFile->isVisibleTo(this)) {
        QString text = readTextFile(pathOf(name)).value_or(QString());
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        const QStringList lines = text.split(QLatin1Char('\n'));
        m_previewFile->setPlainText(lines.mid(0, PreviewLines).join(QLatin1Char('\n')));
    }
    if (m_action == SavedAction::Rename) {
        // The old name to edit, with the part before its first point chosen,
        // so typing replaces the name and keeps an extension.
        m_newName->setText(name);
        m_newName->setSelection(0, static_cast<int>(fileBaseName(name).size()));
    }
}

void SavedRecordsForm::AcceptFileButt_Click()
{
    const QString name = chosenFile();
    if (name.isEmpty())
        return;
    m_app.assistForm().hide();
    switch (m_action) {
    case SavedAction::View:
        viewFile(name);
        return;
    case SavedAction::Delete:
        deleteFile(name);
        return;
    case SavedAction::Rename:
        renameFile(name);
        return;
    }
}

void SavedRecordsForm::viewFile(const QString &name)
{
    TextLinesResult read = TextLines::read(pathOf(name));
    if (!read.lines) {
        m_app.tell(QStringLiteral("The saved records file %1 could not be read.").arg(quoted(name)),
                   QStringLiteral("Records Not Read"), MsgIcon::Critical);
        fillList();
        return;
    }
    TextLines records = std::move(*read.lines);
    if (records.isEmpty()) {
        m_app.tell(QStringLiteral("The saved records file %1 holds no records.").arg(quoted(name)),
                   QStringLiteral("No Records"));
        return;
    }
    RecordsForm &viewer = m_app.recordsForm();
    m_app.subUtility().watchViewer(viewer);
    viewer.showSavedForTeacher(QStringLiteral("Saved Records - %1").arg(name), std::move(records));
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();
    hide();
}

void SavedRecordsForm::deleteFile(const QString &name)
{
    if (m_app.ask(QStringLiteral("The saved records file %1 will be deleted and its records lost.\n\nAre you sure "
                                 "you want to delete it?")
                      .arg(quoted(name)),
                  QStringLiteral("Delete Saved Records"), MsgIcon::Critical, MsgButtons::YesNo, MsgNo) != MsgYes)
        return;
    const WriteResult removed = removeRecordsFile(pathOf(name));
    if (!removed.ok) {
        m_app.tell(
            QStringLiteral("The saved records file %1 could not be deleted: %2.").arg(quoted(name), removed.error),
            QStringLiteral("Records Not Deleted"), MsgIcon::Critical);
        return;
    }
    m_app.playClick();
    m_app.tell(QStringLiteral("The saved records file %1 has been deleted.").arg(quoted(name)),
               QStringLiteral("Saved Records Deleted"));
    fillList();
    if (ListCount() == 0) {
        hide();
        m_app.subUtility().showAgain();
    }
}

void SavedRecordsForm::renameFile(const QString &name)
{
    const QString newName = savedNameFromTyped(m_newName->text());
    const QString title = QStringLiteral("Records Not Renamed");
    auto refuse = [this](const QString &text, const QString &boxTitle) {
        m_app.tell(text, boxTitle, MsgIcon::Information);
        m_newName->setFocus();
        m_newName->selectAll();
    };
    if (const std::optional<NameProblem> problem = savedNameProblem(newName)) {
        refuse(problem->text, problem->title);
        return;
    }
    if (newName == name) {
        refuse(QStringLiteral("The saved records file is already named %1. Please type a new name.").arg(quoted(name)),
               title);
        return;
    }
    if (QFileInfo::exists(pathOf(newName))) {
        refuse(QStringLiteral("A saved records file named %1 already exists. Please type another name; renaming "
                              "onto it would destroy its records.")
                   .arg(quoted(newName)),
               QStringLiteral("Name In Use"));
        return;
    }
    const WriteResult renamed = renameRecordsFile(pathOf(name), pathOf(newName));
    if (!renamed.ok) {
        m_app.tell(
            QStringLiteral("The saved records file %1 could not be renamed: %2.").arg(quoted(name), renamed.error),
            title, MsgIcon::Critical);
        return;
    }
    m_app.playClick();
    m_app.tell(QStringLiteral("The saved records file %1 is now named %2.").arg(quoted(name), quoted(newName)),
               QStringLiteral("Records Renamed"));
    fillList(newName);
}

void SavedRecordsForm::help_Click()
{
    QString text;
    switch (m_action) {
    case SavedAction::View:
        text = QStringLiteral("Select a saved records file and press the View button to see its records.");
        break;
    case SavedAction::Delete:
        text = QStringLiteral("Select a saved records file and press the Delete button to remove it.");
        break;
    case SavedAction::Rename:
        text = QStringLiteral("Select a saved records file, type its new name and press the Rename button.");
        break;
    }
    m_app.showAssist(windowTitle(), text);
}

void SavedRecordsForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void SavedRecordsForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.subUtility().showAgain();
}

} // namespace plovista
