#pragma once

#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

namespace Kelvo {

// The geometry of rotate and scale drags, as pure functions of the picking
// ray and the handle's centre and axis (all in world space), so that a drag
// gives the same result however many frames it spans.
namespace GizmoMath {

// Where the ray points around a ring: the vector from the centre to the
// ray's meeting with the ring's plane. A ring seen nearly edge-on meets
// the ray far off or not at all; the ray's meeting with the plane that faces
// the viewer, projected onto the ring's plane, stands in for it then. False
// when neither gives a direction (the ray runs through the centre).
bool ringVector(const Ogre::Ray& ray, const Ogre::Vector3& centre, const Ogre::Vector3& axis, Ogre::Vector3& out);

// The angle (degrees, -180 to 180) that turns `from` into `to` about the
// axis, counter-clockwise seen from the axis' tip.
float signedAngle(const Ogre::Vector3& from, const Ogre::Vector3& to, const Ogre::Vector3& axis);

// How far along the axis (a unit vector through the centre) lies the point
// of the axis line nearest to the ray; false when the ray runs along it.
bool axisParameter(const Ogre::Ray& ray, const Ogre::Vector3& centre, const Ogre::Vector3& axis, float& out);

// The meeting of the ray with the plane through the point that faces the
// ray's origin; false when the ray points away from it.
bool facingPlanePoint(const Ogre::Ray& ray, const Ogre::Vector3& point, Ogre::Vector3& out);

// Whether the ray passes within the tolerance of the circle (centre, axis
// through it, radius) in front of its origin; the distance along the ray to
// where it passes nearest.
bool rayNearCircle(const Ogre::Ray& ray, const Ogre::Vector3& centre, const Ogre::Vector3& axis, float radius,
                   float tolerance, float& distance);

// A scene record's rotation: Euler degrees about X, Y and Z, applied as
// Rz * Ry * Rx, and back.
Ogre::Quaternion fromEulerDegrees(const Ogre::Vector3& degrees);
Ogre::Vector3 toEulerDegrees(const Ogre::Quaternion& orientation);

} // namespace GizmoMath

} // namespace Kelvo
