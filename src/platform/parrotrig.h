#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace plovista {

// How far a part is turned, shifted and stretched about its pivot.
struct PartPose
{
    double rotation = 0; // degrees, clockwise on screen
    double dx = 0;
    double dy = 0;
    double sx = 1;
    double sy = 1;
};

// One animation: key frames per part; values between keys are eased.
struct ParrotClip
{
    struct Key
    {
        int ms = 0;
        std::optional<double> rotation, dx, dy, sx, sy;
    };
    struct Track
    {
        int part = 0; // index into the rig's parts; 0 is the whole bird
        std::vector<Key> keys;
    };

    QString name;
    int durationMs = 0;
    bool loops = false;
    std::vector<Track> tracks;
};

// The parrot as a puppet: the drawing's named groups are its parts, each
// hung from a parent part and turned about its own pivot. The drawing is an
// SVG; the rig and animations live beside it in "<name>.anim.json".
class ParrotRig
{
public:
    using Pose = std::vector<PartPose>; // one per part, the whole bird first

    // False when either file is missing or damaged, or a part is absent
    // from the drawing; the rig is then empty. Frames are drawn with `scale`
    // device pixels to each of the drawing's, for screens at that scale.
    bool load(const QString &svgPath, qreal scale = 1);
    bool isLoaded() const { return !m_parts.empty(); }

    // In the drawing's pixels, whatever the scale.
    QSize size() const { return m_size; }
    // Animation names are matched without regard to letter case.
    const ParrotClip *clip(const QString &name) const;
    QStringList clipNames() const;
    // -1 when the rig has no such part.
    int partIndex(const QString &id) const;

    Pose restPose() const;
    // The rest pose with the clip at `ms` laid over it (null clip: rest).
    Pose pose(const ParrotClip *clip, int ms) const;
    QImage render(const Pose &pose) const;

    // The animations file that belongs to a drawing.
    static QString animationPath(const QString &svgPath);

private:
    struct Part
    {
        QString id;
        int parent = -1;
        QPointF pivot;
        PartPose rest;
        QImage layer; // the part alone, drawn where it sits at rest
    };

    bool loadAnimations(const QString &path, QStringList &drawingIds);

    QSize m_size;
    qreal m_scale = 1;
    std::vector<Part> m_parts;
    std::vector<ParrotClip> m_clips;
};

} // namespace plovista
