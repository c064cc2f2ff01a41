#pragma once

#include <QLineEdit>

namespace plovista {

// The drill's answer box. It takes digits only, so nothing but a number ever
// reaches the check; the space bar and the number pad's point (its Del key)
// rub out the last digit, as the directions promise.
class AnswerEdit final : public QLineEdit
{
    Q_OBJECT
public:
    explicit AnswerEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace plovista
