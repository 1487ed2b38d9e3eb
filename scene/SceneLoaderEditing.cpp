// The level editor's side of the scene loader: writing the scene back to its
// file, new and deleted scene files, and adding, cloning and removing records.

#include "scene/SceneLoader.h"

#include "scene/EntityDescription.h"
#include "scene/ExternDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneObjects.h"
#include "scene/SceneParser.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"

#include <Ogre.h>

#include <cstdio>
#include <cstdlib>

namespace Kelvo {

namespace {

const char* const kBlockOpen = "\t<entities>\n";
const char* const kBlockClose = "\t</entities>\n";
// An empty block is exactly this long; only longer blocks are written.
const size_t kEmptyBlockLength = 25;

void logLine(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage(line);
}

// Splits "name#7" into "name" and "7"; a name without "#" is its own base.
void splitNumberedName(const std::string& name, std::string& base, std::string& number)
{
    const std::string::size_type hash = name.rfind('#');
    if (hash == std::string::npos) {
        base = name;
        number.clear();
    } else {
        base = name.substr(0, hash);
        number = name.substr(hash + 1);
    }
}

} // namespace

std::string SceneLoader::sceneText() const
{
    std::string text = "<kelvo_scene>\n";
    if (mShadow) {
        text += mShadow->toXml();
    }
    for (const ExternDescription* record : mExterns) {
        if (isFromExternFile(record->getRootIndex())) {
            continue;
        }
        text += kBlockOpen;
        text += record->toXml();
        text += kBlockClose;
    }
    for (int root = 0; root <= mRootCount; ++root) {
        if (isFromExternFile(root)) {
            continue;
        }
        std::string block = kBlockOpen;
        mEntities.appendXmlOfRoot(block, root);
        mTriggers.appendXmlOfRoot(block, root);
        mLights.appendXmlOfRoot(block, root);
        mSounds.appendXmlOfRoot(block, root);
        mParticles.appendXmlOfRoot(block, root);
        block += kBlockClose;
        if (block.size() > kEmptyBlockLength) {
            text += block;
        }
    }
    text += "</kelvo_scene>\n";
    return text;
}

bool SceneLoader::isSafeFileName(const std::string& fileName) const
{
    // Scene files live in one folder; a name that reaches out of it (or is
    // empty) is refused rather than written or deleted somewhere else.
    return !fileName.empty() && fileName.find('/') == std::string::npos &&
           fileName.find('\\') == std::string::npos && fileName != "." && fileName != "..";
}

bool SceneLoader::save()
{
    if (!isSafeFileName(mFileName)) {
        SceneObjects::logProblem("SceneLoader: cannot save a scene under the file name '" + mFileName + "'");
        return false;
    }
    const std::string path = mSceneDirectory + mFileName;
    const std::string partial = path + ".saving";
    const std::string text = sceneText();

    // The old file is replaced only by a completely written new one, so a
    // failed save never costs the level designer the last good file.
    std::FILE* file = std::fopen(partial.c_str(), "w");
    if (!file) {
        SceneObjects::logProblem("SceneLoader: cannot write '" + partial + "', scene not saved");
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        SceneObjects::logProblem("SceneLoader: writing '" + path + "' failed, the previous file is kept");
        return false;
    }
    logLine("SceneLoader: saved '" + path + "'");
    return true;
}

bool SceneLoader::newScene(const std::string& fileName, Ogre::SceneManager* sceneManager,
                           SoundManager* soundManager)
{
    if (!isSafeFileName(fileName)) {
        SceneObjects::logProblem("SceneLoader: cannot make a scene file named '" + fileName + "'");
        return false;
    }
    if (sceneManager) {
        mObjects->use(sceneManager);
        mObjects->useSounds(soundManager);
    }
    if (!mShadow) {
        mShadow = new ShadowDescription(ShadowDescription::kNone);
    }
    clearSceneAndRoots();
    mFileName = fileName;
    return save();
}

bool SceneLoader::deleteSceneFile(const std::string& fileName)
{
    if (!isSafeFileName(fileName)) {
        SceneObjects::logProblem("SceneLoader: refusing to delete '" + fileName + "'");
        return false;
    }
    return std::remove((mSceneDirectory + fileName).c_str()) == 0;
}

const char* SceneLoader::getCurrentFileName() const
{
    return mFileName.empty() ? nullptr : mFileName.c_str();
}

// --- adding ---------------------------------------------------------------------

EntityDescription* SceneLoader::addEntity(const std::string& name, const std::string& meshFile)
{
    if (isNameTaken(name) || !isUsableName(name)) {
        return nullptr;
    }
    Ogre::SceneNode* root = openEntityRoot();
    auto* record = new EntityDescription(name, "false", meshFile.c_str(), "yes", "yes");
    record->setRootIndex(mRootCount);
    // Its window realises the record once the remaining values are set; the
    // new entity root is where it will hang.
    record->setParentNode(root);
    mEntities.file(record);
    return record;
}

TriggerDescription* SceneLoader::addTrigger(const std::string& name, float radius)
{
    if (isNameTaken(name) || !isUsableName(name)) {
        return nullptr;
    }
    Ogre::SceneNode* root = openEntityRoot();
    auto* record = new TriggerDescription(name, radius, "", "", mRootCount);
    record->setParentNode(root);
    mTriggers.file(record);
    return record;
}

TriggerDescription* SceneLoader::addTrigger(const std::string& name, float radius, EntityDescription* parent)
{
    if (isNameTaken(name) || !isUsableName(name)) {
        return nullptr;
    }
    Ogre::SceneNode* root = openEntityRoot();
    auto* record = new TriggerDescription(name, radius, parent ? parent->getName() : "", "", mRootCount);
    // On its entity once that is placed; in its own block until then.
    record->setParentNode(parent && parent->getSceneNode() ? parent->getSceneNode() : root);
    mTriggers.file(record);
    return record;
}

LightDescription* SceneLoader::addLight(const std::string& name, const std::string& type)
{
    if (isNameTaken(name) || !isUsableName(name)) {
        return nullptr;
    }
    Ogre::SceneNode* root = openEntityRoot();
    auto* record = new LightDescription(name, type);
    record->setRootIndex(mRootCount);
    record->setParentNode(root);
    mLights.file(record);
    return record;
}

SoundDescription* SceneLoader::addSound(const std::string& name)
{
    if (isNameTaken(name) || !isUsableName(name)) {
        return nullptr;
    }
    Ogre::SceneNode* root = openEntityRoot();
    auto* record = new SoundDescription(name);
    record->setRootIndex(mRootCount);
    record->setParentNode(root);
    mSounds.file(record);
    return record;
}

ParticleDescription* SceneLoader::addParticle(const std::string& name)
{
    if (isNameTaken(name) || !isUsableName(name)) {
        return nullptr;
    }
    Ogre::SceneNode* root = openEntityRoot();
    auto* record = new ParticleDescription(name, "", "");
    record->setRootIndex(mRootCount);
    record->setParentNode(root);
    mParticles.file(record);
    return record;
}

// --- removing --------------------------------------------------------------------

void SceneLoader::forgetWhileParsing(const XMLDescription* record)
{
    // A game callback may remove records while a file is read; the parser
    // must not go on filling or deleting them.
    if (mParser && record) {
        mParser->forget(record);
    }
}

template <typename Record>
int SceneLoader::removeAttachedTo(RecordTable<Record>& records, const std::string& parent)
{
    const std::vector<std::string> attached = records.namesAttachedTo(parent);
    for (const std::string& name : attached) {
        forgetWhileParsing(records.find(name));
        records.remove(name);
    }
    return static_cast<int>(attached.size());
}

int SceneLoader::removeEntity(const std::string& name)
{
    // Out of the table first: entities that name each other as parents
    // cannot bring the search back to this one.
    EntityDescription* entity = mEntities.take(name);
    if (!entity) {
        return 0;
    }
    forgetWhileParsing(entity);
    // What hangs on the entity goes first, while its node still exists: left
    // behind it would be saved under a parent that is gone, and its nodes
    // would point at a freed one.
    int removed = 0;
    for (const std::string& child : mEntities.namesAttachedTo(name)) {
        removed += removeEntity(child);
    }
    removed += removeAttachedTo(mTriggers, name);
    removed += removeAttachedTo(mLights, name);
    removed += removeAttachedTo(mSounds, name);
    removed += removeAttachedTo(mParticles, name);
    entity->destroy();
    delete entity;
    logLine("SceneLoader: removed entity '" + name + "' with " + std::to_string(removed) + " attached records");
    return removed + 1;
}

bool SceneLoader::removeTrigger(const std::string& name)
{
    forgetWhileParsing(mTriggers.find(name));
    return mTriggers.remove(name);
}

bool SceneLoader::removeLight(const std::string& name)
{
    forgetWhileParsing(mLights.find(name));
    return mLights.remove(name);
}

bool SceneLoader::removeSound(const std::string& name)
{
    forgetWhileParsing(mSounds.find(name));
    return mSounds.remove(name);
}

bool SceneLoader::removeParticle(const std::string& name)
{
    forgetWhileParsing(mParticles.find(name));
    return mParticles.remove(name);
}

// --- cloning ---------------------------------------------------------------------

EntityDescription* SceneLoader::cloneEntity(const std::string& sourceName)
{
    EntityDescription* source = findEntity(sourceName);
    if (!source) {
        return nullptr;
    }
    std::string base;
    std::string number;
    splitNumberedName(sourceName, base, number);
    int highest = 0;
    for (const auto& entry : mEntities.all()) {
        std::string otherBase;
        std::string otherNumber;
        splitNumberedName(entry.first, otherBase, otherNumber);
        if (otherBase == base) {
            highest = std::max(highest, std::atoi(otherNumber.c_str()));
        }
    }
    std::string name = base + "#" + std::to_string(highest + 1);
    // Another kind may hold that name already; take the next free number.
    for (int next = highest + 2; isNameTaken(name); ++next) {
        name = base + "#" + std::to_string(next);
    }
    auto* clone = new EntityDescription(name, source->isHidden(), source->getFileName(), source->getCastShadows(),
                                        source->getReceiveShadows(), source->getMaterial(), source->getType(),
                                        source->currentScale(), source->getRotation());
    clone->setRootIndex(source->getRootIndex());
    mEntities.file(clone);
    clone->realise(source->getParentNode());
    return clone;
}

} // namespace Kelvo
