#include "editor/GizmoMath.h"

#include <OgreMatrix3.h>
#include <OgrePlane.h>

#include <cmath>

namespace Kelvo {

namespace GizmoMath {

namespace {

// Below this cosine between the ray and the ring's axis the ring is seen
// too nearly edge-on for its plane to be met where the cursor points.
const float kEdgeOnCosine = 0.2f;
const float kTiny = 1e-6f;

} // namespace

bool facingPlanePoint(const Ogre::Ray& ray, const Ogre::Vector3& point, Ogre::Vector3& out)
{
    const Ogre::Vector3 normal = -ray.getDirection().normalisedCopy();
    const std::pair<bool, Ogre::Real> hit = ray.intersects(Ogre::Plane(normal, point));
    if (!hit.first) {
        return false;
    }
    out = ray.getPoint(hit.second);
    return true;
}

bool ringVector(const Ogre::Ray& ray, const Ogre::Vector3& centre, const Ogre::Vector3& axis, Ogre::Vector3& out)
{
    const Ogre::Vector3 unit = axis.normalisedCopy();
    const float cosine = std::abs(ray.getDirection().normalisedCopy().dotProduct(unit));
    Ogre::Vector3 point;
    if (cosine >= kEdgeOnCosine) {
        const std::pair<bool, Ogre::Real> hit = ray.intersects(Ogre::Plane(unit, centre));
        if (!hit.first) {
            return false;
        }
        point = ray.getPoint(hit.second);
    } else if (!facingPlanePoint(ray, centre, point)) {
        return false;
    }
    Ogre::Vector3 offset = point - centre;
    offset -= unit * offset.dotProduct(unit);
    if (offset.squaredLength() < kTiny) {
        return false;
    }
    out = offset;
    return true;
}

float signedAngle(const Ogre::Vector3& from, const Ogre::Vector3& to, const Ogre::Vector3& axis)
{
    const float sine = axis.normalisedCopy().dotProduct(from.crossProduct(to));
    const float cosine = from.dotProduct(to);
    return Ogre::Radian(std::atan2(sine, cosine)).valueDegrees();
}

bool axisParameter(const Ogre::Ray& ray, const Ogre::Vector3& centre, const Ogre::Vector3& axis, float& out)
{
    // The nearest points of two lines: centre + s * axis and origin + t * d.
    const Ogre::Vector3 a = axis.normalisedCopy();
    const Ogre::Vector3 d = ray.getDirection().normalisedCopy();
    const Ogre::Vector3 w = centre - ray.getOrigin();
    const float b = a.dotProduct(d);
    const float denominator = 1 - b * b;
    if (denominator < kTiny) {
        return false;
    }
    out = (b * w.dotProduct(d) - w.dotProduct(a)) / denominator;
    return true;
}

bool rayNearCircle(const Ogre::Ray& ray, const Ogre::Vector3& centre, const Ogre::Vector3& axis, float radius,
                   float tolerance, float& distance)
{
    // Points on the circle close enough together that the ray cannot slip
    // between two of them unnoticed.
    const int kSamples = 128;
    const Ogre::Vector3 unit = axis.normalisedCopy();
    const Ogre::Vector3 across = unit.perpendicular();
    const Ogre::Vector3 other = unit.crossProduct(across);
    const Ogre::Vector3 direction = ray.getDirection().normalisedCopy();
    float best = tolerance;
    bool found = false;
    for (int i = 0; i < kSamples; ++i) {
        const float angle = Ogre::Math::TWO_PI * static_cast<float>(i) / kSamples;
        const Ogre::Vector3 point = centre + (across * std::cos(angle) + other * std::sin(angle)) * radius;
        const float along = (point - ray.getOrigin()).dotProduct(direction);
        if (along <= 0) {
            continue;
        }
        const float miss = (ray.getOrigin() + direction * along).distance(point);
        if (miss < best) {
            best = miss;
            distance = along;
            found = true;
        }
    }
    return found;
}

Ogre::Quaternion fromEulerDegrees(const Ogre::Vector3& degrees)
{
    const Ogre::Quaternion aboutX(Ogre::Degree(degrees.x), Ogre::Vector3::UNIT_X);
    const Ogre::Quaternion aboutY(Ogre::Degree(degrees.y), Ogre::Vector3::UNIT_Y);
    const Ogre::Quaternion aboutZ(Ogre::Degree(degrees.z), Ogre::Vector3::UNIT_Z);
    return aboutZ * aboutY * aboutX;
}

Ogre::Vector3 toEulerDegrees(const Ogre::Quaternion& orientation)
{
    Ogre::Matrix3 matrix;
    orientation.ToRotationMatrix(matrix);
    Ogre::Radian z;
    Ogre::Radian y;
    Ogre::Radian x;
    matrix.ToEulerAnglesZYX(z, y, x);
    return Ogre::Vector3(x.valueDegrees(), y.valueDegrees(), z.valueDegrees());
}

} // namespace GizmoMath

} // namespace Kelvo
