#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <vector>

namespace plovista {

// The records box: a whole text shown read-only in the widget's fixed-pitch
// font, one line under the other and never wrapped, so the columns of the
// records stay in place. Only the lines in sight are drawn, so a file of a
// hundred thousand records opens at once and costs little more than its text.
class RecordsView final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RecordsView(QWidget *parent = nullptr);

    // Replaces the text; CR LF, LF and CR each end a line, and the text after
    // the last line end (empty when the text ends with one) is the last line.
    void setPlainText(const QString &text);
    // The lines joined with LF.
    QString toPlainText() const;
    qsizetype lineCount() const { return static_cast<qsizetype>(m_lines.size()); }
    QString line(qsizetype index) const;

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
    struct Span
    {
        qsizetype start;
        qsizetype length;
    };

    void updateScrollBars();
    int lineHeight() const;
    qreal cellWidth() const;
    int linesInSight() const;

    QString m_text;
    std::vector<Span> m_lines;
    qsizetype m_longest = 0;
};

} // namespace plovista
