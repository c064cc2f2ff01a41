#include "harness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace plovista::test {

Harness::Harness()
    : Harness(Options {})
{ }

Harness::Harness(Options options)
    : m_options(options)
{
    build();
}

void Harness::restart()
{
    m_app.reset();
    m_ended = false;
    build();
}

void Harness::build()
{
    const Options &options = m_options;
    Services services;
    auto take = [](auto &slot, auto *&raw, auto object) {
        raw = object.get();
        slot = std::move(object);
    };
    take(services.boxes, boxes, std::make_unique<FakeMessageBoxes>());
    take(services.character, character, std::make_unique<FakeCharacter>());
    take(services.voice, voice, std::make_unique<FakeVoice>());
    take(services.sound, sound, std::make_unique<FakeSound>());
    take(services.printing, printing, std::make_unique<FakePrinting>());
    take(services.display, display, std::make_unique<FakeDisplay>());
    take(services.systemInfo, systemInfo, std::make_unique<FakeSystemInfo>());
    take(services.clock, clock, std::make_unique<FakeClock>());
    take(services.random, random, std::make_unique<FakeRandom>());
    take(services.shell, shell, std::make_unique<FakeShell>());

    systemInfo->os = options.os;
    systemInfo->folder = m_systemDir.path();
    if (options.characterInstalled) {
        QFile peedy(m_systemDir.path() + QStringLiteral("/Peedy.svg"));
        if (peedy.open(QIODevice::WriteOnly))
            peedy.write("<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
        QFile animations(m_systemDir.path() + QStringLiteral("/Peedy.anim.json"));
        if (animations.open(QIODevice::WriteOnly))
            animations.write("{}");
    }
    m_app = std::make_unique<App>(m_dir.path(), std::move(services));
    m_app->setProgramEnder([this] { m_ended = true; });
}

Harness::~Harness()
{
    m_app.reset();
}

void Harness::start()
{
    m_app->start();
    // The character and the greeting come in a deferred step.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void Harness::writeRaw(const QString &name, const QByteArray &bytes) const
{
    QDir().mkpath(m_dir.path() + QStringLiteral("/Files"));
    QFile file(settingsPath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray Harness::readRaw(const QString &name) const
{
    QFile file(settingsPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QWidget *Harness::window(const QString &objectName) const
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == objectName)
            return top;
    return nullptr;
}

} // namespace plovista::test
