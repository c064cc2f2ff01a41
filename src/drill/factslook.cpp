#include "drill/factslook.h"

#include "app/fontfamilies.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "drill/answeredit.h"

#include <QLabel>

namespace plovista {

QFont factsNumberFont()
{
    QFont font;
    font.setFamilies(
        installedFirst({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Courier")}));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(true);
    font.setPixelSize(NumberFontPixels);
    return font;
}

QFont factsSignFont(int pointSize)
{
    QFont font = factsNumberFont();
    font.setPointSize(pointSize);
    return font;
}

QFont factsCounterFont(int pointSize)
{
    QFont font;
    font.setPointSize(pointSize);
    font.setBold(true);
    return font;
}

Qt::Alignment factsAlignment(TextAlign align)
{
    switch (align) {
    case TextAlign::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case TextAlign::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case TextAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void setInk(QWidget *widget, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void paintPaper(QWidget *client)
{
    client->setAutoFillBackground(true);
    QPalette paper = client->palette();
    paper.setColor(QPalette::Window, FactsPaper);
    client->setPalette(paper);
}

void styleAnswerBox(AnswerEdit *box)
{
    box->setFont(factsNumberFont());
    // The border and padding add up to AnswerBoxInsetTwips with the line
    // edit's own 2-pixel margin, so typed digits end under the digits above.
    box->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #3d5a99; border-radius: 3px; padding: 0 1px;"
                                      " background: white; color: #1b264a; }"
                                      "QLineEdit:disabled { border-color: #a9b3c7; color: #7d869a; }"));
}

void placeFactsLabel(QLabel *label, const Placement &place)
{
    placeTwips(label, place.left, place.top, place.width, place.height);
    label->setAlignment(factsAlignment(place.align));
    label->setContentsMargins(0, twips(place.marginTop), 0, twips(place.marginBottom));
}

void placeFactsLine(LineControl *line, const LineSpan &span)
{
    const bool horizontal = span.y1 == span.y2;
    const int length = horizontal ? span.x2 - span.x1 : span.y2 - span.y1;
    const int thickness = length <= 300 ? 3 : 2;
    if (horizontal)
        line->setGeometry(twips(span.x1), twips(span.y1) - thickness / 2, twips(span.x2) - twips(span.x1), thickness);
    else
        line->setGeometry(twips(span.x1) - thickness / 2, twips(span.y1), thickness, twips(span.y2) - twips(span.y1));
}

} // namespace plovista
