#pragma once

#include "corefakes.h"

#include "app/app.h"
#include "platform/printing.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <vector>

namespace plovista::test {

class FakePrinting : public Printing
{
public:
    PrintOutcome printImage(const QImage &image, const QString &jobName) override
    {
        images.push_back(image);
        jobs << jobName;
        return outcome;
    }
    // Draws the page into a PDF document on A4 paper with 10 mm margins, as
    // a printer without a driver would get it.
    PrintOutcome printPainted(const QString &jobName, const PaintPage &paint) override
    {
        jobs << jobName;
        if (!outcome.printed)
            return outcome;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
            writer.setResolution(300);
            QPainter painter(&writer);
            paint(painter, QRectF(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size()));
        }
        pdfs.push_back(buffer.data());
        return outcome;
    }

    // Plays the print dialog with `copies` chosen, unless the outcome says it
    // was cancelled, and keeps the pages of every job.
    PrintOutcome printPages(const QString &jobName, const PagesForCopies &pagesFor) override
    {
        jobs << jobName;
        if (!outcome.cancelled)
            pages += pagesFor(copies);
        return outcome;
    }

    std::vector<QImage> images;
    std::vector<QByteArray> pdfs;
    QStringList jobs;
    PrintOutcome outcome {true, false, {}};
    int copies = 1;
    QList<PrintPage> pages;
};

// The real hub and windows over test doubles, in a fresh working folder.
class Harness
{
public:
    struct Options
    {
        bool characterInstalled = true;
        std::optional<OsVersion> os = OsVersion {false, 6, 1, 0};
    };

    Harness();
    explicit Harness(Options options);
    ~Harness();

    // Runs the start-up and lets the deferred part of it run too.
    void start();
    // The program ended and started again in the same folder: a new hub
    // and new doubles over the files the last run left. Call start() next.
    void restart();

    QString folder() const { return m_dir.path(); }
    QString settingsPath(const QString &name) const { return m_dir.path() + QStringLiteral("/Files/") + name; }
    // Writes a settings file's raw bytes before start-up.
    void writeRaw(const QString &name, const QByteArray &bytes) const;
    QByteArray readRaw(const QString &name) const;

    App &app() { return *m_app; }
    AppState &state() { return m_app->state(); }
    Settings &settings() { return m_app->settings(); }
    bool programEnded() const { return m_ended; }

    // A control of any window by its object name.
    template<typename T>
    T *find(const QString &objectName) const
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *hit = qobject_cast<T *>(top); hit && top->objectName() == objectName)
                return hit;
            if (auto *hit = top->findChild<T *>(objectName))
                return hit;
        }
        return nullptr;
    }
    template<typename T>
    T *findIn(const QString &windowName, const QString &objectName) const
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == windowName)
                return top->findChild<T *>(objectName);
        return nullptr;
    }
    QWidget *window(const QString &objectName) const;

    FakeMessageBoxes *boxes = nullptr;
    FakeCharacter *character = nullptr;
    FakeVoice *voice = nullptr;
    FakeSound *sound = nullptr;
    FakePrinting *printing = nullptr;
    FakeDisplay *display = nullptr;
    FakeSystemInfo *systemInfo = nullptr;
    FakeClock *clock = nullptr;
    FakeRandom *random = nullptr;
    FakeShell *shell = nullptr;

private:
    void build();

    Options m_options;
    QTemporaryDir m_dir;
    QTemporaryDir m_systemDir;
    std::unique_ptr<App> m_app;
    bool m_ended = false;
};

} // namespace plovista::test
