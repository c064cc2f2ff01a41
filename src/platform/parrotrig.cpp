#include "platform/parrotrig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

namespace plovista {

namespace {

using Channel = std::optional<double> ParrotClip::Key::*;

std::optional<QPointF> pointFrom(const QJsonValue &value)
{
    const QJsonArray array = value.toArray();
    if (array.size() != 2 || !array.at(0).isDouble() || !array.at(1).isDouble())
        return std::nullopt;
    return QPointF(array.at(0).toDouble(), array.at(1).toDouble());
}

std::optional<double> numberFrom(const QJsonObject &object, const char *name)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

ParrotClip::Key keyFrom(const QJsonObject &object)
{
    ParrotClip::Key key;
    key.ms = object.value(QLatin1String("t")).toInt();
    key.rotation = numberFrom(object, "r");
    key.dx = numberFrom(object, "x");
    key.dy = numberFrom(object, "y");
    key.sx = numberFrom(object, "sx");
    key.sy = numberFrom(object, "sy");
    if (const auto scale = numberFrom(object, "s")) {
        key.sx = scale;
        key.sy = scale;
    }
    return key;
}

PartPose restFrom(const QJsonObject &object)
{
    const ParrotClip::Key key = keyFrom(object);
    PartPose rest;
    rest.rotation = key.rotation.value_or(0);
    rest.dx = key.dx.value_or(0);
    rest.dy = key.dy.value_or(0);
    rest.sx = key.sx.value_or(1);
    rest.sy = key.sy.value_or(1);
    return rest;
}

// Eased between keys, so a move starts and stops softly as a cartoon's does.
double channelAt(const std::vector<ParrotClip::Key> &keys, Channel channel, int ms, double rest)
{
    const ParrotClip::Key *before = nullptr;
    for (const ParrotClip::Key &key : keys) {
        if (!(key.*channel))
            continue;
        if (key.ms >= ms) {
            if (!before || key.ms == ms)
                return *(key.*channel);
            const double u = double(ms - before->ms) / double(key.ms - before->ms);
            const double eased = u * u * (3 - 2 * u);
            const double from = *(before->*channel);
            return from + (*(key.*channel) - from) * eased;
        }
        before = &key;
    }
    return before ? *(before->*channel) : rest;
}

QTransform localTransform(QPointF pivot, const PartPose &pose)
{
    QTransform transform;
    transform.translate(pivot.x() + pose.dx, pivot.y() + pose.dy);
    transform.rotate(pose.rotation);
    transform.scale(pose.sx, pose.sy);
    transform.translate(-pivot.x(), -pivot.y());
    return transform;
}

} // namespace

QString ParrotRig::animationPath(const QString &svgPath)
{
    const QFileInfo info(svgPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".anim.json"));
}

bool ParrotRig::load(const QString &svgPath, qreal scale)
{
    m_scale = scale > 0 ? scale : 1;
    m_parts.clear();
    m_clips.clear();
    if (!QFileInfo::exists(svgPath))
        return false;
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty())
        return false;
    m_size = renderer.defaultSize();

    QStringList drawingIds;
    if (!loadAnimations(animationPath(svgPath), drawingIds))
        return false;
    for (const QString &id : drawingIds) {
        if (!renderer.elementExists(id)) {
            m_parts.clear();
            m_clips.clear();
            return false;
        }
    }

    // Pivots are in the drawing's own units, as the view box gives them.
    const QRectF box = renderer.viewBoxF();
    QTransform toImage;
    toImage.scale(m_size.width() / box.width(), m_size.height() / box.height());
    toImage.translate(-box.x(), -box.y());
    for (Part &part : m_parts)
        part.pivot = toImage.map(part.pivot);

    for (std::size_t i = 1; i < m_parts.size(); ++i) {
        Part &part = m_parts[i];
        part.layer = QImage((QSizeF(m_size) * m_scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        part.layer.setDevicePixelRatio(m_scale);
        part.layer.fill(Qt::transparent);
        QPainter painter(&part.layer);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(toImage);
        renderer.render(&painter, part.id,
                        renderer.transformForElement(part.id).mapRect(renderer.boundsOnElement(part.id)));
    }
    return true;
}

bool ParrotRig::loadAnimations(const QString &path, QStringList &drawingIds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject root = document.object();

    // Part 0 is the whole bird: it has no drawing of its own.
    std::vector<Part> parts;
    const auto rootPivot = pointFrom(root.value(QLatin1String("pivot")));
    if (!rootPivot)
        return false;
    parts.push_back({QStringLiteral("root"), -1, *rootPivot, {}, {}});

    const QJsonArray partArray = root.value(QLatin1String("parts")).toArray();
    for (const QJsonValue &value : partArray) {
        const QJsonObject object = value.toObject();
        const QString id = object.value(QLatin1String("id")).toString();
        const QString parentId = object.value(QLatin1String("parent")).toString(QStringLiteral("root"));
        const auto pivot = pointFrom(object.value(QLatin1String("pivot")));
        const auto parent = std::find_if(parts.begin(), parts.end(), [&](const Part &p) { return p.id == parentId; });
        if (id.isEmpty() || !pivot || parent == parts.end())
            return false;
        parts.push_back(
            {id, int(parent - parts.begin()), *pivot, restFrom(object.value(QLatin1String("rest")).toObject()), {}});
        drawingIds.append(id);
    }
    if (drawingIds.isEmpty())
        return false;

    std::vector<ParrotClip> clips;
    const QJsonObject animations = root.value(QLatin1String("animations")).toObject();
    for (auto it = animations.begin(); it != animations.end(); ++it) {
        const QJsonObject object = it.value().toObject();
        ParrotClip clip;
        clip.name = it.key();
        clip.loops = object.value(QLatin1String("loop")).toBool();
        const QJsonObject tracks = object.value(QLatin1String("tracks")).toObject();
        for (auto track = tracks.begin(); track != tracks.end(); ++track) {
            const auto part =
                std::find_if(parts.begin(), parts.end(), [&](const Part &p) { return p.id == track.key(); });
            if (part == parts.end())
                return false;
            ParrotClip::Track parsed;
            parsed.part = int(part - parts.begin());
            for (const QJsonValue &key : track.value().toArray()) {
                parsed.keys.push_back(keyFrom(key.toObject()));
                clip.durationMs = std::max(clip.durationMs, parsed.keys.back().ms);
            }
            std::stable_sort(parsed.keys.begin(), parsed.keys.end(),
                             [](const ParrotClip::Key &a, const ParrotClip::Key &b) { return a.ms < b.ms; });
            clip.tracks.push_back(std::move(parsed));
        }
        clips.push_back(std::move(clip));
    }

    m_parts = std::move(parts);
    m_clips = std::move(clips);
    return true;
}

const ParrotClip *ParrotRig::clip(const QString &name) const
{
    for (const ParrotClip &clip : m_clips) {
        if (clip.name.compare(name, Qt::CaseInsensitive) == 0)
            return &clip;
    }
    return nullptr;
}

QStringList ParrotRig::clipNames() const
{
    QStringList names;
    for (const ParrotClip &clip : m_clips)
        names.append(clip.name);
    return names;
}

int ParrotRig::partIndex(const QString &id) const
{
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        if (m_parts[i].id == id)
            return int(i);
    }
    return -1;
}

ParrotRig::Pose ParrotRig::restPose() const
{
    Pose pose;
    pose.reserve(m_parts.size());
    for (const Part &part : m_parts)
        pose.push_back(part.rest);
    return pose;
}

ParrotRig::Pose ParrotRig::pose(const ParrotClip *clip, int ms) const
{
    Pose pose = restPose();
    if (!clip)
        return pose;
    const int at = clip->loops && clip->durationMs > 0 ? ms % clip->durationMs : std::clamp(ms, 0, clip->durationMs);
    for (const ParrotClip::Track &track : clip->tracks) {
        PartPose &part = pose[std::size_t(track.part)];
        const PartPose rest = part;
        part.rotation = channelAt(track.keys, &ParrotClip::Key::rotation, at, rest.rotation);
        part.dx = channelAt(track.keys, &ParrotClip::Key::dx, at, rest.dx);
        part.dy = channelAt(track.keys, &ParrotClip::Key::dy, at, rest.dy);
        part.sx = channelAt(track.keys, &ParrotClip::Key::sx, at, rest.sx);
        part.sy = channelAt(track.keys, &ParrotClip::Key::sy, at, rest.sy);
    }
    return pose;
}

QImage ParrotRig::render(const Pose &pose) const
{
    QImage frame((QSizeF(m_size) * m_scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(m_scale);
    frame.fill(Qt::transparent);
    if (pose.size() != m_parts.size())
        return frame;
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    std::vector<QTransform> world(m_parts.size());
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        const Part &part = m_parts[i];
        const QTransform local = localTransform(part.pivot, pose[i]);
        world[i] = part.parent >= 0 ? local * world[std::size_t(part.parent)] : local;
        if (part.layer.isNull())
            continue;
        painter.setTransform(world[i]);
        painter.drawImage(0, 0, part.layer);
    }
    return frame;
}

} // namespace plovista
