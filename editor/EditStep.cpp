#include "editor/EditStep.h"

#include "scene/SceneLoader.h"

#include <utility>

namespace Kelvo {

EditStep::EditStep(std::string name, std::vector<RecordCopy> before, std::vector<RecordCopy> after)
    : mName(std::move(name))
    , mBefore(std::move(before))
    , mAfter(std::move(after))
{
}

void EditStep::undo(SceneLoader& loader) const
{
    loader.removeRecords(mAfter);
    loader.restoreRecords(mBefore);
}

void EditStep::redo(SceneLoader& loader) const
{
    loader.removeRecords(mBefore);
    loader.restoreRecords(mAfter);
}

} // namespace Kelvo
