#pragma once

#include <CEGUI/Logger.h>

#include <fstream>

namespace Kelvo {

// CEGUI's log, "CEGUI.log" in the working directory. CEGUI's own logger
// throws when it cannot open its file (a read-only folder), which would end
// the game at the menu, and keeps every line in memory while no file is
// open. This one writes when it can and otherwise drops CEGUI's lines,
// saying so once in the game's log. The CeGUIManager makes it before CEGUI
// starts for the first time and keeps it until the end, across CEGUI's
// restarts at each menu entry (CEGUI then reopens the file).
class CeguiLogFile : public CEGUI::Logger {
public:
    void logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level = CEGUI::Standard) override;
    void setLogFilename(const CEGUI::String& filename, bool append = false) override;

    bool isWriting() const { return mFile.is_open(); }

private:
    std::ofstream mFile;
    bool mWarned = false;
};

} // namespace Kelvo
