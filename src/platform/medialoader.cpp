#include "platform/medialoader.h"

#include "platform/afterfirstpaint.h"
#include "platform/silentspeech.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>
#include <deque>

namespace plovista {

// A stand-in the loader hands its part to once it has it (or knows it
// cannot have it: `parts` empty).
class DeferredPart
{
public:
    explicit DeferredPart(MediaLoader &loader)
        : m_loader(loader)
    { }
    virtual ~DeferredPart() { m_loader.forget(this); }
    DeferredPart(const DeferredPart &) = delete;
    DeferredPart &operator=(const DeferredPart &) = delete;
    virtual void attach(MediaParts *parts) = 0;

protected:
    MediaLoader &m_loader;
};

namespace {

// Requests made before the real part is there, played to it in order. While
// they are played, a request they cause (a whenQuiet that runs at once and
// asks for more) joins the end of the line rather than jumping it.
template<class Part>
class Requests
{
public:
    using Request = std::function<void(Part &)>;
    void make(Request request)
    {
        if (m_real && !m_playing)
            request(*m_real);
        else
            m_waiting.push_back(std::move(request));
    }
    void setReal(std::unique_ptr<Part> real)
    {
        m_real = std::move(real);
        m_playing = true;
        while (!m_waiting.empty()) {
            Request request = std::move(m_waiting.front());
            m_waiting.pop_front();
            request(*m_real);
        }
        m_playing = false;
    }
    Part *real() const { return m_real.get(); }

private:
    std::unique_ptr<Part> m_real;
    std::deque<Request> m_waiting;
    bool m_playing = false;
};

class DeferredCharacter final : public Character, public DeferredPart
{
public:
    using DeferredPart::DeferredPart;
    // Until the parts are loaded the drawing is taken as sound; a damaged one
    // then makes the character ignore every request, as it would have.
    bool load(const QString &id, const QString &filePath) override
    {
        if (Character *real = m_requests.real())
            return real->load(id, filePath);
        m_requests.make([id, filePath](Character &c) { c.load(id, filePath); });
        return true;
    }
    void show() override
    {
        m_requests.make([](Character &c) { c.show(); });
    }
    void hide() override
    {
        m_requests.make([](Character &c) { c.hide(); });
    }
    void moveTo(int x, int y) override
    {
        m_requests.make([x, y](Character &c) { c.moveTo(x, y); });
    }
    void play(const QString &animation) override
    {
        m_requests.make([animation](Character &c) { c.play(animation); });
    }
    void speak(const QString &text) override
    {
        m_requests.make([text](Character &c) { c.speak(text); });
    }
    void stopAll() override
    {
        m_requests.make([](Character &c) { c.stopAll(); });
    }
    void stopAtWordEnd() override
    {
        m_requests.make([](Character &c) { c.stopAtWordEnd(); });
    }
    void whenQuiet(std::function<void()> done) override
    {
        m_requests.make([done = std::move(done)](Character &c) mutable { c.whenQuiet(std::move(done)); });
    }
    void dropWaitingSpeech() override
    {
        m_requests.make([](Character &c) { c.dropWaitingSpeech(); });
    }
    void attach(MediaParts *parts) override
    {
        m_requests.setReal(parts ? parts->makeCharacter() : std::make_unique<SilentCharacter>());
    }

private:
    Requests<Character> m_requests;
};

class DeferredVoice final : public Voice, public DeferredPart
{
public:
    using DeferredPart::DeferredPart;
    void speak(const QString &text) override
    {
        m_requests.make([text](Voice &v) { v.speak(text); });
    }
    void stop() override
    {
        m_requests.make([](Voice &v) { v.stop(); });
    }
    void whenQuiet(std::function<void()> done) override
    {
        m_requests.make([done = std::move(done)](Voice &v) mutable { v.whenQuiet(std::move(done)); });
    }
    void dropWaiting() override
    {
        m_requests.make([](Voice &v) { v.dropWaiting(); });
    }
    void attach(MediaParts *parts) override
    {
        m_requests.setReal(parts ? parts->makeVoice() : std::make_unique<SilentVoice>());
    }

private:
    Requests<Voice> m_requests;
};

class NoSound final : public Sound
{
public:
    void play(const QString &) override { }
};

class DeferredSound final : public Sound, public DeferredPart
{
public:
    using DeferredPart::DeferredPart;
    void play(const QString &wavPath) override
    {
        m_requests.make([wavPath](Sound &s) { s.play(wavPath); });
    }
    void attach(MediaParts *parts) override
    {
        m_requests.setReal(parts ? parts->makeSound() : std::make_unique<NoSound>());
    }

private:
    Requests<Sound> m_requests;
};

class DeferredPrinting final : public Printing, public DeferredPart
{
public:
    using DeferredPart::DeferredPart;
    PrintOutcome printImage(const QImage &image, const QString &jobName) override
    {
        Printing *real = ready();
        return real ? real->printImage(image, jobName) : refused();
    }
    PrintOutcome printPainted(const QString &jobName, const PaintPage &paint) override
    {
        Printing *real = ready();
        return real ? real->printPainted(jobName, paint) : refused();
    }
    PrintOutcome printPages(const QString &jobName, const PagesForCopies &pagesFor) override
    {
        Printing *real = ready();
        return real ? real->printPages(jobName, pagesFor) : refused();
    }
    void attach(MediaParts *parts) override
    {
        if (parts)
            m_real = parts->makePrinting();
    }

private:
    // A teacher who prints before the parts have loaded waits for them.
    Printing *ready()
    {
        m_loader.load();
        return m_real.get();
    }
    PrintOutcome refused() const
    {
        PrintOutcome outcome;
        outcome.error =
            QStringLiteral("The printing part of the program could not be loaded (%1).").arg(m_loader.failure());
        return outcome;
    }

    std::unique_ptr<Printing> m_real;
};

} // namespace

MediaLoader::MediaLoader()
    : m_make([this] { return loadModule(); })
{ }

MediaLoader::MediaLoader(Maker make)
    : m_make(std::move(make))
{ }

MediaLoader::~MediaLoader() = default;

std::unique_ptr<MediaParts> MediaLoader::loadModule()
{
    // Beside the executable, in the build folder as where it is installed.
    m_module.setFileName(QCoreApplication::applicationDirPath() + QStringLiteral("/plovista_media"));
    if (!m_module.load())
        return nullptr;
    auto *make = reinterpret_cast<MakeMediaParts *>(m_module.resolve(MediaPartsEntry));
    if (!make)
        return nullptr;
    return std::unique_ptr<MediaParts>(make());
}

template<class Stand>
static std::unique_ptr<Stand> stand(MediaLoader &loader, MediaParts *parts, bool loaded,
                                    std::vector<DeferredPart *> &waiting)
{
    auto part = std::make_unique<Stand>(loader);
    if (loaded)
        part->attach(parts);
    else
        waiting.push_back(part.get());
    return part;
}

std::unique_ptr<Character> MediaLoader::character()
{
    return stand<DeferredCharacter>(*this, m_parts.get(), m_loaded, m_waiting);
}

std::unique_ptr<Voice> MediaLoader::voice()
{
    return stand<DeferredVoice>(*this, m_parts.get(), m_loaded, m_waiting);
}

std::unique_ptr<Sound> MediaLoader::sound()
{
    return stand<DeferredSound>(*this, m_parts.get(), m_loaded, m_waiting);
}

std::unique_ptr<Printing> MediaLoader::printing()
{
    return stand<DeferredPrinting>(*this, m_parts.get(), m_loaded, m_waiting);
}

void MediaLoader::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_parts = m_make();
    if (m_parts) {
        m_parts->beginSpeech();
    } else {
        m_failure = m_module.errorString();
        if (m_failure.isEmpty() || m_failure == QLatin1String("Unknown error"))
            m_failure = QStringLiteral("no speech, sound or printing in this build");
        qWarning().noquote() << "Plovista: speech, sound and printing could not be loaded:" << m_failure;
    }
    const std::vector<DeferredPart *> waiting = std::move(m_waiting);
    m_waiting.clear();
    for (DeferredPart *part : waiting)
        part->attach(m_parts.get());
}

void MediaLoader::loadAfterFirstPaint()
{
    if (!m_loaded && !m_watcher)
        m_watcher = afterFirstPaint([this] { load(); });
}

void MediaLoader::forget(DeferredPart *part)
{
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), part), m_waiting.end());
}

} // namespace plovista
