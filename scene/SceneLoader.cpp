#include "scene/SceneLoader.h"

#include "SoundManager/SoundManager.h"
#include "scene/EntityDescription.h"
#include "scene/ExternDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoaderCallBack.h"
#include "scene/SceneObjects.h"
#include "scene/SceneParser.h"
#include "scene/StaticScenery.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"

#include <Ogre.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace Kelvo {

namespace {

const char* const kEntityRootFormat = "entityRoot_%i";

std::string entityRootName(int number)
{
    char buffer[256];
    std::snprintf(buffer, sizeof(buffer), kEntityRootFormat, number);
    return buffer;
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
        mExternParentNode = record->getNode();
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

bool SceneLoader::loadCopy(const std::string& copyFileName, const std::string& fileName,
                           Ogre::SceneManager* sceneManager, SceneLoaderCallBack* callback, bool showMarkers,
                           SoundManager* soundManager)
{
    if (!load(copyFileName, sceneManager, callback, showMarkers, soundManager)) {
        return false;
    }
    mFileName = fileName;
    return true;
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

    // The blocks of an extern's file hang under the extern's node.
    SceneParser parser(*this, fileName, mExternParentNode);
    SceneParser* outer = mParser;
    mParser = &parser;
    const bool parsed = parser.parse(text);
    mParser = outer;
    return parsed;
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



// ---------------------------------------------------------------------------
// Unloading


void SceneLoader::unload()
{
    mEntities.removeAll();
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
    // One word a line, empty lines kept as empty entries; the newline that
    // ends the last line starts no line of its own.
    std::istringstream text(stream ? stream->getAsString() : std::string());
    for (std::string line; std::getline(text, line);) {
        Ogre::StringUtil::trim(line);
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
