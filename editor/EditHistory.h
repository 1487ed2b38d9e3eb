#pragma once

#include "editor/EditStep.h"
#include "scene/RecordCopy.h"

#include <deque>
#include <map>
#include <string>

namespace Kelvo {

class SceneLoader;

// The editor's undo and redo. It keeps the scene's records as text as they
// were after the last step, and turns whatever changed since into one step
// when asked (recordChanges): the editor asks once an input has been
// handled and no mouse button is held, so a whole drag, a field's accepted
// value, a deletion with everything that hung on the entity or a paste is
// each one step, whichever window or script made it. Undo and redo put the
// records back through the scene loader and log what they did. The newest
// kMaxSteps steps are kept. The scene counts as modified while the history
// stands anywhere but where the scene was last loaded or saved. Owned by the
// hub (EditorGUI); cleared on every load and new scene.
class EditHistory {
public:
    static constexpr size_t kMaxSteps = 200;

    explicit EditHistory(SceneLoader* loader, size_t maxSteps = kMaxSteps);

    // The scene as it is now is where the history starts: no steps, not
    // modified (a load or a new scene).
    void clear();
    // As clear(), but the scene differs from its file (a restored backup):
    // modified until it is saved.
    void clearAsModified();

    // Whatever changed since the last step becomes one step. False when
    // nothing changed.
    bool recordChanges();
    // Both record what is pending first, so the edit just made is undone.
    bool undo();
    bool redo();

    bool canUndo() const { return mPosition > 0; }
    bool canRedo() const { return mPosition < mSteps.size(); }
    size_t size() const { return mSteps.size(); }
    // Steps done and not undone.
    size_t getPosition() const { return mPosition; }
    const EditStep& getStep(size_t index) const { return mSteps[index]; }

    void markSaved();
    bool isModified() const { return !mSavedReachable || mSavedPosition != mPosition; }

private:
    using Records = std::map<std::string, RecordCopy>;

    Records currentRecords() const;
    void push(EditStep step);
    void checkRestored(const std::vector<RecordCopy>& expected, const std::string& what) const;

    SceneLoader* mLoader;
    size_t mMaxSteps;
    std::deque<EditStep> mSteps;
    size_t mPosition = 0;
    // Where the saved scene stands in the history; unreachable once the
    // steps that lead back to it are dropped or replaced.
    size_t mSavedPosition = 0;
    bool mSavedReachable = true;
    // The records after the last step, by key.
    Records mLastSeen;
};

} // namespace Kelvo
