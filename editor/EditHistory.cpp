#include "editor/EditHistory.h"

#include "platform/Log.h"
#include "scene/SceneLoader.h"

#include <set>
#include <sstream>
#include <utility>

namespace Kelvo {

namespace {

// Keys of everything hanging on the entities among the keys, and on what
// hangs on those: putting an entity back remakes all of it.
void addAttached(std::set<std::string>& keys, const std::map<std::string, RecordCopy>& records)
{
    std::multimap<std::string, std::string> byParent;
    for (const auto& entry : records) {
        if (!entry.second.parent.empty()) {
            byParent.emplace(entry.second.parent, entry.first);
        }
    }
    std::vector<std::string> open(keys.begin(), keys.end());
    while (!open.empty()) {
        const std::string key = open.back();
        open.pop_back();
        auto found = records.find(key);
        if (found == records.end() || found->second.kind != "Entity") {
            continue;
        }
        auto range = byParent.equal_range(found->second.name);
        for (auto it = range.first; it != range.second; ++it) {
            if (keys.insert(it->second).second) {
                open.push_back(it->second);
            }
        }
    }
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Whether two texts of one record differ only in lines with a position.
bool onlyMoved(const RecordCopy& before, const RecordCopy& after)
{
    if (before.parent != after.parent || before.parentNode != after.parentNode) {
        return false;
    }
    const std::vector<std::string> a = linesOf(before.xml);
    const std::vector<std::string> b = linesOf(after.xml);
    if (a.size() != b.size()) {
        return false;
    }
    bool moved = false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            if (a[i].find("<position") == std::string::npos) {
                return false;
            }
            moved = true;
        }
    }
    return moved;
}

std::string recordName(const RecordCopy& copy)
{
    return copy.kind == "Shadow" ? std::string("the shadow technique") : copy.name;
}

std::string andMore(size_t others)
{
    return others == 0 ? std::string() : " and " + std::to_string(others) + " more";
}

} // namespace

EditHistory::EditHistory(SceneLoader* loader, size_t maxSteps)
    : mLoader(loader)
    , mMaxSteps(maxSteps < 1 ? 1 : maxSteps)
{
}

EditHistory::Records EditHistory::currentRecords() const
{
    Records records;
    if (!mLoader) {
        return records;
    }
    for (RecordCopy& copy : mLoader->copyRecords()) {
        std::string key = copy.key();
        records.emplace(std::move(key), std::move(copy));
    }
    return records;
}

void EditHistory::clear()
{
    mSteps.clear();
    mPosition = 0;
    mSavedPosition = 0;
    mSavedReachable = true;
    mLastSeen = currentRecords();
    logLine("EditHistory: history cleared");
}

void EditHistory::clearAsModified()
{
    clear();
    mSavedReachable = false;
}

void EditHistory::markSaved()
{
    recordChanges();
    mSavedPosition = mPosition;
    mSavedReachable = true;
}

bool EditHistory::recordChanges()
{
    Records now = currentRecords();
    std::set<std::string> changed;
    for (const auto& entry : mLastSeen) {
        auto found = now.find(entry.first);
        if (found == now.end() || found->second != entry.second) {
            changed.insert(entry.first);
        }
    }
    for (const auto& entry : now) {
        if (!mLastSeen.count(entry.first)) {
            changed.insert(entry.first);
        }
    }
    if (changed.empty()) {
        return false;
    }

    // The name says what the designer did: the entity (or the first record)
    // that was made, deleted, moved or changed.
    size_t made = 0;
    size_t deleted = 0;
    const RecordCopy* main = nullptr;
    for (const std::string& key : changed) {
        const bool wasThere = mLastSeen.count(key) != 0;
        const bool isThere = now.count(key) != 0;
        made += !wasThere;
        deleted += !isThere;
        const RecordCopy& copy = isThere ? now.at(key) : mLastSeen.at(key);
        if (!main || (main->kind != "Entity" && copy.kind == "Entity")) {
            main = &copy;
        }
    }
    std::string name;
    const size_t others = changed.size() - 1;
    if (deleted == changed.size()) {
        name = "delete " + recordName(*main) + (others ? " with " + std::to_string(others) + " attached" : "");
    } else if (made == changed.size()) {
        name = "create " + recordName(*main) + andMore(others);
    } else if (changed.size() == 1 && made == 0 && deleted == 0 &&
               onlyMoved(mLastSeen.at(main->key()), now.at(main->key()))) {
        name = "move " + recordName(*main);
    } else {
        name = "change " + recordName(*main) + andMore(others);
    }

    std::set<std::string> group = changed;
    addAttached(group, mLastSeen);
    addAttached(group, now);
    std::vector<RecordCopy> before;
    std::vector<RecordCopy> after;
    for (const std::string& key : group) {
        auto was = mLastSeen.find(key);
        if (was != mLastSeen.end()) {
            before.push_back(was->second);
        }
        auto is = now.find(key);
        if (is != now.end()) {
            after.push_back(is->second);
        }
    }
    mLastSeen = std::move(now);
    push(EditStep(name, std::move(before), std::move(after)));
    logLine("EditHistory: did '" + name + "'");
    return true;
}

void EditHistory::push(EditStep step)
{
    // A new step replaces the steps that were undone.
    if (mSteps.size() > mPosition) {
        mSteps.erase(mSteps.begin() + static_cast<std::ptrdiff_t>(mPosition), mSteps.end());
        if (mSavedReachable && mSavedPosition > mPosition) {
            mSavedReachable = false;
        }
    }
    mSteps.push_back(std::move(step));
    ++mPosition;
    while (mSteps.size() > mMaxSteps) {
        mSteps.pop_front();
        --mPosition;
        if (mSavedReachable && mSavedPosition == 0) {
            mSavedReachable = false;
        } else if (mSavedReachable) {
            --mSavedPosition;
        }
    }
}

bool EditHistory::undo()
{
    recordChanges();
    if (!canUndo() || !mLoader) {
        logLine("EditHistory: nothing to undo");
        return false;
    }
    const EditStep& step = mSteps[mPosition - 1];
    step.undo(*mLoader);
    --mPosition;
    mLastSeen = currentRecords();
    checkRestored(step.getBefore(), step.getName());
    logLine("EditHistory: undid '" + step.getName() + "'");
    return true;
}

bool EditHistory::redo()
{
    recordChanges();
    if (!canRedo() || !mLoader) {
        logLine("EditHistory: nothing to redo");
        return false;
    }
    const EditStep& step = mSteps[mPosition];
    step.redo(*mLoader);
    ++mPosition;
    mLastSeen = currentRecords();
    checkRestored(step.getAfter(), step.getName());
    logLine("EditHistory: redid '" + step.getName() + "'");
    return true;
}

void EditHistory::checkRestored(const std::vector<RecordCopy>& expected, const std::string& what) const
{
    // A record that does not come back as it was kept would be a silent
    // change of the designer's work: said in the log at least.
    for (const RecordCopy& copy : expected) {
        auto found = mLastSeen.find(copy.key());
        if (found == mLastSeen.end() || found->second != copy) {
            logWarning("EditHistory: " + recordName(copy) + " did not come back exactly in '" + what + "'");
        }
    }
}

} // namespace Kelvo
