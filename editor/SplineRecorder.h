#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <fstream>
#include <string>

namespace Kelvo {

// The editor's authoring aid for cut-scenes: writes camera poses into
// "cutsecene.log" as source lines that make key frames on a node animation
// track, ready to be pasted into cut-scene code.
//
// The file is opened for appending when the first line of a run is written,
// and that run's lines start with a marker: the splines of earlier runs stay
// until a designer has copied them (a truncating open at start-up emptied
// them as soon as the game started again). A file that cannot be opened is
// reported once in the log; the lines are lost, the editor goes on.
//
// Owned by the level editor state for the whole run of the program; written
// on its keys 1 (begin), 2 (end) and space (one key frame).
class SplineRecorder {
public:
    static const char* const kBeginLine;
    static const char* const kEndLine;

    explicit SplineRecorder(std::string path);

    void beginSpline();
    void endSpline();
    // One key frame at the recording time, whether or not recording is on.
    void writeKeyFrame(const Ogre::Vector3& position, const Ogre::Quaternion& orientation);
    // Adds a frame's time while recording.
    void advance(float seconds);
    // A fresh visit of the editor starts at time 0.
    void resetTime() { mTime = 0; }

    bool isRecording() const { return mRecording; }
    float getTime() const { return mTime; }
    const std::string& getPath() const { return mPath; }

    // The three lines of a key frame, each with its line end; numbers in the
    // standard stream's default format (six significant digits at most).
    static std::string keyFrameText(float time, const Ogre::Vector3& position, const Ogre::Quaternion& orientation);
    // The line that opens a run's lines in the file.
    static std::string runMarker();

private:
    void write(const std::string& text);

    std::string mPath;
    std::ofstream mFile;
    bool mOpenTried = false;
    bool mRecording = false;
    float mTime = 0;
};

} // namespace Kelvo
