#include "scene/SceneLoader.h"

#include "SoundManager/SoundManager.h"
#include "platform/MessageBox.h"
#include "scene/EntityDescription.h"
#include "scene/ExternDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoaderCallBack.h"
#include "scene/SceneObjects.h"
#include "scene/SceneText.h"
#include "scene/StaticScenery.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"

#include <Ogre.h>
#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Kelvo {

namespace {

const char* const kEntityRootFormat = "entityRoot_%i";

std::string entityRootName(int number)
{
    char buffer[256];
    std::snprintf(buffer, sizeof(buffer), kEntityRootFormat, number);
    return buffer;
}

std::string textOf(const char* text)
{
    return text ? text : "";
}

// Lowers the engine's log detail for the length of a load (the loader's own
// problem lines are critical and still pass) and restores it on every exit.
class QuietLog {
public:
    QuietLog()
    {
        Ogre::Log* log = Ogre::LogManager::getSingleton().getDefaultLog();
        mPrevious = log ? log->getLogDetail() : Ogre::LL_NORMAL;
        if (log) {
            log->setLogDetail(static_cast<Ogre::LoggingLevel>(0));
        }
    }
    ~QuietLog()
    {
        if (Ogre::Log* log = Ogre::LogManager::getSingleton().getDefaultLog()) {
            log->setLogDetail(mPrevious);
        }
    }

private:
    Ogre::LoggingLevel mPrevious;
};

} // namespace

SceneLoader* SceneLoader::sInstance = nullptr;
const char* const SceneLoader::kLoaderRootName = "KelvoSceneLoaderRoot";
const char* const SceneLoader::kDefaultSceneDirectory = "../media/xmlScenes/";
const char* const SceneLoader::kSceneGroup = "SceneLoader";

SceneLoader::SceneLoader()
    : mObjects(new SceneObjects())
    , mScenery(new StaticScenery())
{
    sInstance = this;
}

SceneLoader::~SceneLoader()
{
    // The engine may be gone at shut-down, so only the records go.
    for (ExternDescription* record : mExterns) delete record;
    delete mShadow;
    sInstance = nullptr;
}

// ---------------------------------------------------------------------------
// Loading

bool SceneLoader::load(const std::string& fileName, Ogre::SceneManager* sceneManager, SceneLoaderCallBack* callback,
                       bool showMarkers, SoundManager* soundManager)
{
    QuietLog quiet;
    mObjects->use(sceneManager);
    mObjects->useSounds(soundManager);
    SceneObjects::logProblem("SceneLoader: loading scene '" + fileName + "'");
    if (!mGrassMade) {
        StaticScenery::makeGrassBlades();
        mGrassMade = true;
    }
    mShowMarkers = showMarkers;
    delete mShadow;
    mShadow = nullptr;
    mFileName = fileName;
    mCallback = callback;

    clearSceneAndRoots();
    mFilesRead.clear();
    mFilesRead.insert(fileName);
    const bool parsed = parseFile(fileName);

    // Externs may name further externs; each file is read once, so a file
    // that names itself cannot loop.
    for (size_t i = 0; i < mExterns.size(); ++i) {
        ExternDescription* record = mExterns[i];
        if (!mFilesRead.insert(record->getFileName()).second) {
            SceneObjects::logProblem("SceneLoader: extern '" + record->getFileName() + "' was read already, skipped");
            continue;
        }
        mExternNode = record->getNode();
        mExternParentNode = record->getNode();
        mContext = Context::Extern;
        const int firstRoot = mRootCount;
        parseFile(record->getFileName());
        mExternParentNode = nullptr;
        mExternRoots.emplace_back(firstRoot, mRootCount);
    }

    if (!mShadow) {
        mShadow = new ShadowDescription(ShadowDescription::kNone);
    }
    mShadow->apply(mObjects->sceneManager());
    if (parsed) {
        mSceneLoaded = true;
    }
    SceneObjects::logProblem(std::string("SceneLoader: scene '") + fileName + "' " +
                             (parsed ? "loaded" : "could not be read completely") + " (" +
                             std::to_string(mEntities.size()) + " entities, " + std::to_string(mTriggers.size()) +
                             " triggers, " + std::to_string(mLights.size()) + " lights, " +
                             std::to_string(mSounds.size()) + " sounds, " + std::to_string(mParticles.size()) +
                             " particle systems)");
    return parsed;
}

void SceneLoader::clearSceneAndRoots()
{
    unload();
    Ogre::SceneManager* manager = mObjects->sceneManager();
    const int made = std::max(mRootCount, mRootNodesMade);
    for (int i = 0; manager && i < made; ++i) {
        const std::string name = entityRootName(i);
        if (manager->hasSceneNode(name)) {
            manager->destroySceneNode(name);
        }
    }
    mRootCount = 0;
    mRootNodesMade = 0;
    mExternRoots.clear();
    mExternParentNode = nullptr;
    mEntityRootNode = nullptr;
    mExternNode = nullptr;
    mEntityParentNode = nullptr;
    mBlockPlacedSomething = false;
}

void SceneLoader::refreshSceneFolderIndex()
{
    // The engine lists a folder's files once, when the folder is added; scene
    // files saved since then are only found after the folder is listed again.
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceGroupExists(kSceneGroup)) {
        return;
    }
    std::vector<std::pair<std::string, std::string>> locations;
    for (const auto& location : groups.getResourceLocationList(kSceneGroup)) {
        locations.emplace_back(location.archive->getName(), location.archive->getType());
    }
    for (const auto& location : locations) {
        groups.removeResourceLocation(location.first, kSceneGroup);
        groups.addResourceLocation(location.first, location.second, kSceneGroup);
    }
}

bool SceneLoader::parseFile(const std::string& fileName)
{
    Ogre::DataStreamPtr stream;
    try {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        if (!groups.resourceExistsInAnyGroup(fileName)) {
            refreshSceneFolderIndex();
        }
        stream = groups.openResource(fileName, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    } catch (const Ogre::Exception& e) {
        SceneObjects::logProblem("SceneLoader: scene file '" + fileName + "' could not be opened: " +
                                 e.getDescription());
        return false;
    }
    if (!stream || stream->size() == 0) {
        SceneObjects::logProblem("SceneLoader: scene file '" + fileName + "' is empty");
        return false;
    }
    const std::string text = stream->getAsString();
    stream->close();

    XML_Parser parser = XML_ParserCreate_MM(nullptr, nullptr, nullptr);
    XML_SetStartElementHandler(parser, &SceneLoader::startElementHandler);
    XML_SetEndElementHandler(parser, &SceneLoader::endElementHandler);
    XML_SetUserData(parser, this);
    mParsingFile = fileName;
    const bool parsed = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    if (!parsed) {
        SceneObjects::logProblem("SceneLoader: scene file '" + fileName + "' is not well-formed at line " +
                                 std::to_string(XML_GetCurrentLineNumber(parser)) + ", column " +
                                 std::to_string(XML_GetCurrentColumnNumber(parser)) + ": " +
                                 XML_ErrorString(XML_GetErrorCode(parser)));
    }
    XML_ParserFree(parser);
    // A file that broke off inside an element leaves a record that was never
    // filed, and animation tracks without a node: neither outlives the parse.
    discardUnfiledRecords();
    mEntityParentNode = nullptr;
    return parsed;
}

void SceneLoader::startElementHandler(void* userData, const char* name, const char** attributes)
{
    static_cast<SceneLoader*>(userData)->startElement(name, attributes);
}

void SceneLoader::endElementHandler(void* userData, const char* name)
{
    static_cast<SceneLoader*>(userData)->endElement(name);
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

void SceneLoader::startElement(const char* name, const char** attributes)
{
    using Start = void (*)(SceneLoader&, const char*, const char**);
    static const ElementHandler<Start> kStarts[] = {
        {"entity", [](SceneLoader& l, const char*, const char** a) { l.startEntity(a); }},
        {"position", [](SceneLoader& l, const char*, const char** a) { l.readPosition(a); }},
        {"rotation", [](SceneLoader& l, const char*, const char** a) { l.readRotation(a); }},
        {"scale", [](SceneLoader& l, const char*, const char** a) { l.readScale(a); }},
        {"material",
         [](SceneLoader& l, const char*, const char** a) {
             const char* material = SceneText::attribute(a, "name");
             if (l.mCurrentEntity && material) {
                 l.mCurrentEntity->setMaterial(material);
             }
         }},
        {"type",
         [](SceneLoader& l, const char*, const char** a) {
             const char* type = SceneText::attribute(a, "name");
             if (l.mCurrentEntity && type) {
                 l.mCurrentEntity->setType(type);
             }
         }},
        {"entities", [](SceneLoader& l, const char*, const char**) { l.startEntities(); }},
        {"trigger", [](SceneLoader& l, const char*, const char** a) { l.startTrigger(a); }},
        {"light", [](SceneLoader& l, const char*, const char** a) { l.startLight(a); }},
        {"diffuse", [](SceneLoader& l, const char* n, const char** a) { l.startLightColour(n, a); }},
        {"specular", [](SceneLoader& l, const char* n, const char** a) { l.startLightColour(n, a); }},
        {"attenuation", [](SceneLoader& l, const char* n, const char** a) { l.startLightColour(n, a); }},
        {"sound", [](SceneLoader& l, const char*, const char** a) { l.startSound(a); }},
        {"particle", [](SceneLoader& l, const char*, const char** a) { l.startParticle(a); }},
        {"extern", [](SceneLoader& l, const char*, const char** a) { l.startExtern(a); }},
        {"shadow", [](SceneLoader& l, const char*, const char** a) { l.startShadow(a); }},
        {"animations",
         [](SceneLoader& l, const char*, const char**) {
             if (l.mContext == Context::Entity && l.mCurrentEntity) {
                 l.mContext = Context::Animations;
             }
         }},
        {"animation", [](SceneLoader& l, const char*, const char** a) { l.startAnimation(a); }},
        {"keyframe", [](SceneLoader& l, const char*, const char** a) { l.startKeyFrame(a); }},
    };
    if (const auto* handler = findHandler(kStarts, sizeof(kStarts) / sizeof(kStarts[0]), name)) {
        handler->handle(*this, name, attributes);
    }
}

void SceneLoader::endElement(const char* name)
{
    using End = void (*)(SceneLoader&);
    static const ElementHandler<End> kEnds[] = {
        {"entity", [](SceneLoader& l) { l.endEntity(); }},
        {"entities", [](SceneLoader& l) { l.endEntities(); }},
        {"trigger", [](SceneLoader& l) { l.endTrigger(); }},
        {"light", [](SceneLoader& l) { l.endLight(); }},
        {"sound", [](SceneLoader& l) { l.endSound(); }},
        {"particle", [](SceneLoader& l) { l.endParticle(); }},
        {"extern",
         [](SceneLoader& l) {
             if (l.mCurrentExtern && l.mContext == Context::Extern &&
                 std::find(l.mExterns.begin(), l.mExterns.end(), l.mCurrentExtern) == l.mExterns.end()) {
                 l.mCurrentExtern->setNode(l.mExternNode);
                 l.mExterns.push_back(l.mCurrentExtern);
                 l.mCurrentExtern = nullptr;
             }
         }},
        {"keyframe",
         [](SceneLoader& l) {
             if (l.mKeyFrame) {
                 l.mKeyFrame = nullptr;
                 l.mContext = Context::Animation;
             }
         }},
        {"animation",
         [](SceneLoader& l) {
             if (l.mTrack) {
                 l.mKeyFrame = nullptr;
                 l.mContext = Context::Animations;
             }
         }},
        // The context stays "animations" until the next element that sets one.
        {"animations",
         [](SceneLoader& l) {
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

void SceneLoader::discardUnfiledRecords()
{
    endEntityAnimations();
    discardIfUnfiled(mEntities, mCurrentEntity);
    discardIfUnfiled(mTriggers, mCurrentTrigger);
    discardIfUnfiled(mLights, mCurrentLight);
    discardIfUnfiled(mSounds, mCurrentSound);
    discardIfUnfiled(mParticles, mCurrentParticle);
    discardCurrentExtern();
}

void SceneLoader::discardCurrentExtern()
{
    if (mCurrentExtern && std::find(mExterns.begin(), mExterns.end(), mCurrentExtern) == mExterns.end()) {
        delete mCurrentExtern;
    }
    mCurrentExtern = nullptr;
}

// --- attribute checks ------------------------------------------------------

bool SceneLoader::hasAttributes(const char* element, const char** attributes,
                                std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (!SceneText::attribute(attributes, name)) {
            SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> in '" + mParsingFile +
                                     "' has no attribute '" + name + "', element skipped");
            return false;
        }
    }
    return true;
}

bool SceneLoader::isDuplicate(const char* element, const std::string& name)
{
    // Names become engine node and object names: the engine refuses empty
    // ones, and the loader's own nodes must not be taken over.
    if (!isUsableName(name)) {
        SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> in '" + mParsingFile +
                                 "' has the unusable name '" + name + "', element skipped");
        return true;
    }
    if (!isNameTaken(name)) {
        return false;
    }
    SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> '" + name + "' in '" + mParsingFile +
                             "' uses a name that is taken already, element skipped");
    return true;
}

void SceneLoader::reportValue(const char* element, const char* attribute)
{
    SceneObjects::logProblem("SceneLoader: <" + std::string(element) + "> in '" + mParsingFile + "' has a value of '" +
                             attribute + "' that is not a finite number, default used");
}

Ogre::Real SceneLoader::transformValue(const char* element, const char** attributes, const char* name,
                                       Ogre::Real fallback)
{
    bool rejected = false;
    const Ogre::Real value = SceneText::transformValue(SceneText::attribute(attributes, name), fallback, rejected);
    if (rejected) {
        reportValue(element, name);
    }
    return value;
}

Ogre::Vector3 SceneLoader::transformVector(const char* element, const char** attributes, Ogre::Real fallback)
{
    return Ogre::Vector3(transformValue(element, attributes, "x", fallback),
                         transformValue(element, attributes, "y", fallback),
                         transformValue(element, attributes, "z", fallback));
}

// --- blocks ----------------------------------------------------------------

Ogre::SceneNode* SceneLoader::openEntityRoot()
{
    Ogre::SceneManager* manager = mObjects->sceneManager();
    if (!manager) {
        // No scene manager handed in yet (a new scene before any load): the
        // block still counts, so its records are written in a block of
        // their own; it gets its node when a load brings a scene manager.
        ++mRootCount;
        return nullptr;
    }
    if (!mRootNode) {
        mRootNode = mObjects->loaderRoot();
    }
    // The blocks of an extern's file hang under the extern's node, which
    // carries the extern's transform.
    Ogre::SceneNode* parent = mExternParentNode ? mExternParentNode
                              : mRootNode       ? mRootNode
                                                : manager->getRootSceneNode();
    const std::string name = entityRootName(mRootCount);
    Ogre::SceneNode* node;
    if (manager->hasSceneNode(name)) {
        // A block that gave its number back left its node behind: the next
        // block takes it over.
        node = manager->getSceneNode(name);
        if (node->getParentSceneNode() != parent) {
            if (node->getParentSceneNode()) {
                node->getParentSceneNode()->removeChild(node);
            }
            parent->addChild(node);
        }
        node->setPosition(Ogre::Vector3::ZERO);
        node->setOrientation(Ogre::Quaternion::IDENTITY);
        node->setScale(Ogre::Vector3::UNIT_SCALE);
    } else {
        node = parent->createChildSceneNode(name, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    }
    ++mRootCount;
    mRootNodesMade = std::max(mRootNodesMade, mRootCount);
    return node;
}

void SceneLoader::startEntities()
{
    mContext = Context::Entities;
    mEntityRootNode = openEntityRoot();
}

void SceneLoader::endEntities()
{
    mEntityRootNode = nullptr;
    if (!mBlockPlacedSomething && mRootCount > 0) {
        --mRootCount;
    }
    mBlockPlacedSomething = false;
}

// --- entities ----------------------------------------------------------------

void SceneLoader::startEntity(const char** attributes)
{
    endEntityAnimations();
    mContext = Context::Entity;
    discardIfUnfiled(mEntities, mCurrentEntity);
    mEntityParentNode = nullptr;
    if (!hasAttributes("entity", attributes, {"name", "hidden", "CastShadows", "ReceiveShadows"})) {
        return;
    }
    const std::string name = SceneText::attribute(attributes, "name");
    if (isDuplicate("entity", name)) {
        return;
    }
    mBlockPlacedSomething = true;
    mCurrentEntity = new EntityDescription(name, SceneText::attribute(attributes, "hidden"),
                                           SceneText::attribute(attributes, "filename"),
                                           SceneText::attribute(attributes, "CastShadows"),
                                           SceneText::attribute(attributes, "ReceiveShadows"));
    const char* parent = SceneText::attribute(attributes, "parent");
    if (parent && *parent) {
        mCurrentEntity->setParent(parent);
        Ogre::SceneManager* manager = mObjects->sceneManager();
        if (manager->hasSceneNode(parent)) {
            mEntityParentNode = manager->getSceneNode(parent);
        } else {
            // The loader made this node, so the loader destroys it: a node
            // left over would catch the same name at the next load and hold
            // its entity outside the scene graph.
            Ogre::SceneNode* under = mEntityRootNode ? mEntityRootNode : mRootNode;
            mEntityParentNode = under->createChildSceneNode(parent);
            mParentAttributeNodes.push_back(parent);
        }
    } else {
        mEntityParentNode = mEntityRootNode;
    }
}

void SceneLoader::endEntity()
{
    EntityDescription* record = mCurrentEntity;
    // Skipped, or already filed: an </entity> without its own start.
    if (!record || !mEntities.file(record)) {
        return;
    }
    record->setRootIndex(mRootCount);
    record->realise(mEntityParentNode ? mEntityParentNode : mRootNode);
    endEntityAnimations();
    if (mCallback) {
        mCallback->entityCreated(record->getEntity(), record);
    }
    mEntityParentNode = nullptr;
}

void SceneLoader::startAnimation(const char** attributes)
{
    if (mContext != Context::Animations || !mCurrentEntity) {
        Platform::showMessageBox("XMLScene is faulty!", "Error", Platform::kMessageBoxIconExclamation);
        return;
    }
    if (!hasAttributes("animation", attributes, {"name", "length"})) {
        return;
    }
    Ogre::SceneManager* manager = mObjects->sceneManager();
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

void SceneLoader::startKeyFrame(const char** attributes)
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

void SceneLoader::endEntityAnimations()
{
    // Tracks read inside an entity find their node once the entity is
    // realised; an entity without a node keeps no tracks.
    for (Ogre::NodeAnimationTrack* track : mPendingTracks) {
        Ogre::SceneNode* node = mEntities.isFiled(mCurrentEntity)
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

void SceneLoader::startTrigger(const char** attributes)
{
    mContext = Context::Trigger;
    discardIfUnfiled(mTriggers, mCurrentTrigger);
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
    EntityDescription* parentEntity = parent ? findEntity(parent) : nullptr;
    if (parentEntity) {
        mCurrentTrigger =
            new TriggerDescription(name, radius, parentEntity->getName(), attachedType, parentEntity->getRootIndex());
    } else {
        mBlockPlacedSomething = true;
        mCurrentTrigger = new TriggerDescription(name, radius, "", attachedType, mRootCount);
    }
}

void SceneLoader::endTrigger()
{
    TriggerDescription* record = mCurrentTrigger;
    if (!record || !mTriggers.file(record)) {
        return;
    }
    record->realise(parentEntityNode(record->getParent()));
    if (record->getSceneNode()) {
        record->getSceneNode()->setVisible(mShowMarkers, true);
    }
    if (mCallback) {
        mCallback->triggerCreated(record);
    }
}

Ogre::SceneNode* SceneLoader::parentEntityNode(const std::string& parentName) const
{
    if (parentName.empty()) {
        return nullptr;
    }
    EntityDescription* parent = findEntity(parentName);
    return parent ? parent->getSceneNode() : nullptr;
}

// --- lights ------------------------------------------------------------------

// A light, sound or particle system without a parent belongs to the block
// being read; with a parent entity it belongs to that entity's block. A parent
// that names no entity leaves the index alone. Returns the parent entity.
template <typename Record>
EntityDescription* SceneLoader::placeInParentsRoot(Record& record) const
{
    if (record.getParent().empty()) {
        record.setRootIndex(mRootCount);
        return nullptr;
    }
    EntityDescription* parent = findEntity(record.getParent());
    if (parent) {
        record.setRootIndex(parent->getRootIndex());
    }
    return parent;
}

void SceneLoader::startLight(const char** attributes)
{
    mContext = Context::Light;
    discardIfUnfiled(mLights, mCurrentLight);
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

void SceneLoader::startLightColour(const char* element, const char** attributes)
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

void SceneLoader::endLight()
{
    LightDescription* record = mCurrentLight;
    if (!record || !mLights.file(record)) {
        return;
    }
    EntityDescription* parent = placeInParentsRoot(*record);
    record->realise(parent ? parent->getSceneNode() : nullptr);
    if (record->getSceneNode()) {
        record->getSceneNode()->setVisible(true, true);
        if (Ogre::SceneManager* manager = mObjects->sceneManager()) {
            const std::string marker = record->getName() + "_light_entity";
            if (manager->hasEntity(marker)) {
                manager->getEntity(marker)->setVisible(mShowMarkers);
            }
        }
    }
    mBlockPlacedSomething = true;
}

// --- sounds and particle systems ---------------------------------------------

void SceneLoader::startSound(const char** attributes)
{
    mContext = Context::Sound;
    discardIfUnfiled(mSounds, mCurrentSound);
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

void SceneLoader::endSound()
{
    SoundDescription* record = mCurrentSound;
    if (!record || !mSounds.file(record)) {
        return;
    }
    EntityDescription* parent = placeInParentsRoot(*record);
    if (record->getParent().empty() || parent) {
        record->realise(parent ? parent->getSceneNode() : mEntityRootNode);
        SceneObjects::setMaterialIfKnown(record->getMarker(), "KELVO/Transparent");
        if (record->getSceneNode()) {
            record->getSceneNode()->setVisible(mShowMarkers, true);
        }
    } else {
        SceneObjects::logProblem("SceneLoader: sound '" + record->getName() + "' names the unknown parent '" +
                                 record->getParent() + "', kept without sound");
    }
    mBlockPlacedSomething = true;
}

void SceneLoader::startParticle(const char** attributes)
{
    mContext = Context::Particle;
    discardIfUnfiled(mParticles, mCurrentParticle);
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

void SceneLoader::endParticle()
{
    ParticleDescription* record = mCurrentParticle;
    if (!record || !mParticles.file(record)) {
        return;
    }
    EntityDescription* parent = placeInParentsRoot(*record);
    if (record->getParent().empty() || parent) {
        record->realise(parent ? parent->getSceneNode() : mEntityRootNode);
        if (!mShowMarkers && record->getMarker()) {
            record->getMarker()->setVisible(false);
        }
    } else {
        SceneObjects::logProblem("SceneLoader: particle system '" + record->getName() + "' names the unknown parent '" +
                                 record->getParent() + "', kept without particles");
    }
    mBlockPlacedSomething = true;
}

// --- externs, shadow, transforms ---------------------------------------------

void SceneLoader::startExtern(const char** attributes)
{
    mContext = Context::Extern;
    discardCurrentExtern();
    if (!hasAttributes("extern", attributes, {"filename"})) {
        return;
    }
    mExternNode = mEntityRootNode;
    mBlockPlacedSomething = true;
    mCurrentExtern = new ExternDescription(SceneText::attribute(attributes, "filename"), mRootCount);
}

void SceneLoader::startShadow(const char** attributes)
{
    mContext = Context::Shadow;
    delete mShadow;
    mShadow = new ShadowDescription(ShadowDescription::kNone);
    if (const char* type = SceneText::attribute(attributes, "type")) {
        mShadow->setType(type);
    }
}

void SceneLoader::readPosition(const char** attributes)
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

void SceneLoader::readRotation(const char** attributes)
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

void SceneLoader::readScale(const char** attributes)
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

// ---------------------------------------------------------------------------
// Unloading


void SceneLoader::unload()
{
    endEntityAnimations();
    mEntities.removeAll();
    discardCurrentExtern();
    for (ExternDescription* record : mExterns) {
        delete record;
    }
    mExterns.clear();

    Ogre::SceneManager* manager = mObjects->sceneManager();
    if (manager && manager->hasSceneNode(kLoaderRootName)) {
        manager->destroySceneNode(kLoaderRootName);
    }
    mRootNode = nullptr;

    mTriggers.removeAll();
    mLights.removeAll();
    mSounds.removeAll();
    mParticles.removeAll();
    // A parent node that an entity of the same name took over went with
    // that entity; the others go now.
    for (const std::string& name : mParentAttributeNodes) {
        if (manager && manager->hasSceneNode(name)) {
            mObjects->destroyNode(manager->getSceneNode(name));
        }
    }
    mParentAttributeNodes.clear();
    mObjects->freeMarkers();
    mCurrentEntity = nullptr;
    mCurrentTrigger = nullptr;
    mCurrentLight = nullptr;
    mCurrentSound = nullptr;
    mCurrentParticle = nullptr;

    mSceneLoaded = false;
    if (manager) {
        mRootNode = manager->getRootSceneNode()->createChildSceneNode(kLoaderRootName, Ogre::Vector3::ZERO,
                                                                      Ogre::Quaternion::IDENTITY);
    }
}

// ---------------------------------------------------------------------------
// Static geometry

void SceneLoader::buildStaticGeometry(Ogre::SceneManager* sceneManager)
{
    mScenery->build(sceneManager, mEntities.all(), mRootCount);
}

void SceneLoader::destroyStaticGeometry()
{
    mScenery->destroy(mObjects->sceneManager());
}

// ---------------------------------------------------------------------------
// Name lists

namespace {

// The engine's own groups hold its shaders and fallbacks, nothing a level
// designer places.
bool isEngineGroup(const std::string& group)
{
    return group == Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME ||
           group == Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME;
}

void sortUnique(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

// The choosers offer what the game can load: props, materials and sounds
// live in whichever group the resource list puts their folder in.
SceneLoader::NameList gameResourceNames(std::initializer_list<const char*> patterns)
{
    auto names = std::make_shared<std::vector<std::string>>();
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const std::string& group : groups.getResourceGroups()) {
        if (isEngineGroup(group)) {
            continue;
        }
        for (const char* pattern : patterns) {
            Ogre::StringVectorPtr found = groups.findResourceNames(group, pattern);
            names->insert(names->end(), found->begin(), found->end());
        }
    }
    sortUnique(*names);
    return names;
}

SceneLoader::NameList resourceNames(const std::string& group, std::initializer_list<const char*> patterns)
{
    auto names = std::make_shared<std::vector<std::string>>();
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceGroupExists(group)) {
        SceneObjects::logProblem("SceneLoader: resource group '" + group + "' does not exist");
        return names;
    }
    for (const char* pattern : patterns) {
        Ogre::StringVectorPtr found = groups.findResourceNames(group, pattern);
        names->insert(names->end(), found->begin(), found->end());
    }
    return names;
}

} // namespace

SceneLoader::NameList SceneLoader::getSceneFileNames()
{
    refreshSceneFolderIndex();
    mSceneFiles = resourceNames(kSceneGroup, {"*.qormscene"});
    return mSceneFiles;
}

SceneLoader::NameList SceneLoader::getMeshNames()
{
    mMeshes = gameResourceNames({"*.mesh"});
    return mMeshes;
}

SceneLoader::NameList SceneLoader::getParticleTemplateNames()
{
    mParticleTemplates = std::make_shared<std::vector<std::string>>();
    for (const auto& entry : Ogre::ParticleSystemManager::getSingleton().getTemplateIterator()) {
        mParticleTemplates->push_back(entry.first);
    }
    sortUnique(*mParticleTemplates);
    return mParticleTemplates;
}

SceneLoader::NameList SceneLoader::getMaterialNames()
{
    std::vector<std::string> materials;
    for (const auto& entry : Ogre::MaterialManager::getSingleton().getResourceIterator()) {
        if (!isEngineGroup(entry.second->getGroup())) {
            materials.push_back(entry.second->getName());
        }
    }
    sortUnique(materials);
    mMaterials = std::make_shared<std::vector<std::string>>();
    mMaterials->push_back(EntityDescription::kDefaultFromMesh);
    mMaterials->insert(mMaterials->end(), materials.begin(), materials.end());
    return mMaterials;
}

SceneLoader::NameList SceneLoader::getLightTypes() const
{
    return std::make_shared<std::vector<std::string>>(
        std::vector<std::string>{"Dirc_Light", "Spot_Light", "Point_Light"});
}

SceneLoader::NameList SceneLoader::getSoundFileNames() const
{
    return gameResourceNames({"*.wav", "*.mp3"});
}

SceneLoader::NameList SceneLoader::getEntityTypes() const
{
    auto types = std::make_shared<std::vector<std::string>>();
    Ogre::DataStreamPtr stream;
    try {
        stream = Ogre::ResourceGroupManager::getSingleton().openResource(
            "entitytypes.def", Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    } catch (const Ogre::Exception& e) {
        SceneObjects::logProblem("SceneLoader: entitytypes.def could not be opened: " + e.getDescription());
        return types;
    }
    while (stream && !stream->eof()) {
        std::string line = stream->getLine(true);
        types->push_back(line);
    }
    return types;
}

// ---------------------------------------------------------------------------
// Look-ups and the sound listener

EntityDescription* SceneLoader::findEntity(const std::string& name) const
{
    return mEntities.find(name);
}

TriggerDescription* SceneLoader::findTrigger(const std::string& name) const
{
    return mTriggers.find(name);
}

LightDescription* SceneLoader::findLight(const std::string& name) const
{
    return mLights.find(name);
}

SoundDescription* SceneLoader::findSound(const std::string& name) const
{
    return mSounds.find(name);
}

ParticleDescription* SceneLoader::findParticle(const std::string& name) const
{
    return mParticles.find(name);
}

bool SceneLoader::isFromExternFile(int rootIndex) const
{
    for (const auto& range : mExternRoots) {
        if (rootIndex > range.first && rootIndex <= range.second) {
            return true;
        }
    }
    return false;
}

bool SceneLoader::isUsableName(const std::string& name)
{
    return !name.empty() && name != kLoaderRootName && name.compare(0, 11, "entityRoot_") != 0;
}

bool SceneLoader::isNameTaken(const std::string& name) const
{
    return mEntities.has(name) || mTriggers.has(name) || mLights.has(name) || mSounds.has(name) ||
           mParticles.has(name);
}

void SceneLoader::updateSoundListener(Ogre::SceneNode* listenerNode, float elapsedSeconds)
{
    SoundManager* sounds = mObjects->soundManager();
    if (listenerNode && sounds) {
        sounds->UpdateListener(listenerNode, elapsedSeconds);
    }
}

} // namespace Kelvo
