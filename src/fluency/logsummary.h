#pragma once

#include "fluency/fluencygrid.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace plovista {

// What a load of the log derived from one file, kept beside the log so the
// next load reads only what was appended since. A cache of our own, never the
// only copy: a summary that is missing, damaged, of another version, or of a
// file that shrank or was replaced is read again from the log (and written
// anew); a folder that cannot be written to only makes loads slower.
inline constexpr QLatin1String SummaryFolder(".summary");

struct LogSummary
{
    QString student;
    LogFileFluency fluency;
    // How far into the log file it was read (the end of its last whole
    // line), and digests of the bytes that lead up to there, which a
    // replaced or rewritten file does not have.
    qint64 end = 0;
    quint64 headDigest = 0;
    quint64 tailDigest = 0;
};

// "<folder of the log>/.summary/<log file name>.<digest of the student>.sum":
// one for each student a file holds lines of (a file not named by us may hold
// several).
QString summaryPath(const QString &logPath, const QString &student);

QByteArray encodeSummary(const LogSummary &summary);
// A fact's tries by week as a summary packs them, each WeekTryBytes long;
// the bytes hold at least count of them.
inline constexpr qsizetype WeekTryBytes = 8 + 4 + 4 + 4 + 1;
std::vector<WeekTry> unpackWeekTries(QByteArrayView bytes, quint32 count);
// Empty for bytes that are not a whole summary of this version.
std::optional<LogSummary> decodeSummary(const QByteArray &bytes);

// The digests of the bytes before `end` of the log file; empty when it is
// shorter than that or cannot be read.
struct LogDigests
{
    quint64 head = 0;
    quint64 tail = 0;
};
std::optional<LogDigests> logDigests(const QString &logPath, qint64 end);

// The summary of the student's lines in the log file, when there is one that
// still fits the file (its read part unchanged).
std::optional<LogSummary> readSummary(const QString &logPath, const QString &student);
// Written atomically; false when it could not be (a read-only folder).
bool writeSummary(const QString &logPath, const LogSummary &summary);

} // namespace plovista
