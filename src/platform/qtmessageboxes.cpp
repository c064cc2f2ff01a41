#include "platform/qtmessageboxes.h"

#include "platform/titlebar.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>

namespace plovista {

int QtMessageBoxes::ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                        MsgAnswer defaultAnswer)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::None:
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (defaultAnswer) {
    case MsgOk:
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgCancel:
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case MsgRetry:
        box.setDefaultButton(QMessageBox::Retry);
        break;
    case MsgYes:
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgNo:
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    // A short text makes a box narrower than its own title, which a window
    // manager then cuts ("Quit ... gram"). QMessageBox fixes its size from
    // its layout, so the room goes into the layout: the title in a bold face
    // (as title bars draw it) and the title bar's buttons.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(titleBarWidth(box.font(), title), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgYes;
    case QMessageBox::No:
        return MsgNo;
    case QMessageBox::Retry:
        return MsgRetry;
    case QMessageBox::Cancel:
        return MsgCancel;
    default:
        // Closing a Yes/No box with its close button counts as No.
        return buttons == MsgButtons::YesNo ? MsgNo : MsgOk;
    }
}

} // namespace plovista
