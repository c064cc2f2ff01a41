#include "app/assistform.h"

#include "app/agentmissing.h"
#include "app/app.h"
#include "app/fontfamilies.h"
#include "app/twips.h"
#include "app/windowplacement.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace plovista {

namespace {
constexpr int kLabelLeft = 360;
constexpr int kLabelTop = 100;
constexpr int kLabelWidth = 7000; // the widest the label grows before it wraps
constexpr int kMargin = 700;
} // namespace

AssistForm::AssistForm(App &app)
    : FormWindow(app, Audience::Unaccompanied, QStringLiteral("AssistForm"))
{
    setWindowTitle(QStringLiteral("Help"));
    m_label1 = new QLabel(client());
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont arial(QStringLiteral("Arial"));
    arial.setFamilies(installedFirst({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}));
    arial.setPointSize(10);
    m_label1->setFont(arial);
}

QString AssistForm::text() const
{
    return m_label1->text();
}

void AssistForm::showText(const QString &title, const QString &text, const QRect &keepInSight)
{
    setWindowTitle(title);
    m_label1->setText(text);
    // The label keeps to one line when the text is short and wraps at its
    // designed width when it is long; the window is the label plus a margin.
    const QFontMetrics metrics(m_label1->font());
    int width = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        width = std::max(width, metrics.horizontalAdvance(line) + 2);
    width = std::min(width, twips(kLabelWidth));
    const int height = m_label1->heightForWidth(width);
    m_label1->setGeometry(twips(kLabelLeft), twips(kLabelTop), width, std::max(height, metrics.height()));
    client()->setFixedSize(m_label1->width() + twips(kMargin), m_label1->height() + twips(kMargin));
    adjustSize();
    const QScreen *screen = this->screen();
    if (keepInSight.isValid() && screen)
        placeFrameAt(placeClearOf(frameSizeGuess(), keepInSight, screen->availableGeometry()));
    show();
    raise();
    activateWindow();
}

void AssistForm::keyPressEvent(QKeyEvent *event)
{
    // The window has nothing to press; Escape puts it away, as it does a
    // message box, and the keyboard goes back to the window it explained.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    FormWindow::keyPressEvent(event);
}

void AssistForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The notice about the missing character must stay in front.
    AgentMissing *notice = m_app.existingAgentMissing();
    if (notice && notice->isVisible())
        notice->raise();
}

} // namespace plovista
