#pragma once

#include "settings/textlines.h"

#include <QAbstractScrollArea>
#include <QString>

namespace plovista {

// The records box: a whole text shown read-only in the widget's fixed-pitch
// font, one line under the other and never wrapped, so the columns of the
// records stay in place. Only the lines in sight are read, decoded and drawn,
// so a file of a million records opens at once and costs little more than
// the index of its lines.
class RecordsView final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RecordsView(QWidget *parent = nullptr);

    // Replaces the text.
    void setLines(TextLines lines);
    // The lines joined with LF.
    QString toPlainText() const { return m_lines.joined(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    qsizetype lineCount() const { return m_lines.lineCount(); }
    QString line(qsizetype index) const { return m_lines.line(index); }
    QStringList lines(qsizetype first, qsizetype count) const { return m_lines.lines(first, count); }

    // The first line at the top of the box, and how many lines fit in it.
    qsizetype firstVisibleLine() const;
    qsizetype linesShown() const { return linesInSight(); }
    // The top left of a character's cell in the viewport, as it is scrolled now.
    QPoint cellPosition(qsizetype line, qsizetype column) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateScrollBars();
    int lineHeight() const;
    qreal cellWidth() const;
    int linesInSight() const;

    TextLines m_lines;
};

} // namespace plovista
