#pragma once

#include "scene/RecordCopy.h"

#include <string>
#include <vector>

namespace Kelvo {

class SceneLoader;

// One edit of the scene as the records it touched, before and after: a
// record that is only in `before` was deleted, one only in `after` was
// made. An entity that changed is kept with everything that hangs on it,
// because putting an entity back remakes what hangs on it too. Undoing takes
// the `after` records out and puts the `before` ones back through the
// scene loader; redoing the reverse. So every kind of record and every kind
// of edit is undone one way. Made and kept by EditHistory.
class EditStep {
public:
    EditStep(std::string name, std::vector<RecordCopy> before, std::vector<RecordCopy> after);

    const std::string& getName() const { return mName; }
    const std::vector<RecordCopy>& getBefore() const { return mBefore; }
    const std::vector<RecordCopy>& getAfter() const { return mAfter; }

    void undo(SceneLoader& loader) const;
    void redo(SceneLoader& loader) const;

private:
    std::string mName;
    std::vector<RecordCopy> mBefore;
    std::vector<RecordCopy> mAfter;
};

} // namespace Kelvo
