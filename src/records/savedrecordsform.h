#pragma once

#include "app/formwindow.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace plovista {

enum class SavedAction { View, Delete, Rename };

// The list of saved record files, serving the three saved-file choices of
// the records sub-menu: view a file, delete it, or give it a new name.
class SavedRecordsForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit SavedRecordsForm(App &app);

    // Caption, button and list for one action over the files of a folder.
    void prepare(SavedAction action, const QString &folder);
    int ListCount() const;
    void showAgain();

    void File1_Click();
    void AcceptFileButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fillList(const QString &select = {});
    QString chosenFile() const;
    QString pathOf(const QString &name) const;
    void viewFile(const QString &name);
    void deleteFile(const QString &name);
    void renameFile(const QString &name);
    void layOut();

    SavedAction m_action = SavedAction::View;
    QString m_folder;
    int m_previewWidth = 0; // twips
    QListWidget *m_file1 = nullptr;
    QPlainTextEdit *m_previewFile = nullptr;
    QLabel *m_previewLabel = nullptr;
    QLabel *m_newNameLabel = nullptr;
    QLineEdit *m_newName = nullptr;
    QPushButton *m_acceptFileButt = nullptr;
};

} // namespace plovista
