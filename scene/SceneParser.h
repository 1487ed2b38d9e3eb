#pragma once

#include "scene/ElementStream.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace Kelvo {

class EntityDescription;
class ExternDescription;
class LightDescription;
class ParticleDescription;
class SceneLoader;
class SoundDescription;
class TriggerDescription;
class XMLDescription;

// Reads one scene file's text for the loader: the element stream hands the
// file's elements to the handlers here, which build description records, file them in the loader's
// tables, realise them and tell the loader's callback. One parser reads one
// file (the scene's own, then each extern's) and lives only for that read;
// a record it began but never filed (a file that broke off) goes with it.
// Private to the scene library: the loader is its only user.
class SceneParser : private ElementStream::Visitor {
public:
    // For an extern's file, the extern's node: the file's blocks hang under
    // it, and transforms outside any record move it.
    SceneParser(SceneLoader& loader, const std::string& fileName, Ogre::SceneNode* externNode);
    ~SceneParser() override;
    SceneParser(const SceneParser&) = delete;
    SceneParser& operator=(const SceneParser&) = delete;

    // False, with a log line naming line and column, when the text is not
    // well-formed; what was read before the error stays.
    bool parse(const std::string& text);

    // The loader removed this record while the file is read.
    void forget(const XMLDescription* record);

private:
    enum class Context {
        None,
        Entity,
        Trigger,
        Entities,
        Animation,
        Animations,
        KeyFrame,
        Shadow,
        Light,
        Sound,
        Particle,
        Extern,
    };

    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;

    void startEntities();
    void endEntities();
    void startEntity(const char** attributes);
    void endEntity();
    void startTrigger(const char** attributes);
    void endTrigger();
    void startLight(const char** attributes);
    void endLight();
    void startLightColour(const char* element, const char** attributes);
    void startSpotRange(const char** attributes);
    void startSound(const char** attributes);
    void endSound();
    void startParticle(const char** attributes);
    void endParticle();
    void startExtern(const char** attributes);
    void endExtern();
    void startShadow(const char** attributes);
    void startAnimation(const char** attributes);
    void startKeyFrame(const char** attributes);
    void endEntityAnimations();
    void readPosition(const char** attributes);
    void readRotation(const char** attributes);
    void readScale(const char** attributes);

    // Logs and answers false when a required attribute is missing.
    bool hasAttributes(const char* element, const char** attributes, std::initializer_list<const char*> names);
    // Logs and answers true when the name is used by a record already.
    bool isDuplicate(const char* element, const std::string& name);
    void reportValue(const char* element, const char* attribute);
    Ogre::Real transformValue(const char* element, const char** attributes, const char* name, Ogre::Real fallback);
    Ogre::Vector3 transformVector(const char* element, const char** attributes, Ogre::Real fallback);

    void discardUnfiledRecords();
    void discardCurrentExtern();
    Ogre::SceneNode* parentEntityNode(const std::string& parentName) const;
    template <typename Record>
    EntityDescription* placeInParentsRoot(Record& record) const;

    SceneLoader& mLoader;
    const std::string mFileName;
    Context mContext = Context::None;

    EntityDescription* mCurrentEntity = nullptr;
    TriggerDescription* mCurrentTrigger = nullptr;
    LightDescription* mCurrentLight = nullptr;
    SoundDescription* mCurrentSound = nullptr;
    ParticleDescription* mCurrentParticle = nullptr;
    ExternDescription* mCurrentExtern = nullptr;

    // The node of the block being read.
    Ogre::SceneNode* mEntityRootNode = nullptr;
    // The node transforms outside a record move: an <extern>'s.
    Ogre::SceneNode* mExternNode = nullptr;
    // Where the entity being read will hang.
    Ogre::SceneNode* mEntityParentNode = nullptr;
    bool mBlockPlacedSomething = false;

    Ogre::Animation* mAnimation = nullptr;
    Ogre::NodeAnimationTrack* mTrack = nullptr;
    Ogre::TransformKeyFrame* mKeyFrame = nullptr;
    // Tracks of the entity being read: its node exists only once it closes.
    std::vector<Ogre::NodeAnimationTrack*> mPendingTracks;
};

} // namespace Kelvo
