#pragma once

#include "scene/RecordCopy.h"
#include "scene/RecordTable.h"

#include <OgrePrerequisites.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Kelvo {

class EntityDescription;
class ExternDescription;
class LightDescription;
class ParticleDescription;
class SceneLoaderCallBack;
class SceneObjects;
class StaticScenery;
class ShadowDescription;
class SoundDescription;
class SoundManager;
class SceneParser;
class TriggerDescription;
class PlacedDescription;
class XMLDescription;

// Reads scene files (".qormscene", XML through expat, element by element in
// its SceneParser) into description records, realises them as engine objects in "MainScene", tells the game's
// callback about entities and triggers, and keeps the records for the level
// editor, which changes and saves them through the editing operations here.
// Created once at start-up; a load first unloads the previous scene, so every
// scene is built under a fresh "KelvoSceneLoaderRoot" node.
//
// Every <entities> element opens an entity root: a node "entityRoot_<n>"
// under the loader's root, n counting up from 0. Records of a block carry the
// count after the block opened as their root index, which is how the writer
// puts them back into blocks. A block that placed nothing gives its number
// back to the next block.
class SceneLoader {
public:
    using NameList = std::shared_ptr<std::vector<std::string>>;
    using EntityMap = RecordTable<EntityDescription>::Map;
    using TriggerMap = RecordTable<TriggerDescription>::Map;
    using LightMap = RecordTable<LightDescription>::Map;
    using SoundMap = RecordTable<SoundDescription>::Map;
    using ParticleMap = RecordTable<ParticleDescription>::Map;

    static const char* const kLoaderRootName;
    static const char* const kDefaultSceneDirectory;
    static const char* const kSceneGroup;

    SceneLoader();
    ~SceneLoader();

    static SceneLoader* getSingletonPtr() { return sInstance; }

    // Loading ---------------------------------------------------------------

    // Reads a scene into the scene manager (the state's "MainScene"), which
    // the loader then uses for editing until the next load or until the
    // manager is destroyed; false when the file could not be opened or is
    // not well-formed (what was read before the error stays). Sound records
    // load their sounds through the sound manager given; tools that load a
    // scene without one get silent sound records.
    bool load(const std::string& fileName, Ogre::SceneManager* sceneManager, SceneLoaderCallBack* callback,
              bool showMarkers, SoundManager* soundManager = nullptr);
    // Loads a copy of a scene (the editor's unsaved scene, kept through a
    // game played from the editor) and, when it loaded, takes the scene's own
    // file name, under which it is then saved.
    bool loadCopy(const std::string& copyFileName, const std::string& fileName, Ogre::SceneManager* sceneManager,
                  SceneLoaderCallBack* callback, bool showMarkers, SoundManager* soundManager = nullptr);
    // Parses one file into the current scene.
    bool parseFile(const std::string& fileName);
    // Destroys every realised object and deletes every record.
    void unload();

    void buildStaticGeometry(Ogre::SceneManager* sceneManager);
    void destroyStaticGeometry();

    // Passes the listener node on to the sound manager of the last load once
    // per frame.
    void updateSoundListener(Ogre::SceneNode* listenerNode, float elapsedSeconds);

    // Lists for the editor's choosers ----------------------------------------

    NameList getSceneFileNames();
    NameList getMeshNames();
    NameList getParticleTemplateNames();
    NameList getMaterialNames();
    NameList getLightTypes() const;
    NameList getSoundFileNames() const;
    NameList getEntityTypes() const;

    // Records ----------------------------------------------------------------

    EntityDescription* findEntity(const std::string& name) const;
    TriggerDescription* findTrigger(const std::string& name) const;
    LightDescription* findLight(const std::string& name) const;
    SoundDescription* findSound(const std::string& name) const;
    ParticleDescription* findParticle(const std::string& name) const;

    const EntityMap& entities() const { return mEntities.all(); }
    const TriggerMap& triggers() const { return mTriggers.all(); }
    const LightMap& lights() const { return mLights.all(); }
    const SoundMap& sounds() const { return mSounds.all(); }
    const ParticleMap& particles() const { return mParticles.all(); }
    const std::vector<ExternDescription*>& externs() const { return mExterns; }
    ShadowDescription* getShadow() const { return mShadow; }

    int getRootCount() const { return mRootCount; }
    bool isSceneLoaded() const { return mSceneLoaded; }

    // Editing and saving -------------------------------------------------------

    // Writes the scene to the scene directory under the current file name.
    // The old file is replaced only once the new text is wholly written.
    bool save();
    // Empties the scene and saves it under a new name. The scene manager
    // (and sound manager) given is where the new scene's records are then
    // realised, as after a load; a new scene always has a shadow setting.
    bool newScene(const std::string& fileName, Ogre::SceneManager* sceneManager = nullptr,
                  SoundManager* soundManager = nullptr);
    bool deleteSceneFile(const std::string& fileName);
    // The current file name, or null when there is none.
    const char* getCurrentFileName() const;
    // The whole file text save() writes.
    std::string sceneText() const;

    // Each add takes only a name no record of any kind has; it opens a new
    // entity root for the record and files it without realising it.
    EntityDescription* addEntity(const std::string& name, const std::string& meshFile);
    TriggerDescription* addTrigger(const std::string& name, float radius);
    TriggerDescription* addTrigger(const std::string& name, float radius, EntityDescription* parent);
    LightDescription* addLight(const std::string& name, const std::string& type);
    SoundDescription* addSound(const std::string& name);
    ParticleDescription* addParticle(const std::string& name);

    // Takes along everything that hangs on the entity: triggers, lights,
    // sounds and particle systems attached to it and entities placed under
    // it (with what hangs on them). Returns the number of records removed,
    // the entity included; 0 when there is no such entity.
    int removeEntity(const std::string& name);
    bool removeTrigger(const std::string& name);
    bool removeLight(const std::string& name);
    bool removeSound(const std::string& name);
    bool removeParticle(const std::string& name);

    // A copy named "<base>#<highest number + 1>", realised beside the source.
    EntityDescription* cloneEntity(const std::string& sourceName);

    bool isNameTaken(const std::string& name) const;
    // Whether records of that root index were read from an extern's file.
    bool isFromExternFile(int rootIndex) const;
    // Names become engine names: not empty, and not one of the loader's own
    // node names ("KelvoSceneLoaderRoot", "entityRoot_<n>").
    static bool isUsableName(const std::string& name);

    // Undo and redo ------------------------------------------------------------

    // Every record of the scene as text: entities, triggers, lights, sounds,
    // particle systems (each kind in name order), then the shadow setting.
    // Records read from an extern's file are left out: the editor does not
    // write them.
    std::vector<RecordCopy> copyRecords() const;
    // Removes the records named by the copies that exist now (an entity with
    // what hangs on it); the shadow setting stays.
    void removeRecords(const std::vector<RecordCopy>& records);
    // Puts the copied records back as they were copied: the same element,
    // block and scene node; the shadow setting is applied to the view. The
    // names must be free. Returns how many came back.
    int restoreRecords(const std::vector<RecordCopy>& records);

    // Writes the scene's text under another name in the scene directory (a
    // backup); never over the scene's own file.
    bool saveCopy(const std::string& fileName) const;
    // The name save() writes to: a scene read from a backup is saved as the
    // scene it backs up.
    bool setCurrentFileName(const std::string& fileName);

    // Where scene files are written ("../media/xmlScenes/" for the game).
    void setSceneDirectory(const std::string& directory) { mSceneDirectory = directory; }
    const std::string& getSceneDirectory() const { return mSceneDirectory; }

private:
    // The parser files, realises and counts blocks in the loader's tables.
    friend class SceneParser;

    void refreshSceneFolderIndex();
    Ogre::SceneNode* openEntityRoot();
    void clearSceneAndRoots();
    void forgetWhileParsing(const XMLDescription* record);
    template <typename Record>
    int removeAttachedTo(RecordTable<Record>& records, const std::string& parent);
    bool isSafeFileName(const std::string& fileName) const;
    PlacedDescription* findPlaced(const std::string& kind, const std::string& name) const;
    void placeUnder(PlacedDescription& record, const std::string& parentNodeName);

    static SceneLoader* sInstance;

    bool mShowMarkers = false;
    ShadowDescription* mShadow = nullptr;
    // Declared before the tables, which hand it to every record they file.
    std::unique_ptr<SceneObjects> mObjects;
    RecordTable<SoundDescription> mSounds{mObjects.get()};
    RecordTable<EntityDescription> mEntities{mObjects.get()};
    RecordTable<LightDescription> mLights{mObjects.get()};
    RecordTable<TriggerDescription> mTriggers{mObjects.get()};
    RecordTable<ParticleDescription> mParticles{mObjects.get()};
    std::vector<ExternDescription*> mExterns;

    Ogre::SceneNode* mRootNode = nullptr;
    // While an extern's file is read: the node its blocks hang under.
    Ogre::SceneNode* mExternParentNode = nullptr;
    // Root numbers read from extern files, as (first exclusive, last
    // inclusive): their records belong to those files and are not written
    // into this one.
    std::vector<std::pair<int, int>> mExternRoots;
    // Nodes made for `parent` attributes that named no existing node.
    std::vector<std::string> mParentAttributeNodes;

    SceneLoaderCallBack* mCallback = nullptr;
    std::string mFileName;
    // The parser reading a file just now, if any.
    SceneParser* mParser = nullptr;
    std::set<std::string> mFilesRead;
    NameList mSceneFiles;
    NameList mMeshes;
    NameList mParticleTemplates;
    NameList mMaterials;

    std::unique_ptr<StaticScenery> mScenery;

    int mRootCount = 0;
    // The highest entity-root number made since the last clear: every node
    // up to it is destroyed before the next scene.
    int mRootNodesMade = 0;
    bool mSceneLoaded = false;
    bool mGrassMade = false;
    std::string mSceneDirectory = kDefaultSceneDirectory;
};

} // namespace Kelvo
