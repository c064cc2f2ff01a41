#pragma once

// A small tmpfs mounted for one test, so a disk runs out of room for real.
// Header only: core tests use it as well as window tests.

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace plovista::test {

class SmallDisk
{
public:
    // Mounted on a fresh folder, or over an existing one, which it hides
    // until the test ends.
    explicit SmallDisk(const QString &mountPoint = QString(), int kilobytes = 64)
        : m_path(mountPoint.isEmpty() ? m_dir.path() : mountPoint)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + 'k';
        if (::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_whyNot = QStringLiteral("a small disk cannot be mounted here (%1): run the tests as root to cover a "
                                      "full disk")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QByteArray whyNot() const { return m_whyNot.toLocal8Bit(); }
    QString path() const { return m_path; }

    // Takes every byte that is left into a file of its own.
    void fill() const
    {
        const int fd = ::open(QFile::encodeName(m_path + QStringLiteral("/filler")).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0)
            return;
        const char block[4096] = {};
        while (::write(fd, block, sizeof block) > 0) { }
        while (::write(fd, block, 1) > 0) { }
        ::close(fd);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
    QString m_whyNot;
};

} // namespace plovista::test
