#pragma once

#include <map>
#include <string>
#include <vector>

namespace Kelvo {

class SceneObjects;

// The records of one kind (entities, triggers, lights, sounds or particle
// systems) by name, in name order, as the loader keeps them. The table owns
// its records: filing hands a record the loader's scene objects, removing
// destroys its engine objects and deletes it. Records that are not filed
// (still being read) belong to whoever made them.
template <typename Record>
class RecordTable {
public:
    using Map = std::map<std::string, Record*>;

    explicit RecordTable(SceneObjects* objects)
        : mObjects(objects)
    {
    }
    // At shut-down the engine may be gone: only the records are deleted.
    ~RecordTable()
    {
        for (auto& entry : mRecords) {
            delete entry.second;
        }
    }
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;

    const Map& all() const { return mRecords; }
    size_t size() const { return mRecords.size(); }
    bool has(const std::string& name) const { return mRecords.count(name) != 0; }

    Record* find(const std::string& name) const
    {
        auto found = mRecords.find(name);
        return found == mRecords.end() ? nullptr : found->second;
    }

    bool isFiled(const Record* record) const { return record && find(record->getName()) == record; }

    // False, and the record not filed, when its name is taken in this table.
    bool file(Record* record)
    {
        if (!mRecords.emplace(record->getName(), record).second) {
            return false;
        }
        record->setSceneObjects(mObjects);
        return true;
    }

    // Out of the table, not destroyed: the caller owns it now.
    Record* take(const std::string& name)
    {
        auto found = mRecords.find(name);
        if (found == mRecords.end()) {
            return nullptr;
        }
        Record* record = found->second;
        mRecords.erase(found);
        return record;
    }

    bool remove(const std::string& name)
    {
        Record* record = take(name);
        if (!record) {
            return false;
        }
        record->destroy();
        delete record;
        return true;
    }

    void removeAll()
    {
        for (auto& entry : mRecords) {
            entry.second->destroy();
            delete entry.second;
        }
        mRecords.clear();
    }

    // Names of the records that hang on the named entity.
    std::vector<std::string> namesAttachedTo(const std::string& parent) const
    {
        std::vector<std::string> names;
        for (const auto& entry : mRecords) {
            if (entry.second->getParent() == parent) {
                names.push_back(entry.first);
            }
        }
        return names;
    }

    void appendXmlOfRoot(std::string& text, int rootIndex) const
    {
        for (const auto& entry : mRecords) {
            if (entry.second->isInRoot(rootIndex)) {
                text += entry.second->toXml();
            }
        }
    }

private:
    SceneObjects* mObjects;
    Map mRecords;
};

} // namespace Kelvo
