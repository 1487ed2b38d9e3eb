#include "gui/CeguiLogFile.h"

#include "platform/Log.h"

namespace Kelvo {

namespace {

const char* levelTag(CEGUI::LoggingLevel level)
{
    switch (level) {
    case CEGUI::Errors:
        return "(Error)\t";
    case CEGUI::Warnings:
        return "(Warn)\t";
    default:
        return "(Std) \t";
    }
}

} // namespace

void CeguiLogFile::logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level)
{
    if (!mFile.is_open() || level > getLoggingLevel()) {
        return;
    }
    mFile << levelTag(level) << message.c_str() << '\n';
    // CEGUI's last lines before a crash are the ones worth reading.
    mFile.flush();
}

void CeguiLogFile::setLogFilename(const CEGUI::String& filename, bool append)
{
    if (mFile.is_open()) {
        mFile.close();
    }
    mFile.clear();
    mFile.open(filename.c_str(), append ? std::ios::app : std::ios::trunc);
    if (!mFile.is_open() && !mWarned) {
        mWarned = true;
        logWarning(std::string("CeGUIManager: \"") + filename.c_str() +
                   "\" cannot be written in this folder; the window system's log lines are dropped");
    }
}

} // namespace Kelvo
