#include "app/workingfolder.h"

#include "drill/recordline.h"
#include "fluency/answerlog.h"
#include "settings/textfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plovista {

namespace {

QString userName()
{
    const passwd *user = ::getpwuid(::geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(::geteuid());
}

std::optional<QString> groupName(gid_t gid)
{
    const group *named = ::getgrgid(gid);
    return named ? std::optional(QString::fromLocal8Bit(named->gr_name)) : std::nullopt;
}

bool inGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), gid) != groups.begin() + std::max(count, 0);
}

// 0 when this user may do `mode` to the path (a missing path is no problem
// unless it is the folder itself), else the error number.
int refused(const QByteArray &path, int mode)
{
    return ::access(path.constData(), mode) == 0 ? 0 : errno;
}

} // namespace

std::optional<FolderProblem> workingFolderProblem(const QString &folder, bool classFolder)
{
    const QString kind = classFolder ? QStringLiteral("class folder") : QStringLiteral("folder");
    const QByteArray path = QFile::encodeName(folder);
    struct stat info
    {
    };
    const bool found = ::stat(path.constData(), &info) == 0;
    // What the administrator does about a refusal.
    const auto fixFor = [&](int errorNumber) {
        const std::optional<QString> group = found ? groupName(info.st_gid) : std::nullopt;
        if (errorNumber == EROFS)
            return QStringLiteral("The administrator must make the disk or share it is on writable.");
        if (!found || errorNumber == ENOTDIR)
            return QStringLiteral("The administrator must make it, or connect the network share it is on.");
        if (classFolder && group && !inGroup(info.st_gid))
            return QStringLiteral("The administrator adds this user to the folder's group, as root:\n"
                                  "usermod -aG %2 %1\nand the user logs in again.")
                .arg(userName(), *group);
        if (classFolder && group)
            return QStringLiteral("The administrator lets the group %1 write in it, as root:\nchmod -R g+rwX '%2'\n"
                                  "find '%2' -type d -exec chmod g+s {} +")
                .arg(*group, folder);
        return QStringLiteral("The administrator gives this user the folder, as root:\nchown -R %1 '%2'")
            .arg(userName(), folder);
    };

    int errorNumber = !found ? errno : (S_ISDIR(info.st_mode) ? 0 : ENOTDIR);
    if (errorNumber == 0)
        errorNumber = refused(path, R_OK | X_OK);
    if (errorNumber != 0) {
        return FolderProblem {QStringLiteral("Plovista cannot open the %1\n%2\n(%3).\n\n%4\n\nPlovista ends now.")
                                  .arg(kind, folder, fileErrorReason(errorNumber), fixFor(errorNumber)),
                              false};
    }

    // What each part needs: a folder whose files are made and replaced, a
    // file appended in place.
    struct Part
    {
        QString name;
        QString what;
        int mode;
    };
    const std::vector<Part> parts = {
        {{}, {}, W_OK | X_OK},
        {QStringLiteral("Files"), QStringLiteral("its folder \"Files\""), W_OK | X_OK},
        {QStringLiteral("SDat"), QStringLiteral("its folder \"SDat\""), W_OK | X_OK},
        {AnswerLogFolder, QStringLiteral("its folder \"%1\"").arg(AnswerLogFolder), W_OK | X_OK},
        {CurrentRecordsFile, QStringLiteral("its records file \"%1\"").arg(CurrentRecordsFile), W_OK},
    };
    for (const Part &part : parts) {
        const QByteArray partPath = part.name.isEmpty() ? path : path + '/' + QFile::encodeName(part.name);
        // A part that is missing will be made; one of the wrong kind is told
        // where it is used, with what stands in its way.
        struct stat partInfo
        {
        };
        if (!part.name.isEmpty() &&
            (::stat(partPath.constData(), &partInfo) != 0 || S_ISDIR(partInfo.st_mode) != ((part.mode & X_OK) != 0)))
            continue;
        errorNumber = refused(partPath, part.mode);
        if (errorNumber == 0)
            continue;
        const QString where = part.name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(part.what);
        return FolderProblem {QStringLiteral("Plovista cannot write in the %1\n%2%3\n(%4), so drills would not be "
                                             "recorded.\n\n%5")
                                  .arg(kind, folder, where, fileErrorReason(errorNumber), fixFor(errorNumber))};
    }
    return std::nullopt;
}

} // namespace plovista
