#include "scene/SceneParser.h"

#include "platform/MessageBox.h"
#include "scene/EntityDescription.h"
#include "scene/ExternDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SceneLoaderCallBack.h"
#include "scene/SceneObjects.h"
#include "scene/SceneText.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"

#include <Ogre.h>

#include <algorithm>
#include <cstring>

namespace Kelvo {

namespace {

std::string textOf(const char* text)
{
    return text ? text : "";
}

} // namespace

SceneParser::SceneParser(SceneLoader& loader, const std::string& fileName, Ogre::SceneNode* externNode)
    : mLoader(loader)
    , mFileName(fileName)
    , mContext(externNode ? Context::Extern : Context::None)
    , mExternNode(externNode)
{
}

SceneParser::~SceneParser()
{
    // A file that broke off inside an element leaves a record that was never
    // filed, and animation tracks without a node: neither outlives the parse.
    discardUnfiledRecords();
}

bool SceneParser::parse(const std::string& text)
{
    ElementStream elements(text);
    const bool parsed = elements.visit(*this);
    if (!parsed) {
        SceneObjects::logProblem("SceneLoader: scene file '" + mFileName + "' is not well-formed at line " +
                                 std::to_string(elements.errorLine()) + ", column " +
                                 std::to_string(elements.errorColumn()) + ": " + elements.errorText());
    }
    return parsed;
}

void SceneParser::forget(const XMLDescription* record)
{
    if (record == mCurrentEntity) mCurrentEntity = nullptr;
    if (record == mCurrentTrigger) mCurrentTrigger = nullptr;
    if (record == mCurrentLight) mCurrentLight = nullptr;
    if (record == mCurrentSound) mCurrentSound = nullptr;
    if (record == mCurrentParticle) mCurrentParticle = nullptr;
}

namespace {

// One element name and what the loader does with it. Elements are told apart
// by their first letter before the whole name is compared: a file has tens
// of thousands of them, most of them entities and their transforms, which
// come first.
template <typename Handler>
struct ElementHandler {
    const char* name;
    Handler handle;
};

template <typename Handler>
const ElementHandler<Handler>* findHandler(const ElementHandler<Handler>* table, size_t count, const char* name)
{
    for (size_t i = 0; i < count; ++i) {
        if (table[i].name[0] == name[0] && std::strcmp(table[i].name, name) == 0) {
            return &table[i];
        }
    }
    return nullptr;
}

} // namespace

void SceneParser::startElement(const char* name, const char** attributes)
{
    using Start = void (*)(SceneParser&, const char*, const char**);
    static const ElementHandler<Start> kStarts[] = {
        {"entity", [](SceneParser& l, const char*, const char** a) { l.startEntity(a); }},
        {"position", [](SceneParser& l, const char*, const char** a) { l.readPosition(a); }},
        {"rotation", [](SceneParser& l, const char*, const char** a) { l.readRotation(a); }},
        {"scale", [](SceneParser& l, const char*, const char** a) { l.readScale(a); }},
        {"material",
         [](SceneParser& l, const char*, const char** a) {
             const char* material = SceneText::attribute(a, "name");
             if (l.mCurrentEntity && material) {
                 l.mCurrentEntity->setMaterial(material);
             }
         }},
        {"type",
         [](SceneParser& l, const char*, const char** a) {
             const char* type = SceneText::attribute(a, "name");
             if (l.mCurrentEntity && type) {
                 l.mCurrentEntity->setType(type);
             }
         }},
        {"entities", [](SceneParser& l, const char*, const char**) { l.startEntities(); }},
        {"trigger", [](SceneParser& l, const char*, const char** a) { l.startTrigger(a); }},
        {"light", [](SceneParser& l, const char*, const char** a) { l.startLight(a); }},
        {"diffuse", [](SceneParser& l, const char* n, const char** a) { l.startLightColour(n, a); }},
        {"specular", [](SceneParser& l, const char* n, const char** a) { l.startLightColour(n, a); }},
        {"attenuation", [](SceneParser& l, const char* n, const char** a) { l.startLightColour(n, a); }},
        {"spot_range", [](SceneParser& l, const char*, const char** a) { l.startSpotRange(a); }},
        {"sound", [](SceneParser& l, const char*, const char** a) { l.startSound(a); }},
        {"particle", [](SceneParser& l, const char*, const char** a) { l.startParticle(a); }},
        {"extern", [](SceneParser& l, const char*, const char** a) { l.startExtern(a); }},
        {"shadow", [](SceneParser& l, const char*, const char** a) { l.startShadow(a); }},
        {"animations",
         [](SceneParser& l, const char*, const char**) {
             if (l.mContext == Context::Entity && l.mCurrentEntity) {
                 l.mContext = Context::Animations;
             }
         }},
        {"animation", [](SceneParser& l, const char*, const char** a) { l.startAnimation(a); }},
        {"keyframe", [](SceneParser& l, const char*, const char** a) { l.startKeyFrame(a); }},
    };
    if (const auto* handler = findHandler(kStarts, sizeof(kStarts) / sizeof(kStarts[0]), name)) {
        handler->handle(*this, name, attributes);
    }
}

void SceneParser::endElement(const char* name)
{
    using End = void (*)(SceneParser&);
    static const ElementHandler<End> kEnds[] = {
        {"entity", [](SceneParser& l) { l.endEntity(); }},
        {"entities", [](SceneParser& l) { l.endEntities(); }},
        {"trigger", [](SceneParser& l) { l.endTrigger(); }},
        {"light", [](SceneParser& l) { l.endLight(); }},
        {"sound", [](SceneParser& l) { l.endSound(); }},
        {"particle", [](SceneParser& l) { l.endParticle(); }},
        {"extern", [](SceneParser& l) { l.endExtern(); }},
        {"keyframe",
         [](SceneParser& l) {
             if (l.mKeyFrame) {
                 l.mKeyFrame = nullptr;
                 l.mContext = Context::Animation;
             }
         }},
        {"animation",
         [](SceneParser& l) {
             if (l.mTrack) {
                 l.mKeyFrame = nullptr;
                 l.mContext = Context::Animations;
             }
         }},
        // The context stays "animations" until the next element that sets one.
        {"animations",
         [](SceneParser& l) {
             l.mAnimation = nullptr;
             l.mTrack = nullptr;
         }},
    };
    if (const auto* handler = findHandler(kEnds, sizeof(kEnds) / sizeof(kEnds[0]), name)) {
        handler->handle(*this);
    }
}

// --- records in progress ------------------------------------------------------

namespace {

// A record belongs to the loader's tables once its closing tag has filed it;
// until then the parse owns it.
template <typename Record>
void discardIfUnfiled(const RecordTable<Record>& records, Record*& record)
{
    if (record && !records.isFiled(record)) {
        delete record;
    }
    record = nullptr;
}

} // namespace

void SceneParser::discardUnfiledRecords()
{
    endEntityAnimations();
    discardIfUnfiled(mLoader.mEntities, mCurrentEntity);
    discardIfUnfiled(mLoader.mTriggers, mCurrentTrigger);
    discardIfUnfiled(mLoader.mLights, mCurrentLight);
    discardIfUnfiled(mLoader.mSounds, mCurrentSound);
    discardIfUnfiled(mLoader.mParticles, mCurrentParticle);
    discardCurrentExtern();
}

void SceneParser::discardCurrentExtern()
{
    if (mCurrentExtern && std::find(mLoader.mExterns.begin(), mLoader.mExterns.end(), mCurrentExtern) == mLoader.mExterns.end()) {
        delete mCurrentExtern;
    }
    mCurrentExtern = nullptr;
}

// --- attribute checks ------------------------------------------------------

bool SceneParser::hasAttributes(const char* element, const char** attributes,
                                std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (!SceneText::attribute(attributes, name)) {
            SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> in '" + mFileName +
                                     "' has no attribute '" + name + "', element skipped");
            return false;
        }
    }
    return true;
}

bool SceneParser::isDuplicate(const char* element, const std::string& name)
{
    // Names become engine node and object names: the engine refuses empty
    // ones, and the loader's own nodes must not be taken over.
    if (!mLoader.isUsableName(name)) {
        SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> in '" + mFileName +
                                 "' has the unusable name '" + name + "', element skipped");
        return true;
    }
    if (!mLoader.isNameTaken(name)) {
        return false;
    }
    SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> '" + name + "' in '" + mFileName +
                             "' uses a name that is taken already, element skipped");
    return true;
}

void SceneParser::reportValue(const char* element, const char* attribute)
{
    SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> in '" + mFileName + "' has a value of '" +
                             attribute + "' that is not a finite number, default used");
}

Ogre::Real SceneParser::transformValue(const char* element, const char** attributes, const char* name,
                                       Ogre::Real fallback)
{
    bool rejected = false;
    const Ogre::Real value = SceneText::transformValue(SceneText::attribute(attributes, name), fallback, rejected);
    if (rejected) {
        reportValue(element, name);
    }
    return value;
}

Ogre::Vector3 SceneParser::transformVector(const char* element, const char** attributes, Ogre::Real fallback)
{
    return Ogre::Vector3(transformValue(element, attributes, "x", fallback),
                         transformValue(element, attributes, "y", fallback),
                         transformValue(element, attributes, "z", fallback));
}

// --- blocks ----------------------------------------------------------------

void SceneParser::startEntities()
{
    mContext = Context::Entities;
    mEntityRootNode = mLoader.openEntityRoot();
}

void SceneParser::endEntities()
{
    mEntityRootNode = nullptr;
    if (!mBlockPlacedSomething && mLoader.mRootCount > 0) {
        --mLoader.mRootCount;
    }
    mBlockPlacedSomething = false;
}

// --- entities ----------------------------------------------------------------

namespace {

// An entity's attributes, found in one pass over the element's list: a scene has
// thousands of entities, and looking each name up on its own costs a pass
// per attribute.
struct EntityAttributes {
    explicit EntityAttributes(const char** attributes)
    {
        for (int i = 0; attributes && attributes[i]; i += 2) {
            const char* key = attributes[i];
            const char* value = attributes[i + 1];
            if (std::strcmp(key, "name") == 0) {
                name = value;
            } else if (std::strcmp(key, "hidden") == 0) {
                hidden = value;
            } else if (std::strcmp(key, "filename") == 0) {
                fileName = value;
            } else if (std::strcmp(key, "CastShadows") == 0) {
                castShadows = value;
            } else if (std::strcmp(key, "ReceiveShadows") == 0) {
                receiveShadows = value;
            } else if (std::strcmp(key, "parent") == 0) {
                parent = value;
            }
        }
    }

    const char* name = nullptr;
    const char* hidden = nullptr;
    const char* fileName = nullptr;
    const char* castShadows = nullptr;
    const char* receiveShadows = nullptr;
    const char* parent = nullptr;
};

} // namespace

void SceneParser::startEntity(const char** attributes)
{
    endEntityAnimations();
    mContext = Context::Entity;
    discardIfUnfiled(mLoader.mEntities, mCurrentEntity);
    mEntityParentNode = nullptr;
    const EntityAttributes found(attributes);
    if (!found.name || !found.hidden || !found.castShadows || !found.receiveShadows) {
        // The message names the first one missing, as for every element.
        hasAttributes("entity", attributes, {"name", "hidden", "CastShadows", "ReceiveShadows"});
        return;
    }
    const std::string name = found.name;
    if (isDuplicate("entity", name)) {
        return;
    }
    mBlockPlacedSomething = true;
    mCurrentEntity =
        new EntityDescription(name, found.hidden, found.fileName, found.castShadows, found.receiveShadows);
    const char* parent = found.parent;
    if (parent && *parent) {
        mCurrentEntity->setParent(parent);
        Ogre::SceneManager* manager = mLoader.mObjects->sceneManager();
        if (manager->hasSceneNode(parent)) {
            mEntityParentNode = manager->getSceneNode(parent);
        } else {
            // The loader made this node, so the loader destroys it: a node
            // left over would catch the same name at the next load and hold
            // its entity outside the scene graph.
            Ogre::SceneNode* under = mEntityRootNode ? mEntityRootNode : mLoader.mRootNode;
            mEntityParentNode = under->createChildSceneNode(parent);
            mLoader.mParentAttributeNodes.push_back(parent);
        }
    } else {
        mEntityParentNode = mEntityRootNode;
    }
}

void SceneParser::endEntity()
{
    EntityDescription* record = mCurrentEntity;
    // Skipped, or already filed: an </entity> without its own start.
    if (!record || !mLoader.mEntities.file(record)) {
        return;
    }
    record->setRootIndex(mLoader.mRootCount);
    record->realise(mEntityParentNode ? mEntityParentNode : mLoader.mRootNode);
    endEntityAnimations();
    if (mLoader.mCallback) {
        mLoader.mCallback->entityCreated(record->getEntity(), record);
    }
    mEntityParentNode = nullptr;
}

void SceneParser::startAnimation(const char** attributes)
{
    if (mContext != Context::Animations || !mCurrentEntity) {
        Platform::showMessageBox("XMLScene is faulty!", "Error", Platform::kMessageBoxIconExclamation);
        return;
    }
    if (!hasAttributes("animation", attributes, {"name", "length"})) {
        return;
    }
    Ogre::SceneManager* manager = mLoader.mObjects->sceneManager();
    const std::string name = SceneText::attribute(attributes, "name");
    if (manager->hasAnimation(name)) {
        mAnimation = manager->getAnimation(name);
    } else {
        bool rejected = false;
        const Ogre::Real length = SceneText::plainValue(SceneText::attribute(attributes, "length"), 0, rejected);
        if (rejected || length < 0) {
            reportValue("animation", "length");
        }
        mAnimation = manager->createAnimation(name, std::max<Ogre::Real>(0, length));
    }
    mAnimation->setInterpolationMode(Ogre::Animation::IM_LINEAR);
    unsigned short handle = 0;
    while (mAnimation->hasNodeTrack(handle)) {
        ++handle;
    }
    mTrack = mAnimation->createNodeTrack(handle, mCurrentEntity->getSceneNode());
    if (!mCurrentEntity->getSceneNode()) {
        mPendingTracks.push_back(mTrack);
    }
    mContext = Context::Animation;
}

void SceneParser::startKeyFrame(const char** attributes)
{
    if (mContext != Context::Animation || !mTrack) {
        return;
    }
    bool rejected = false;
    const Ogre::Real time = SceneText::plainValue(SceneText::attribute(attributes, "time"), 0, rejected);
    if (rejected) {
        reportValue("keyframe", "time");
    }
    mKeyFrame = mTrack->createNodeKeyFrame(time);
    mContext = Context::KeyFrame;
}

void SceneParser::endEntityAnimations()
{
    // Tracks read inside an entity find their node once the entity is
    // realised; an entity without a node keeps no tracks.
    for (Ogre::NodeAnimationTrack* track : mPendingTracks) {
        Ogre::SceneNode* node = mLoader.mEntities.isFiled(mCurrentEntity)
                                    ? mCurrentEntity->getSceneNode()
                                    : nullptr;
        if (node) {
            track->setAssociatedNode(node);
        } else {
            Ogre::Animation* animation = track->getParent();
            SceneObjects::logProblem("SceneLoader: animation '" + animation->getName() +
                                     "' has a track without a scene node, track dropped");
            animation->destroyNodeTrack(track->getHandle());
        }
    }
    mPendingTracks.clear();
    mTrack = nullptr;
    mKeyFrame = nullptr;
    mAnimation = nullptr;
}

// --- triggers ----------------------------------------------------------------

void SceneParser::startTrigger(const char** attributes)
{
    mContext = Context::Trigger;
    discardIfUnfiled(mLoader.mTriggers, mCurrentTrigger);
    if (!hasAttributes("trigger", attributes, {"name", "radius", "attachedType"})) {
        return;
    }
    const std::string name = SceneText::attribute(attributes, "name");
    if (isDuplicate("trigger", name)) {
        return;
    }
    bool rejected = false;
    const Ogre::Real radius = SceneText::plainValue(SceneText::attribute(attributes, "radius"), 0, rejected);
    if (rejected) {
        reportValue("trigger", "radius");
    }
    const std::string attachedType = SceneText::attribute(attributes, "attachedType");
    const char* parent = SceneText::attribute(attributes, "parent");
    EntityDescription* parentEntity = parent ? mLoader.findEntity(parent) : nullptr;
    if (parentEntity) {
        mCurrentTrigger =
            new TriggerDescription(name, radius, parentEntity->getName(), attachedType, parentEntity->getRootIndex());
    } else {
        mBlockPlacedSomething = true;
        mCurrentTrigger = new TriggerDescription(name, radius, "", attachedType, mLoader.mRootCount);
    }
}

void SceneParser::endTrigger()
{
    TriggerDescription* record = mCurrentTrigger;
    if (!record || !mLoader.mTriggers.file(record)) {
        return;
    }
    record->realise(parentEntityNode(record->getParent()));
    if (record->getSceneNode()) {
        record->getSceneNode()->setVisible(mLoader.mShowMarkers, true);
    }
    if (mLoader.mCallback) {
        mLoader.mCallback->triggerCreated(record);
    }
}

Ogre::SceneNode* SceneParser::parentEntityNode(const std::string& parentName) const
{
    if (parentName.empty()) {
        return nullptr;
    }
    EntityDescription* parent = mLoader.findEntity(parentName);
    return parent ? parent->getSceneNode() : nullptr;
}

// --- lights ------------------------------------------------------------------

// A light, sound or particle system without a parent belongs to the block
// being read; with a parent entity it belongs to that entity's block. A parent
// that names no entity leaves the index alone. Returns the parent entity.
template <typename Record>
EntityDescription* SceneParser::placeInParentsRoot(Record& record) const
{
    if (record.getParent().empty()) {
        record.setRootIndex(mLoader.mRootCount);
        return nullptr;
    }
    EntityDescription* parent = mLoader.findEntity(record.getParent());
    if (parent) {
        record.setRootIndex(parent->getRootIndex());
    }
    return parent;
}

void SceneParser::startLight(const char** attributes)
{
    mContext = Context::Light;
    discardIfUnfiled(mLoader.mLights, mCurrentLight);
    if (!hasAttributes("light", attributes, {"name", "type", "shadowcaster"})) {
        return;
    }
    const std::string name = SceneText::attribute(attributes, "name");
    if (isDuplicate("light", name)) {
        return;
    }
    mCurrentLight = new LightDescription(name, SceneText::attribute(attributes, "type"));
    mCurrentLight->setCastShadows(textOf(SceneText::attribute(attributes, "shadowcaster")) != "0");
    const std::string parent = textOf(SceneText::attribute(attributes, "parent"));
    if (!parent.empty()) {
        mCurrentLight->setParent(parent);
    }
}

void SceneParser::startLightColour(const char* element, const char** attributes)
{
    if (mContext != Context::Light || !mCurrentLight) {
        return;
    }
    if (std::strcmp(element, "attenuation") == 0) {
        mCurrentLight->setRange(transformValue(element, attributes, "range", mCurrentLight->getRange()));
        mCurrentLight->setConstant(transformValue(element, attributes, "constant", mCurrentLight->getConstant()));
        mCurrentLight->setLinear(transformValue(element, attributes, "linear", mCurrentLight->getLinear()));
        mCurrentLight->setQuadratic(transformValue(element, attributes, "quadtric", mCurrentLight->getQuadratic()));
        return;
    }
    const bool diffuse = std::strcmp(element, "diffuse") == 0;
    const Ogre::ColourValue old = diffuse ? mCurrentLight->getDiffuse() : mCurrentLight->getSpecular();
    const Ogre::ColourValue colour(transformValue(element, attributes, "r", old.r),
                                   transformValue(element, attributes, "g", old.g),
                                   transformValue(element, attributes, "b", old.b), 1.0f);
    if (diffuse) {
        mCurrentLight->setDiffuse(colour);
    } else {
        mCurrentLight->setSpecular(colour);
    }
}

// The cone a designer gave a spot light, as the writer writes it: read back,
// or saving a loaded scene would reset every cone to 80 and 90 degrees.
void SceneParser::startSpotRange(const char** attributes)
{
    if (mContext != Context::Light || !mCurrentLight) {
        return;
    }
    bool rejected = false;
    const Ogre::Real inner =
        SceneText::plainValue(SceneText::attribute(attributes, "innerAngle"), mCurrentLight->getSpotInner(), rejected);
    const Ogre::Real outer =
        SceneText::plainValue(SceneText::attribute(attributes, "outerAngle"), mCurrentLight->getSpotOuter(), rejected);
    if (rejected) {
        reportValue("spot_range", "innerAngle or outerAngle");
    }
    mCurrentLight->setSpotRange(inner, outer);
}

void SceneParser::endLight()
{
    LightDescription* record = mCurrentLight;
    if (!record || !mLoader.mLights.file(record)) {
        return;
    }
    EntityDescription* parent = placeInParentsRoot(*record);
    record->realise(parent ? parent->getSceneNode() : nullptr);
    if (record->getSceneNode()) {
        record->getSceneNode()->setVisible(true, true);
        if (Ogre::SceneManager* manager = mLoader.mObjects->sceneManager()) {
            const std::string marker = record->getName() + "_light_entity";
            if (manager->hasEntity(marker)) {
                manager->getEntity(marker)->setVisible(mLoader.mShowMarkers);
            }
        }
    }
    mBlockPlacedSomething = true;
}

// --- sounds and particle systems ---------------------------------------------

void SceneParser::startSound(const char** attributes)
{
    mContext = Context::Sound;
    discardIfUnfiled(mLoader.mSounds, mCurrentSound);
    if (!hasAttributes("sound", attributes, {"name", "type", "file", "volume", "maxDistance", "minDistance"})) {
        return;
    }
    const std::string name = SceneText::attribute(attributes, "name");
    if (isDuplicate("sound", name)) {
        return;
    }
    bool rejected = false;
    const Ogre::Real volume = SceneText::plainValue(SceneText::attribute(attributes, "volume"), 1, rejected);
    const Ogre::Real maxDistance =
        SceneText::plainValue(SceneText::attribute(attributes, "maxDistance"), 100, rejected);
    const Ogre::Real minDistance = SceneText::plainValue(SceneText::attribute(attributes, "minDistance"), 1, rejected);
    if (rejected) {
        reportValue("sound", "volume, maxDistance or minDistance");
    }
    mCurrentSound = new SoundDescription(name, SceneText::attribute(attributes, "type"),
                                         SceneText::attribute(attributes, "file"), volume, maxDistance, minDistance,
                                         textOf(SceneText::attribute(attributes, "parent")));
}

void SceneParser::endSound()
{
    SoundDescription* record = mCurrentSound;
    if (!record || !mLoader.mSounds.file(record)) {
        return;
    }
    EntityDescription* parent = placeInParentsRoot(*record);
    if (record->getParent().empty() || parent) {
        record->realise(parent ? parent->getSceneNode() : mEntityRootNode);
        SceneObjects::setMaterialIfKnown(record->getMarker(), "KELVO/Transparent");
        if (record->getSceneNode()) {
            record->getSceneNode()->setVisible(mLoader.mShowMarkers, true);
        }
    } else {
        SceneObjects::logProblem("SceneLoader: sound '" + record->getName() + "' names the unknown parent '" +
                                 record->getParent() + "', kept without sound");
    }
    mBlockPlacedSomething = true;
}

void SceneParser::startParticle(const char** attributes)
{
    mContext = Context::Particle;
    discardIfUnfiled(mLoader.mParticles, mCurrentParticle);
    if (!hasAttributes("particle", attributes, {"name", "file"})) {
        return;
    }
    const std::string name = SceneText::attribute(attributes, "name");
    if (isDuplicate("particle", name)) {
        return;
    }
    mCurrentParticle = new ParticleDescription(name, SceneText::attribute(attributes, "file"),
                                               textOf(SceneText::attribute(attributes, "parent")));
}

void SceneParser::endParticle()
{
    ParticleDescription* record = mCurrentParticle;
    if (!record || !mLoader.mParticles.file(record)) {
        return;
    }
    EntityDescription* parent = placeInParentsRoot(*record);
    if (record->getParent().empty() || parent) {
        record->realise(parent ? parent->getSceneNode() : mEntityRootNode);
        if (!mLoader.mShowMarkers && record->getMarker()) {
            record->getMarker()->setVisible(false);
        }
    } else {
        SceneObjects::logProblem("SceneLoader: particle system '" + record->getName() + "' names the unknown parent '" +
                                 record->getParent() + "', kept without particles");
    }
    mBlockPlacedSomething = true;
}

// --- externs, shadow, transforms ---------------------------------------------

void SceneParser::startExtern(const char** attributes)
{
    mContext = Context::Extern;
    discardCurrentExtern();
    if (!hasAttributes("extern", attributes, {"filename"})) {
        return;
    }
    mExternNode = mEntityRootNode;
    mBlockPlacedSomething = true;
    mCurrentExtern = new ExternDescription(SceneText::attribute(attributes, "filename"), mLoader.mRootCount);
}

void SceneParser::endExtern()
{
    if (mCurrentExtern && mContext == Context::Extern &&
        std::find(mLoader.mExterns.begin(), mLoader.mExterns.end(), mCurrentExtern) == mLoader.mExterns.end()) {
        mCurrentExtern->setNode(mExternNode);
        mLoader.mExterns.push_back(mCurrentExtern);
        mCurrentExtern = nullptr;
    }
}

void SceneParser::startShadow(const char** attributes)
{
    mContext = Context::Shadow;
    delete mLoader.mShadow;
    mLoader.mShadow = new ShadowDescription(ShadowDescription::kNone);
    if (const char* type = SceneText::attribute(attributes, "type")) {
        mLoader.mShadow->setType(type);
    }
}

void SceneParser::readPosition(const char** attributes)
{
    switch (mContext) {
    case Context::Entity:
        if (mCurrentEntity) mCurrentEntity->setPosition(transformVector("position", attributes, 0));
        break;
    case Context::Trigger:
        if (mCurrentTrigger) mCurrentTrigger->setPosition(transformVector("position", attributes, 0));
        break;
    case Context::Light:
        if (mCurrentLight) mCurrentLight->setPosition(transformVector("position", attributes, 0));
        break;
    case Context::Sound:
        if (mCurrentSound) mCurrentSound->setPosition(transformVector("position", attributes, 0));
        break;
    case Context::Particle:
        if (mCurrentParticle) mCurrentParticle->setPosition(transformVector("position", attributes, 0));
        break;
    case Context::KeyFrame:
        if (mKeyFrame) mKeyFrame->setTranslate(transformVector("position", attributes, 0));
        break;
    case Context::Extern:
        if (mExternNode) mExternNode->setPosition(transformVector("position", attributes, 0));
        break;
    default:
        break;
    }
}

void SceneParser::readRotation(const char** attributes)
{
    if (mContext == Context::Entity && mCurrentEntity) {
        mCurrentEntity->setRotation(transformValue("rotation", attributes, "x", 0),
                                    transformValue("rotation", attributes, "y", 0),
                                    transformValue("rotation", attributes, "z", 0));
        return;
    }
    if (mContext != Context::KeyFrame && mContext != Context::Extern) {
        return;
    }
    Ogre::Quaternion rotation(transformValue("rotation", attributes, "w", 1),
                              transformValue("rotation", attributes, "x", 0),
                              transformValue("rotation", attributes, "y", 0),
                              transformValue("rotation", attributes, "z", 0));
    if (rotation.Norm() <= 0) {
        reportValue("rotation", "w");
        rotation = Ogre::Quaternion::IDENTITY;
    }
    if (mContext == Context::KeyFrame && mKeyFrame) {
        mKeyFrame->setRotation(rotation);
    } else if (mContext == Context::Extern && mExternNode) {
        mExternNode->setOrientation(rotation);
    }
}

void SceneParser::readScale(const char** attributes)
{
    switch (mContext) {
    case Context::Entity:
        if (mCurrentEntity) mCurrentEntity->setScale(transformVector("scale", attributes, 1));
        break;
    case Context::KeyFrame:
        if (mKeyFrame) mKeyFrame->setScale(transformVector("scale", attributes, 1));
        break;
    case Context::Extern:
        if (mExternNode) mExternNode->setScale(transformVector("scale", attributes, 1));
        break;
    case Context::Particle:
        if (mCurrentParticle) mCurrentParticle->setScale(transformVector("scale", attributes, 1));
        break;
    default:
        break;
    }
}

} // namespace Kelvo
