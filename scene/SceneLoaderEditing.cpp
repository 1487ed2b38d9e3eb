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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

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

namespace {

// The old file is replaced only by a completely written new one, so a failed
// write never costs the level designer the last good file.
bool replaceFile(const std::string& path, const std::string& text)
{
    const std::string partial = path + ".saving";
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
    return true;
}

} // namespace

bool SceneLoader::save()
{
    if (!isSafeFileName(mFileName)) {
        SceneObjects::logProblem("SceneLoader: cannot save a scene under the file name '" + mFileName + "'");
        return false;
    }
    const std::string path = mSceneDirectory + mFileName;
    if (!replaceFile(path, sceneText())) {
        return false;
    }
    logLine("SceneLoader: saved '" + path + "'");
    return true;
}

bool SceneLoader::saveCopy(const std::string& fileName) const
{
    if (!isSafeFileName(fileName) || fileName == mFileName) {
        SceneObjects::logProblem("SceneLoader: refusing to write a copy of the scene as '" + fileName + "'");
        return false;
    }
    return replaceFile(mSceneDirectory + fileName, sceneText());
}

bool SceneLoader::setCurrentFileName(const std::string& fileName)
{
    if (!isSafeFileName(fileName)) {
        return false;
    }
    mFileName = fileName;
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

// --- copies for undo and redo -----------------------------------------------------

namespace {

template <typename Record>
RecordCopy copyOf(const Record& record)
{
    RecordCopy copy;
    copy.kind = record.getTypeName();
    copy.name = record.getName();
    copy.parent = record.getParent();
    const Ogre::SceneNode* node = record.getSceneNode();
    const Ogre::SceneNode* under = node ? node->getParentSceneNode() : record.getParentNode();
    if (under) {
        copy.parentNode = under->getName();
    }
    copy.rootIndex = record.getRootIndex();
    copy.xml = record.toXml();
    return copy;
}

// Entities before what hangs on them, and an entity after the entity it is
// placed under, so the reader finds every parent already made.
std::vector<const RecordCopy*> inRestoringOrder(const std::vector<RecordCopy>& records)
{
    std::vector<const RecordCopy*> ordered;
    std::vector<const RecordCopy*> entities;
    std::set<std::string> waiting;
    for (const RecordCopy& copy : records) {
        if (copy.kind == "Entity") {
            entities.push_back(&copy);
            waiting.insert(copy.name);
        }
    }
    while (!entities.empty()) {
        const size_t before = entities.size();
        for (auto it = entities.begin(); it != entities.end();) {
            if (!waiting.count((*it)->parent)) {
                ordered.push_back(*it);
                waiting.erase((*it)->name);
                it = entities.erase(it);
            } else {
                ++it;
            }
        }
        if (entities.size() == before) {
            // Entities placed under each other in a ring: the reader makes
            // the missing parent nodes itself.
            ordered.insert(ordered.end(), entities.begin(), entities.end());
            entities.clear();
        }
    }
    for (const char* kind : {"Trigger", "Light", "Sound", "Particle"}) {
        for (const RecordCopy& copy : records) {
            if (copy.kind == kind) {
                ordered.push_back(&copy);
            }
        }
    }
    return ordered;
}

} // namespace

std::vector<RecordCopy> SceneLoader::copyRecords() const
{
    std::vector<RecordCopy> copies;
    copies.reserve(mEntities.size() + mTriggers.size() + mLights.size() + mSounds.size() + mParticles.size() + 1);
    auto copyAll = [this, &copies](const auto& records) {
        for (const auto& entry : records) {
            if (!isFromExternFile(entry.second->getRootIndex())) {
                copies.push_back(copyOf(*entry.second));
            }
        }
    };
    copyAll(mEntities.all());
    copyAll(mTriggers.all());
    copyAll(mLights.all());
    copyAll(mSounds.all());
    copyAll(mParticles.all());
    if (mShadow) {
        RecordCopy shadow;
        shadow.kind = mShadow->getTypeName();
        shadow.xml = mShadow->toXml();
        copies.push_back(shadow);
    }
    return copies;
}

PlacedDescription* SceneLoader::findPlaced(const std::string& kind, const std::string& name) const
{
    if (kind == "Entity") return findEntity(name);
    if (kind == "Trigger") return findTrigger(name);
    if (kind == "Light") return findLight(name);
    if (kind == "Sound") return findSound(name);
    if (kind == "Particle") return findParticle(name);
    return nullptr;
}

void SceneLoader::removeRecords(const std::vector<RecordCopy>& records)
{
    for (const RecordCopy& copy : records) {
        if (copy.kind == "Entity") {
            removeEntity(copy.name);
        } else if (copy.kind == "Trigger") {
            removeTrigger(copy.name);
        } else if (copy.kind == "Light") {
            removeLight(copy.name);
        } else if (copy.kind == "Sound") {
            removeSound(copy.name);
        } else if (copy.kind == "Particle") {
            removeParticle(copy.name);
        }
    }
}

void SceneLoader::placeUnder(PlacedDescription& record, const std::string& parentNodeName)
{
    Ogre::SceneManager* manager = mObjects->sceneManager();
    if (!manager || parentNodeName.empty() || !manager->hasSceneNode(parentNodeName)) {
        return;
    }
    Ogre::SceneNode* parent = manager->getSceneNode(parentNodeName);
    Ogre::SceneNode* node = record.getSceneNode();
    // Never under itself or one of its own children.
    for (Ogre::Node* up = parent; up; up = up->getParent()) {
        if (up == node) {
            return;
        }
    }
    record.setParentNode(parent);
    if (!node || node->getParentSceneNode() == parent) {
        return;
    }
    if (node->getParentSceneNode()) {
        node->getParentSceneNode()->removeChild(node);
    }
    parent->addChild(node);
}

int SceneLoader::restoreRecords(const std::vector<RecordCopy>& records)
{
    std::string shadow;
    std::string block;
    int highestRoot = 0;
    const std::vector<const RecordCopy*> ordered = inRestoringOrder(records);
    for (const RecordCopy* copy : ordered) {
        block += copy->xml;
        highestRoot = std::max(highestRoot, copy->rootIndex);
    }
    for (const RecordCopy& copy : records) {
        if (copy.kind == "Shadow") {
            shadow = copy.xml;
        }
    }
    if (block.empty() && shadow.empty()) {
        return 0;
    }
    // The reader makes the records as a file's would be made; the block it
    // opens for them is given back once each record is in its own again.
    const std::string text = "<kelvo_scene>\n" + shadow + kBlockOpen + block + kBlockClose + "</kelvo_scene>\n";
    const int rootsBefore = mRootCount;
    SceneParser parser(*this, "the edit history", nullptr);
    SceneParser* outer = mParser;
    mParser = &parser;
    parser.parse(text);
    mParser = outer;

    int restored = 0;
    for (const RecordCopy* copy : ordered) {
        PlacedDescription* record = findPlaced(copy->kind, copy->name);
        if (!record) {
            SceneObjects::logProblem("SceneLoader: " + copy->kind + " '" + copy->name + "' could not be put back");
            continue;
        }
        record->setRootIndex(copy->rootIndex);
        placeUnder(*record, copy->parentNode);
        ++restored;
    }
    mRootCount = std::max(rootsBefore, highestRoot);
    if (!shadow.empty() && mShadow) {
        mShadow->apply(mObjects->sceneManager());
        ++restored;
    }
    return restored;
}

} // namespace Kelvo
