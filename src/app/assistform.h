#pragma once

#include "app/formwindow.h"

class QLabel;

namespace plovista {

// The directions window: one label, reused by every Help command and
// information item, sized to its text.
class AssistForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit AssistForm(App &app);

    // Replaces title and text, resizes to fit and shows the window modeless,
    // clear of `keepInSight` (screen coordinates) when that is given.
    void showText(const QString &title, const QString &text, const QRect &keepInSight = {});
    QString text() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *m_label1 = nullptr;
};

} // namespace plovista
