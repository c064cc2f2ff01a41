#pragma once

#include "drill/facts.h"
#include "fluency/factstatus.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QPair>
#include <QRectF>
#include <QString>

class QPainter;

namespace plovista {

// What the child sees of an operation at the end of a Daily Practice: every
// fact practised so far, by the (left, right) it shows, at its level in the
// teacher's grid, and the facts brought in today.
struct PracticeMap
{
    Operation operation = Operation::Multiplication;
    QMap<QPair<int, int>, FactLevel> levels;
    QList<Fact> newToday;
};

// The map as a grid of the operation's families, each fact in the grid's
// colours and marks, today's new facts ringed, and a key in the child's words.
// Scaled to fit the area, keeping its proportions.
void paintPracticeMap(QPainter &painter, const QRectF &area, const PracticeMap &map);

// Today's practice as a ring that fills as the session goes: done of planned,
// and the number of practice days in its middle (none when negative). Effort
// only: nothing in it says how fast.
void paintPracticeRing(QPainter &painter, const QRectF &area, double done, int practiceDays);

// The certificate a child takes home when a family is known in full: one
// page, the child's name, the families and the day.
void paintCertificate(QPainter &painter, const QRectF &page, const QString &student, Operation operation,
                      const QList<int> &families, const QDate &day);

// "7 x 8", "12 - 5", as the map and the end screen write a fact.
QString practiceFactText(const Fact &fact);

} // namespace plovista
