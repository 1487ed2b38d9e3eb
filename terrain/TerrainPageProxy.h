#pragma once

#include <OgreAxisAlignedBox.h>
#include <OgreMovableObject.h>

namespace Kelvo {

// Stands for one loaded terrain page in ray query results. The editor tells
// hits apart by the name of the scene node an object hangs on, so the terrain
// must appear as a movable object on a node named "PagingLandScape_<x>_<y>".
// It has no bounds and draws nothing: the octree never finds it, and only
// our ray query reports it, at the exact distance of the terrain surface.
// One per loaded page, owned by the terrain world.
class TerrainPageProxy : public Ogre::MovableObject {
public:
    static const char* const kNodePrefix;
    static const Ogre::String kMovableType;

    TerrainPageProxy(long slotX, long slotY);

    long slotX() const { return mSlotX; }
    long slotY() const { return mSlotY; }

    const Ogre::String& getMovableType() const override { return kMovableType; }
    const Ogre::AxisAlignedBox& getBoundingBox() const override { return Ogre::AxisAlignedBox::BOX_NULL; }
    Ogre::Real getBoundingRadius() const override { return 0; }
    void _updateRenderQueue(Ogre::RenderQueue*) override {}
    void visitRenderables(Ogre::Renderable::Visitor*, bool) override {}
    // Type masks that leave out world geometry leave out the terrain too.
    Ogre::uint32 getTypeFlags() const override;

private:
    long mSlotX;
    long mSlotY;
};

} // namespace Kelvo
